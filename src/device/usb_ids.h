#pragma once
// USB vendor and product id by which the reminder is recognised on Linux.
// The manufacturer's own pair is not known to this code base yet: the pair
// below is a placeholder (the pid.codes test id 1209:0001). A reminder in
// the field is found by setting VELMORA_USB_IDS=vvvv:pppp (hexadecimal) in
// the program's environment; dist/udev/70-velmora-reminder.rules must name
// the same pair.
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

struct UsbIds {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    friend bool operator==(const UsbIds&, const UsbIds&) = default;
};

inline constexpr UsbIds kPlaceholderReminderUsbIds{0x1209, 0x0001};
inline constexpr const char* kUsbIdsEnvironmentVariable = "VELMORA_USB_IDS";

// Parses "vvvv:pppp" (one to four hexadecimal digits each side).
std::optional<UsbIds> parseUsbIds(std::string_view text);

// The ids in use: VELMORA_USB_IDS when it is set and valid, otherwise the
// placeholder pair.
UsbIds reminderUsbIds();

}  // namespace velmora
