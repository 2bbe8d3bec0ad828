#pragma once
// The about box (template 146): the program's name and version and a link
// to the maker's home page.
#include <filesystem>
#include <utility>

#include "core/interaction.h"
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

    Text title() const;        // 40060
    Text programName() const;  // the edition's title string
    Text description() const;  // 40093
    Text versionText() const;  // "v1.7"
    Text linkText() const;     // 40109
    Text linkTarget() const { return kHomePage; }
    Text copyright() const;    // 40110
    Text okText() const;       // 40062
    Text databaseText() const;  // "Tietokanta: <path>"; empty without one

private:
    const StringSource& strings_;
    std::filesystem::path database_;
};

}  // namespace velmora
