#pragma once
// The resource module: string table, menus and dialog captions of the
// program. The program's own (Finnish) resources are compiled in; a
// language module (a "VelmoraLang.txt" beside the program, or the module
// of the language chosen in the Language menu or of the desktop) replaces
// them as a whole, with no per-id fallback: an id the module lacks gives
// an empty text. File format: see resources/lang/fi.txt and docs/ui.md.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/types.h"
#include "resources/language_choice.h"
#include "resources/string_ids.h"

namespace velmora {

struct MenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    int id = 0;  // command id (Command only)
    Text text;   // Command and Popup
    std::vector<MenuItem> children;  // Popup only
};

struct Menu {
    int id = 0;
    std::vector<MenuItem> items;  // top level: normally popups
};

class ResourceModule final : public StringSource {
public:
    // The file name of the language module, looked for beside the program.
    static constexpr char kLanguageModuleFile[] = "VelmoraLang.txt";

    ResourceModule() = default;

    // The program's own resources, compiled into it.
    static const ResourceModule& builtIn();
    // Parses resource text; nullopt with a message (line number and
    // reason) in `error` when it is malformed.
    static std::optional<ResourceModule> parse(std::string_view text, std::string* error = nullptr);
    // Reads and parses a resource file; nullopt when it is missing,
    // unreadable or malformed.
    static std::optional<ResourceModule> fromFile(const std::filesystem::path& file,
                                                  std::string* error = nullptr);

    // StringSource: the text of a string id; empty when the module lacks it.
    Text load(int id) const override;
    bool hasString(int id) const { return strings_.count(id) != 0; }
    std::size_t stringCount() const { return strings_.size(); }

    // A menu by id, nullptr when the module lacks it.
    const Menu* menu(int id) const;
    // The text of a command in any menu of the module ("" when none).
    Text menuItemText(int menuId, int commandId) const;

    // Caption of a control of a dialog template that no dialog sets from
    // the string table (template id, control id; 0 = the title); empty
    // when the module lacks it.
    Text dialogCaption(int templateId, int controlId) const;

    // The language code (ids::kLanguageCode); "fi" for the built-in resources.
    Text languageCode() const { return load(ids::kLanguageCode); }

    // The file the module came from; empty for the built-in resources.
    const std::filesystem::path& file() const { return file_; }
    bool isLanguageModule() const { return !file_.empty(); }

private:
    std::map<int, Text> strings_;
    std::map<int, Menu> menus_;
    std::map<std::pair<int, int>, Text> captions_;
    std::filesystem::path file_;
};

// Start-up choice of the resource module: "VelmoraLang.txt" in
// `programDirectory` when it is there and loads, else the one in
// `dataDirectory` (where an installed program, whose own directory is not
// writable, keeps what would sit beside it). Without either, the language
// chosen in the Language menu (the configuration file of `env`), else the
// desktop's language (desktopLanguage): the built-in resources for "fi",
// the module "<code>.txt" of languageModuleDirectory for another. A
// module that is present but malformed does not load and the built-in
// resources stay; the reason is written to `diagnostic` when given.
ResourceModule chooseResourceModule(const std::filesystem::path& programDirectory,
                                    std::string* diagnostic = nullptr,
                                    const std::filesystem::path& dataDirectory = {},
                                    const LanguageEnvironment& env = {});

// The directory of the running program ("" when it cannot be found).
std::filesystem::path programDirectory();

// Locale identifier of a language code: en 1033, fi 1035, sv 1053,
// no 1044, de 1031, dk 1030; any other text (case-sensitive) 1033.
int localeIdentifier(const Text& languageCode);

// The six language codes the program knows.
inline constexpr const char* kLanguageCodes[] = {"en", "fi", "sv", "no", "de", "dk"};

// The edition is fixed when the program is built (CMake option
// VELMORA_EDITION: Velmora, VelmoraMDD or VelmoraReader).
struct Edition {
    const char* name;
    int titleId;             // ids::kEditionMdd, kEditionVelmora or kEditionReader
    int titleWithVersionId;  // ids::kTitleWithVersionMdd, ... in the same order
    int menuId;              // ids::kMenuMdd, kMenuVelmora or kMenuReader
};
const Edition& currentEdition();
const Edition& editionByName(std::string_view name);  // Velmora when unknown

// The software version text shown by the about box.
inline constexpr char kVersionText[] = "v1.7";

}  // namespace velmora
