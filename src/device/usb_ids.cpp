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

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
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

std::optional<std::vector<UsbIds>> parseUsbIdList(std::string_view text) {
    std::vector<UsbIds> out;
    while (true) {
        const auto comma = text.find(',');
        const auto ids = parseUsbIds(trimmed(text.substr(0, comma)));
        if (!ids || out.size() == kMaxUsbIds) return std::nullopt;
        out.push_back(*ids);
        if (comma == std::string_view::npos) return out;
        text.remove_prefix(comma + 1);
    }
}

std::filesystem::path configFilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return configFileFor(xdg ? xdg : "", home && *home ? home : ".");
}

std::vector<UsbIds> reminderUsbIds() {
    if (const char* env = std::getenv(kUsbIdsEnvironmentVariable)) {
        if (auto ids = parseUsbIdList(env)) return *ids;
    }
    if (auto text = readConfigValue(configFilePath(), kUsbIdsConfigKey)) {
        if (auto ids = parseUsbIdList(*text)) return *ids;
    }
    return {kPlaceholderReminderUsbIds};
}

}  // namespace velmora
