#pragma once
// The user manual of the Help menu: a PDF per language, opened in the
// desktop's viewer.
#include <filesystem>

#include "core/interaction.h"
#include "ui/logic/command.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// "manuals/Velmora_manual_<language>.pdf" beside the program (a build tree
// or a copied program), else under "../share/velmora/" from the program's
// directory (an installed program). The language is the language code,
// except that "no", "dk" and "de" read the English manual. When neither
// file is there, the one beside the program.
std::filesystem::path userManualFile(const std::filesystem::path& programDirectory, const Text& languageCode);

// Opens the manual of the language in use in the desktop's PDF viewer
// (the host's openUrl); a missing manual is named to the person instead.
void openUserManual(UiHost& host, const StringSource& strings, const std::filesystem::path& programDirectory);

// cmd::kUserManual.
class UserManualCommand final : public Command {
public:
    UserManualCommand(UiHost& host, const StringSource& strings, std::filesystem::path programDirectory)
        : host_(host), strings_(strings), programDirectory_(std::move(programDirectory)) {}
    void start() override {
        openUserManual(host_, strings_, programDirectory_);
        finish();
    }

private:
    UiHost& host_;
    const StringSource& strings_;
    std::filesystem::path programDirectory_;
};

}  // namespace velmora
