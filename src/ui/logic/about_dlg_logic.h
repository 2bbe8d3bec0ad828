#pragma once
// The about box (AboutDlgLogic::kTemplateId): the program's name and version and a link
// to the maker's home page.
#include <filesystem>
#include <utility>

#include "core/interaction.h"
#include "ui/logic/command.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class AboutDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 146;
    static constexpr int kIdVersion = 1002;
    static constexpr int kIdLink = 1003;
    // The maker's home page.
    static constexpr char kHomePage[] = "https://www.velmora.fi/";

    // `database`: the file in use, shown so that nobody looks in another.
    explicit AboutDlgLogic(const StringSource& strings, std::filesystem::path database = {})
        : strings_(strings), database_(std::move(database)) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;        // ids::kAboutTitle
    Text programName() const;  // the edition's title string
    Text description() const;  // ids::kAboutDescription
    Text versionText() const;  // "v1.7"
    Text linkText() const;     // ids::kAboutLinkText
    Text linkTarget() const { return kHomePage; }
    Text copyright() const;    // ids::kAboutCopyright
    Text okText() const;       // ids::kOk
    Text databaseText() const;  // "Tietokanta: <path>"; empty without one

private:
    const StringSource& strings_;
    std::filesystem::path database_;
};

// cmd::kAbout: the about box naming the database `database` in use.
class AboutCommand final : public Command {
public:
    AboutCommand(UiHost& host, const StringSource& strings, std::filesystem::path database)
        : host_(host), strings_(strings), database_(std::move(database)) {}
    void start() override {
        AboutDlgLogic dlg(strings_, database_);
        host_.runDialog(dlg);
        finish();
    }

private:
    UiHost& host_;
    const StringSource& strings_;
    std::filesystem::path database_;
};

}  // namespace velmora
