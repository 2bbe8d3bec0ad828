// Where the Help menu finds the user manual: beside the program in a build
// tree or a copied program, under ../share/velmora when installed.
#include <gtest/gtest.h>

#include "ui/logic/dialog_test_support.h"
#include "resources/resource_module.h"
#include "ui/logic/desktop_open.h"
#include "ui/logic/user_manual.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(UserManual, FoundBesideTheProgramOrUnderShare) {
    struct Case {
        const char* present;   // manual files made under the prefix
        const char* language;  // language code of the resources
        const char* expected;  // relative to the prefix
    };
    const Case cases[] = {
        {"bin/manuals/Velmora_manual_fi.pdf", "fi", "bin/manuals/Velmora_manual_fi.pdf"},
        {"share/velmora/manuals/Velmora_manual_fi.pdf", "fi", "share/velmora/manuals/Velmora_manual_fi.pdf"},
        {"share/velmora/manuals/Velmora_manual_en.pdf", "dk", "share/velmora/manuals/Velmora_manual_en.pdf"},
        {"share/velmora/manuals/Velmora_manual_en.pdf", "sv", "bin/manuals/Velmora_manual_sv.pdf"},
    };
    for (const Case& c : cases) {
        testing::TempDir prefix;
        prefix.write(c.present, "%PDF-");
        EXPECT_EQ(userManualFile(prefix.path() / "bin", c.language), prefix.path() / c.expected)
            << c.present << " " << c.language;
    }
}

// The manual goes to the desktop's opener (a PDF, not the text viewer); a
// missing one is named to the person with its path.
TEST(UserManual, OpenedByTheDesktopOrNamedWhenMissing) {
    testing::TempDir prefix;
    prefix.write("bin/manuals/Velmora_manual_fi.pdf", "%PDF-");
    const ResourceModule& strings = ResourceModule::builtIn();
    dialogtest::ScriptedHost host;
    const Text manual = (prefix.path() / "bin/manuals/Velmora_manual_fi.pdf").string();
    openUserManual(host, strings, prefix.path() / "bin");
    EXPECT_EQ(host.urls, std::vector<Text>{manual});
    fs::remove(manual);
    openUserManual(host, strings, prefix.path() / "bin");
    EXPECT_EQ(host.takeMessageTexts(), std::vector<Text>{notOpenedText(strings, manual)});
    EXPECT_EQ(host.urls.size(), 1u);
}

}  // namespace
}  // namespace velmora
