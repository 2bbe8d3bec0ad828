// Finding the reminder: the Microsoft OS descriptors parsed from bytes built
// here by hand, and the ids from the environment and the configuration file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/ms_os_descriptors.h"
#include "device/usb_ids.h"
#include "support/temp_dir.h"

using namespace velmora;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes u16(std::size_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
Bytes u32(std::size_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
// UTF-16LE with `nuls` terminating NULs.
Bytes wide(const std::string& s, int nuls = 1) {
    Bytes b;
    for (char c : s) b = b + u16(static_cast<unsigned char>(c));
    for (int i = 0; i < nuls; ++i) b = b + u16(0);
    return b;
}

const std::string kGuid = "{de35a6e6-b843-4748-bbd4-997808317928}";  // letter case does not matter
const Bytes kMsOs20Uuid = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                           0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};

// A BOS descriptor with one platform capability and one descriptor set entry.
Bytes bos(const Bytes& uuid, std::size_t windows, std::size_t setLength, std::size_t totalLength = 33) {
    return Bytes{0x05, 0x0F} + u16(totalLength) + Bytes{0x01, 28, 0x10, 0x05, 0x00} + uuid + u32(windows) +
           u16(setLength) + Bytes{0x21, 0x00};
}
// An OS 2.0 registry property feature; `lengthFix` adds to its wLength.
Bytes feature(const std::string& name, const Bytes& value, int lengthFix = 0) {
    const Bytes n = wide(name);
    return u16(10 + n.size() + value.size() + lengthFix) + u16(4) + u16(7) + u16(n.size()) + n +
           u16(value.size()) + value;
}
Bytes descriptorSet(const Bytes& features) {
    return u16(10) + u16(0) + u32(0x06030000) + u16(10 + features.size()) + features;
}
// An OS 1.0 extended properties descriptor with one section.
Bytes properties(const std::string& name, std::size_t type, const Bytes& value, int sizeFix = 0) {
    const Bytes n = wide(name);
    const Bytes section = u32(14 + n.size() + value.size() + sizeFix) + u32(type) + u16(n.size()) + n +
                          u32(value.size()) + value;
    return u32(10 + section.size()) + Bytes{0x00, 0x01, 0x05, 0x00, 0x01, 0x00} + section;
}

}  // namespace

TEST(MsOsDescriptors, BosNamesTheRequestForTheDescriptorSet) {
    const Bytes good = bos(kMsOs20Uuid, 0x06030000, 142);
    struct Case { const char* name; Bytes bytes; bool found; };
    for (const Case& c : {Case{"OS 2.0 for Windows 8.1", good, true},
                          Case{"another platform", bos(Bytes(16, 0x11), 0x06030000, 142), false},
                          Case{"before Windows 8.1", bos(kMsOs20Uuid, 0x06020000, 142), false},
                          Case{"a set beyond the bound", bos(kMsOs20Uuid, 0x06030000, 4097), false},
                          Case{"cut short", Bytes(good.begin(), good.end() - 3), false},
                          Case{"a capability of length 0", Bytes{0x05, 0x0F, 8, 0, 1, 0, 0x10, 0x05}, false},
                          Case{"empty", Bytes{}, false}}) {
        const auto r = parseBosMsOs20(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(r.has_value(), c.found) << c.name;
        if (r) { EXPECT_EQ(r->vendor_code, 0x21); EXPECT_EQ(r->length, 142); }
    }
}

TEST(MsOsDescriptors, TheClassIsFoundOnlyWhereItIsNamed) {
    const Bytes both = wide("{00000000-0000-0000-0000-000000000000}") + wide(kGuid, 2);
    struct Case { const char* name; bool os20; Bytes bytes; bool names; };
    for (const Case& c : {
             Case{"OS 2.0 list, second entry", true, descriptorSet(feature("DeviceInterfaceGUIDs", both)), true},
             Case{"OS 2.0, another property", true, descriptorSet(feature("Label", wide(kGuid, 2))), false},
             Case{"OS 2.0, a feature longer than the set", true,
                  descriptorSet(feature("DeviceInterfaceGUIDs", wide(kGuid, 2), 2)), false},
             Case{"OS 2.0, the value cut", true,
                  descriptorSet(feature("DeviceInterfaceGUIDs", Bytes(both.begin(), both.end() - 8))), false},
             Case{"OS 1.0 single", false, properties("DeviceInterfaceGUID", 1, wide(kGuid)), true},
             Case{"OS 1.0 list", false, properties("DeviceInterfaceGUIDs", 7, both), true},
             Case{"OS 1.0, a binary value", false, properties("DeviceInterfaceGUID", 3, wide(kGuid)), false},
             Case{"OS 1.0, a section longer than the whole", false,
                  properties("DeviceInterfaceGUID", 1, wide(kGuid), 4), false}}) {
        const auto guids = c.os20 ? parseMsOs20DescriptorSet(c.bytes.data(), c.bytes.size())
                                  : parseMsOs10Properties(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(namesReminderInterface(guids), c.names) << c.name;
    }
}

TEST(MsOsDescriptors, Os10StringNamesTheVendorCode) {
    const Bytes good = Bytes{0x12, 0x03} + wide("MSFT100", 0) + Bytes{0x21, 0x00};
    EXPECT_EQ(parseMsOs10String(good.data(), good.size()), 0x21);
    const Bytes other = Bytes{0x12, 0x03} + wide("MSFT200", 0) + Bytes{0x21, 0x00};
    EXPECT_FALSE(parseMsOs10String(other.data(), other.size()));
    EXPECT_FALSE(parseMsOs10String(good.data(), good.size() - 1));
}

TEST(UsbIds, TheEnvironmentOverridesTheConfigurationFileWhichOverridesThePlaceholder) {
    for (const char* bad : {"12090001", "1209:", ":0001", "12345:0001", "12g9:0001", "1209:0001,", ""})
        EXPECT_FALSE(parseUsbIdList(bad)) << bad;
    velmora::testing::TempDir temp;
    setenv("XDG_CONFIG_HOME", temp.path().c_str(), 1);
    unsetenv(kUsbIdsEnvironmentVariable);
    EXPECT_EQ(configFilePath(), temp.path() / "velmora" / "velmora.conf");
    EXPECT_EQ(reminderUsbIds(), (std::vector<UsbIds>{kPlaceholderReminderUsbIds})) << "no file";
    std::filesystem::create_directories(temp.path() / "velmora");
    std::ofstream(configFilePath()) << "# reminders\nother=1\r\n usb_ids = 16c0:05dc, abCD:f\n";
    EXPECT_EQ(reminderUsbIds(), (std::vector<UsbIds>{{0x16C0, 0x05DC}, {0xABCD, 0x000F}}));
    setenv(kUsbIdsEnvironmentVariable, "04d8:f00d", 1);
    EXPECT_EQ(reminderUsbIds(), (std::vector<UsbIds>{UsbIds{0x04D8, 0xF00D}}));
    setenv(kUsbIdsEnvironmentVariable, "garbage", 1);
    EXPECT_EQ(reminderUsbIds().size(), 2u) << "a malformed variable leaves the file's ids";
    unsetenv(kUsbIdsEnvironmentVariable);
    unsetenv("XDG_CONFIG_HOME");
}
