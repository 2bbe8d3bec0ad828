#include "core/config_file.h"

#include <fstream>
#include <system_error>

#include "core/whole_file.h"

namespace velmora {

namespace {

// A configuration file is a few lines; more is not read.
constexpr std::size_t kMaxConfigBytes = 64 * 1024;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The first 64 KiB of the file ("" when it is missing); `whole` tells
// whether that was all of it.
std::string readHead(const std::filesystem::path& file, bool& opened, bool& whole) {
    std::ifstream in(file, std::ios::binary);
    opened = static_cast<bool>(in);
    std::string text(kMaxConfigBytes + 1, '\0');
    if (opened) in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(opened ? static_cast<std::size_t>(in.gcount()) : 0);
    whole = text.size() <= kMaxConfigBytes;
    if (!whole) text.resize(kMaxConfigBytes);
    return text;
}

// Calls `line` for every line with its key ("" for comments and lines
// without "=") and value.
template <class F>
void forEachLine(std::string_view text, F line) {
    while (!text.empty()) {
        const auto eol = text.find('\n');
        const std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        const std::string_view t = trimmed(raw);
        const auto eq = t.find('=');
        if (t.empty() || t.front() == '#' || eq == std::string_view::npos)
            line(raw, std::string_view(), std::string_view());
        else
            line(raw, trimmed(t.substr(0, eq)), trimmed(t.substr(eq + 1)));
    }
}

}  // namespace

std::filesystem::path configFileFor(std::string_view configHome, std::string_view home) {
    std::filesystem::path base;
    if (!configHome.empty() && configHome.front() == '/') base = configHome;
    else if (!home.empty()) base = std::filesystem::path(home) / ".config";
    else return {};
    return base / "velmora" / "velmora.conf";
}

std::optional<std::string> readConfigValue(const std::filesystem::path& file, std::string_view key) {
    bool opened = false, whole = false;
    const std::string text = readHead(file, opened, whole);
    std::optional<std::string> value;
    forEachLine(text, [&](std::string_view, std::string_view k, std::string_view v) {
        if (!k.empty() && k == key) value = std::string(v);
    });
    return value;
}

bool writeConfigValue(const std::filesystem::path& file, std::string_view key, std::string_view value,
                      Text& reason) {
    bool opened = false, whole = false;
    const std::string text = readHead(file, opened, whole);
    std::error_code ec;
    if (!whole || (!opened && std::filesystem::exists(file, ec))) {
        reason = "cannot read " + file.string() + " whole";
        return false;
    }
    std::string out;
    forEachLine(text, [&](std::string_view raw, std::string_view k, std::string_view) {
        if (k != key || k.empty()) out.append(raw).push_back('\n');
    });
    out.append(key).append("=").append(value).push_back('\n');
    std::filesystem::create_directories(file.parent_path(), ec);
    return writeWholeFile(file, out, reason);
}

}  // namespace velmora
