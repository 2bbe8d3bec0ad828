// The start-up's display check and its one-line message.
#include <gtest/gtest.h>

#include "resources/resource_module.h"
#include "ui/logic/startup_logic.h"

namespace velmora {
namespace {

TEST(DisplayCheck, NeedsADisplayUnlessAnotherPlatformIsChosen) {
    EXPECT_FALSE(displayLikelyAvailable({nullptr, nullptr, nullptr}));
    EXPECT_FALSE(displayLikelyAvailable({"", "", ""}));
    EXPECT_FALSE(displayLikelyAvailable({"xcb", nullptr, nullptr}));
    EXPECT_FALSE(displayLikelyAvailable({"wayland-egl", nullptr, nullptr}));
    EXPECT_TRUE(displayLikelyAvailable({nullptr, ":0", nullptr}));
    EXPECT_TRUE(displayLikelyAvailable({nullptr, nullptr, "wayland-0"}));
    EXPECT_TRUE(displayLikelyAvailable({"xcb", ":99", nullptr}));
    EXPECT_TRUE(displayLikelyAvailable({"offscreen", nullptr, nullptr}));
    EXPECT_TRUE(displayLikelyAvailable({"vnc", nullptr, nullptr}));
}

TEST(DisplayCheck, MessageIsOneLineNamingXvfbAndOffscreen) {
    const std::string m = noDisplayMessage(ResourceModule::builtIn(), "./build/bin/velmora");
    EXPECT_EQ(m.find('\n'), std::string::npos);
    EXPECT_NE(m.find("xvfb-run ./build/bin/velmora"), std::string::npos) << m;
    EXPECT_NE(m.find("QT_QPA_PLATFORM=offscreen ./build/bin/velmora"), std::string::npos) << m;
    EXPECT_EQ(m.find("%s"), std::string::npos);
}

TEST(DisplayCheck, MessageComesFromTheLanguageModuleOrAFallback) {
    auto sv = ResourceModule::parse("[strings]\n40126 \"Ingen skärm:\\n%s\"\n");
    ASSERT_TRUE(sv);
    EXPECT_EQ(noDisplayMessage(*sv, "velmora"), "Ingen skärm: velmora");
    // A module without the text still tells the person what to do.
    auto empty = ResourceModule::parse("[strings]\n");
    ASSERT_TRUE(empty);
    const std::string m = noDisplayMessage(*empty, "v");
    EXPECT_NE(m.find("xvfb-run v"), std::string::npos);
    // A "%" that is not "%s" is left alone; the program name is not a format.
    auto pct = ResourceModule::parse("[strings]\n40126 \"100% %s\"\n");
    EXPECT_EQ(noDisplayMessage(*pct, "%s%d"), "100% %s%d");
}

}  // namespace
}  // namespace velmora
