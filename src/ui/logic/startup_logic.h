#pragma once
// Decisions of the program's start-up that need no display: whether a
// display can be expected, the one line shown when there is none, and the
// answers to --version and --help.
#include <optional>
#include <string>
#include <vector>

#include "core/interaction.h"

namespace velmora {

// The environment the decision reads; tests pass their own.
struct DisplayEnvironment {
    const char* qtPlatform = nullptr;      // QT_QPA_PLATFORM
    const char* x11Display = nullptr;      // DISPLAY
    const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
    static DisplayEnvironment current();
};

// True when Qt can be expected to find a screen: a platform other than
// xcb or wayland was chosen explicitly (offscreen, vnc, ...), or DISPLAY
// or WAYLAND_DISPLAY is set.
bool displayLikelyAvailable(const DisplayEnvironment& env = DisplayEnvironment::current());

// The one-line message (ids::kNoDisplay, every "%s" replaced by `program`,
// line breaks flattened) for a machine without a display. An English
// fallback is used when the resource module lacks the text, so the person
// is never left with an empty line.
std::string noDisplayMessage(const StringSource& strings, const std::string& program);

// The answer to an option that needs no window: "--version" gives the
// edition's name and the version ("Velmora v1.7"), "--help" the usage text
// (ids::kCommandLineHelp, "%s" replaced by `program`). Nothing for other arguments,
// which are left to Qt.
std::optional<std::string> commandLineAnswer(const std::vector<std::string>& args,
                                             const StringSource& strings, const std::string& program);

}  // namespace velmora
