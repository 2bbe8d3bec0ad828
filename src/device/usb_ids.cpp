#include "device/usb_ids.h"

#include <cstdlib>

namespace velmora {

namespace {
std::optional<std::uint16_t> parseHex16(std::string_view s) {
    if (s.empty() || s.size() > 4) return std::nullopt;
    unsigned v = 0;
    for (char c : s) {
        v <<= 4;
        if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
        else return std::nullopt;
    }
    return static_cast<std::uint16_t>(v);
}
}  // namespace

std::optional<UsbIds> parseUsbIds(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    auto v = parseHex16(text.substr(0, colon));
    auto p = parseHex16(text.substr(colon + 1));
    if (!v || !p) return std::nullopt;
    return UsbIds{*v, *p};
}

UsbIds reminderUsbIds() {
    if (const char* env = std::getenv(kUsbIdsEnvironmentVariable)) {
        if (auto ids = parseUsbIds(env)) return *ids;
    }
    return kPlaceholderReminderUsbIds;
}

}  // namespace velmora
