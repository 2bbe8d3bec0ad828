// The main window's size and place in the configuration file it shares
// with other settings: read back as written, the other lines kept,
// nonsense ignored.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/logic/window_placement.h"

namespace velmora {
namespace {

TEST(WindowPlacement, WrittenBesideOtherSettingsAndReadBack) {
    testing::TempDir dir;
    const std::filesystem::path file = dir.path() / "velmora" / "velmora.conf";
    EXPECT_FALSE(readWindowPlacement(file));
    ASSERT_TRUE(saveWindowPlacement(file, {5, 6, 800, 500, false})) << "the folder is made";
    dir.write("velmora/velmora.conf", "# own\nusb_ids=16c0:05dc\n main_window = 1,2,900,560,0\r\nlanguage=en");
    ASSERT_TRUE(saveWindowPlacement(file, {10, -20, 900, 560, true}));
    EXPECT_EQ(readWindowPlacement(file), (WindowPlacement{10, -20, 900, 560, true}));
    EXPECT_EQ(testing::readBytes(file), "# own\nusb_ids=16c0:05dc\nlanguage=en\nmain_window=10,-20,900,560,1\n");
    for (const char* bad : {"900,560", "1,2,900,560,2", "1,2,50,560,0", "1,2,900,560,0,7", "a,2,900,560,0", ""}) {
        dir.write("velmora/velmora.conf", std::string("main_window=") + bad + "\n");
        EXPECT_FALSE(readWindowPlacement(file)) << bad;
    }
}

}  // namespace
}  // namespace velmora
