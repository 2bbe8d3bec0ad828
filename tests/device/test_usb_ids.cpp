// The reminder's USB ids and their override.
#include <gtest/gtest.h>

#include <cstdlib>

#include "device/usb_ids.h"

using namespace velmora;

TEST(UsbIds, ParsesHexPairs) {
    EXPECT_EQ(parseUsbIds("1209:0001"), (UsbIds{0x1209, 0x0001}));
    EXPECT_EQ(parseUsbIds("abCD:f"), (UsbIds{0xABCD, 0x000F}));
    EXPECT_FALSE(parseUsbIds("12090001"));
    EXPECT_FALSE(parseUsbIds("1209:"));
    EXPECT_FALSE(parseUsbIds(":0001"));
    EXPECT_FALSE(parseUsbIds("12345:0001"));
    EXPECT_FALSE(parseUsbIds("12g9:0001"));
}

TEST(UsbIds, EnvironmentOverridesThePlaceholder) {
    unsetenv(kUsbIdsEnvironmentVariable);
    EXPECT_EQ(reminderUsbIds(), kPlaceholderReminderUsbIds);
    setenv(kUsbIdsEnvironmentVariable, "04d8:f00d", 1);
    EXPECT_EQ(reminderUsbIds(), (UsbIds{0x04D8, 0xF00D}));
    setenv(kUsbIdsEnvironmentVariable, "garbage", 1);
    EXPECT_EQ(reminderUsbIds(), kPlaceholderReminderUsbIds);
    unsetenv(kUsbIdsEnvironmentVariable);
}
