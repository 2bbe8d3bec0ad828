// Where the Help menu finds the user manual: beside the program in a build
// tree or a copied program, under ../share/velmora when installed.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/logic/user_manual.h"

namespace velmora {
namespace {

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
        std::filesystem::create_directories((prefix.path() / c.present).parent_path());
        prefix.write(c.present, "%PDF-");
        EXPECT_EQ(userManualFile(prefix.path() / "bin", c.language), prefix.path() / c.expected)
            << c.present << " " << c.language;
    }
}

}  // namespace
}  // namespace velmora
