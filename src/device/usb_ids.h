#pragma once
// Which USB devices may be the reminder: the vendor:product ids in the
// settings, and any device that names the reminder's interface class in its
// Microsoft OS descriptors (ms_os_descriptors.h). The ids come from
// VELMORA_USB_IDS, else from the key usb_ids of the configuration file
// $XDG_CONFIG_HOME/velmora/velmora.conf (default ~/.config/velmora/...),
// else the placeholder pair below (the pid.codes test id 1209:0001).
// Both take a comma-separated list: 16c0:05dc,1209:0001.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config_file.h"

namespace velmora {

struct UsbIds {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    friend bool operator==(const UsbIds&, const UsbIds&) = default;
};

inline constexpr UsbIds kPlaceholderReminderUsbIds{0x1209, 0x0001};
inline constexpr const char* kUsbIdsEnvironmentVariable = "VELMORA_USB_IDS";
inline constexpr const char* kUsbIdsConfigKey = "usb_ids";
// The longest list taken from the settings.
inline constexpr std::size_t kMaxUsbIds = 16;

// Parses "vvvv:pppp" (one to four hexadecimal digits each side).
std::optional<UsbIds> parseUsbIds(std::string_view text);
// Parses a comma-separated list of pairs (spaces around them allowed);
// nullopt when any pair is malformed, the list is empty or too long.
std::optional<std::vector<UsbIds>> parseUsbIdList(std::string_view text);

// $XDG_CONFIG_HOME/velmora/velmora.conf, or ~/.config/velmora/velmora.conf
// (configFileFor with this process's environment).
std::filesystem::path configFilePath();

// The ids in use: VELMORA_USB_IDS when it is set and valid, else the
// configuration file's usb_ids when valid, else the placeholder pair.
std::vector<UsbIds> reminderUsbIds();

}  // namespace velmora
