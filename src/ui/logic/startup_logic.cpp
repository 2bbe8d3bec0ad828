#include "ui/logic/startup_logic.h"

#include <cstdlib>
#include <cstring>

#include "core/text.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"

namespace velmora {

DisplayEnvironment DisplayEnvironment::current() {
    return {std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")};
}

bool displayLikelyAvailable(const DisplayEnvironment& env) {
    const char* platform = env.qtPlatform;
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0 &&
        std::strncmp(platform, "wayland", 7) != 0)
        return true;
    return (env.x11Display && *env.x11Display) || (env.waylandDisplay && *env.waylandDisplay);
}

std::string noDisplayMessage(const StringSource& strings, const std::string& program) {
    std::string text = strings.load(ids::kNoDisplay);
    if (text.empty()) {
        text = "No display found; run: xvfb-run %s or QT_QPA_PLATFORM=offscreen %s";
    }
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return fillPlaceholder(text, program, true);
}

std::optional<std::string> commandLineAnswer(const std::vector<std::string>& args,
                                             const StringSource& strings, const std::string& program) {
    for (const std::string& arg : args) {
        if (arg == "--version") return strings.load(currentEdition().titleId) + " " + kVersionText;
        if (arg == "--help" || arg == "-h") {
            std::string text = strings.load(ids::kCommandLineHelp);
            if (text.empty()) text = "Usage: %s [--help | --version]";
            return fillPlaceholder(text, program);
        }
    }
    return std::nullopt;
}

}  // namespace velmora
