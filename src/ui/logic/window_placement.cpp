#include "ui/logic/window_placement.h"

#include <charconv>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "core/whole_file.h"
#include "device/usb_ids.h"

namespace velmora {

namespace {

constexpr std::size_t kMaxConfigBytes = 64 * 1024;
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

// The line's key, or empty for comments and lines without "=".
std::string_view keyOf(std::string_view line) {
    const auto eq = line.find('=');
    if (line.empty() || line.front() == '#' || eq == std::string_view::npos) return {};
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    return key;
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
    std::string old;
    if (std::ifstream in{file, std::ios::binary}) {
        old.resize(kMaxConfigBytes + 1);
        in.read(old.data(), static_cast<std::streamsize>(old.size()));
        old.resize(static_cast<std::size_t>(in.gcount()));
        if (old.size() > kMaxConfigBytes) return false;
    }
    std::string out;
    std::string_view rest = old;
    while (!rest.empty()) {
        const auto eol = rest.find('\n');
        const std::string_view line = rest.substr(0, eol == std::string_view::npos ? rest.size() : eol + 1);
        rest.remove_prefix(line.size());
        if (keyOf(line.substr(0, line.find_first_of("\r\n"))) == kWindowPlacementKey) continue;
        out += line;
        if (out.back() != '\n') out += '\n';
    }
    out += std::string(kWindowPlacementKey) + "=" + std::to_string(p.x) + "," + std::to_string(p.y) + "," +
           std::to_string(p.width) + "," + std::to_string(p.height) + "," + (p.maximized ? "1" : "0") + "\n";
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    Text reason;
    return writeWholeFile(file, out, reason);
}

}  // namespace velmora
