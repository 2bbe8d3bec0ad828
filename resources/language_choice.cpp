#include "resources/language_choice.h"

#include <cstdlib>
#include <string_view>

#include "core/config_file.h"

namespace velmora {

namespace {

constexpr char kLanguageKey[] = "language";

std::string variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// "fi_FI.UTF-8" and "fi@euro" are Finnish.
std::string_view languageOf(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool isCLocale(std::string_view locale) {
    return locale.empty() || locale == "POSIX" || languageOf(locale) == "C";
}

bool spoken(std::string_view code) { return code == "fi" || code == "en"; }

}  // namespace

LanguageEnvironment LanguageEnvironment::current() {
    return {variable("LANGUAGE"), variable("LC_ALL"),          variable("LC_MESSAGES"),
            variable("LANG"),     variable("XDG_CONFIG_HOME"), variable("HOME")};
}

std::string desktopLanguage(const LanguageEnvironment& env) {
    std::string_view locale = env.lcAll;
    if (locale.empty()) locale = env.lcMessages;
    if (locale.empty()) locale = env.lang;
    if (isCLocale(locale)) return "en";
    if (env.language.empty()) return languageOf(locale) == "fi" ? "fi" : "en";
    // The first language of the list that the program speaks; with none
    // of them the untranslated texts stay, as with gettext.
    std::string_view list = env.language;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view code = languageOf(list.substr(0, colon));
        if (spoken(code)) return std::string(code);
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
    return "en";
}

std::filesystem::path configurationFile(const LanguageEnvironment& env) {
    return configFileFor(env.configHome, env.home);
}

std::string chosenLanguage(const std::filesystem::path& configFile) {
    if (configFile.empty()) return {};
    const std::optional<std::string> code = readConfigValue(configFile, kLanguageKey);
    return code && spoken(*code) ? *code : std::string();
}

bool saveChosenLanguage(const std::filesystem::path& configFile, const std::string& code, Text& reason) {
    if (configFile.empty()) {
        reason = "HOME is not set";
        return false;
    }
    return writeConfigValue(configFile, kLanguageKey, code, reason);
}

std::filesystem::path languageModuleDirectory(const std::filesystem::path& programDirectory) {
    return programDirectory.parent_path() / "share" / "velmora" / "lang";
}

}  // namespace velmora
