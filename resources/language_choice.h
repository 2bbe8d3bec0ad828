#pragma once
// Which language the program speaks when no language module file is put
// beside it: the one chosen in its Language menu (kept in its
// configuration file), else the desktop's.
#include <filesystem>
#include <string>

#include "core/types.h"

namespace velmora {

// What the choice reads from the environment; tests pass their own.
struct LanguageEnvironment {
    std::string language;    // LANGUAGE
    std::string lcAll;       // LC_ALL
    std::string lcMessages;  // LC_MESSAGES
    std::string lang;        // LANG
    std::string configHome;  // XDG_CONFIG_HOME
    std::string home;        // HOME
    static LanguageEnvironment current();
};

// The desktop's language as gettext finds it: LC_ALL, else LC_MESSAGES,
// else LANG names the locale; unless that is "C" or "POSIX", LANGUAGE (a
// list such as "sv:fi:en") goes first. "fi" for Finnish, "en" for
// anything else.
std::string desktopLanguage(const LanguageEnvironment& env);

// The program's configuration file: velmora/velmora.conf under
// $XDG_CONFIG_HOME (when absolute), else under ~/.config; empty when
// neither is known.
std::filesystem::path configurationFile(const LanguageEnvironment& env);

// The language kept by the Language menu ("fi" or "en"); empty when none
// is kept or the file cannot be read.
std::string chosenLanguage(const std::filesystem::path& configFile);

// Keeps `code` in the configuration file ("language=<code>"), its other
// lines as they were; false with the reason when it cannot be written.
bool saveChosenLanguage(const std::filesystem::path& configFile, const std::string& code, Text& reason);

// The language modules of the program in `programDirectory`:
// ../share/velmora/lang, in the build tree and when installed alike.
std::filesystem::path languageModuleDirectory(const std::filesystem::path& programDirectory);

}  // namespace velmora
