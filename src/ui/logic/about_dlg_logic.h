#pragma once
// The about box (template 146): the program's name and version and a link
// to the maker's home page.
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

    explicit AboutDlgLogic(const StringSource& strings) : strings_(strings) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;        // 40060
    Text programName() const;  // the edition's title string
    Text description() const;  // 40093
    Text versionText() const;  // "v1.7"
    Text linkText() const;     // 40109
    Text linkTarget() const { return kHomePage; }
    Text copyright() const;    // 40110
    Text okText() const;       // 40062

private:
    const StringSource& strings_;
};

}  // namespace velmora
