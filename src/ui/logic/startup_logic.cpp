#include "ui/logic/startup_logic.h"

#include <cstdlib>
#include <cstring>

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
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "%s") == 0) {
            out += program;
            ++i;
        } else if (text[i] == '\n' || text[i] == '\r') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace velmora
