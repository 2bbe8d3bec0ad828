#include "ui/logic/window_placement.h"

#include <charconv>
#include <string>
#include <string_view>

#include "core/config_file.h"

namespace velmora {

namespace {

constexpr int kMinSide = 100;
constexpr int kMaxSide = 32000;
constexpr int kMaxOffset = 100000;

bool nextNumber(std::string_view& text, int& out) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec != std::errc()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty()) return true;
    if (text.front() != ',') return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::optional<WindowPlacement> readWindowPlacement(const std::filesystem::path& file) {
    const std::optional<std::string> value = readConfigValue(file, kWindowPlacementKey);
    if (!value) return std::nullopt;
    std::string_view text = *value;
    WindowPlacement p;
    int maximized = 0;
    for (int* n : {&p.x, &p.y, &p.width, &p.height, &maximized}) {
        if (!nextNumber(text, *n)) return std::nullopt;
    }
    const bool sane = text.empty() && p.width >= kMinSide && p.width <= kMaxSide && p.height >= kMinSide &&
                      p.height <= kMaxSide && p.x > -kMaxOffset && p.x < kMaxOffset && p.y > -kMaxOffset &&
                      p.y < kMaxOffset && (maximized == 0 || maximized == 1);
    if (!sane) return std::nullopt;
    p.maximized = maximized == 1;
    return p;
}

bool saveWindowPlacement(const std::filesystem::path& file, const WindowPlacement& p) {
    const std::string value = std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.width) +
                              "," + std::to_string(p.height) + "," + (p.maximized ? "1" : "0");
    Text reason;
    return writeConfigValue(file, kWindowPlacementKey, value, reason);
}

}  // namespace velmora
