// The reminder's table area image and its decoding.
#include <gtest/gtest.h>

#include "device/alarm_table.h"

using namespace velmora;

namespace {
std::vector<std::uint8_t> area(std::uint16_t count, std::uint32_t programmed,
                               std::initializer_list<std::uint32_t> entries,
                               std::size_t size = 2016) {
    std::vector<std::uint8_t> b(size, 0);
    putU16(b.data(), 2);
    putU16(b.data() + 2, static_cast<std::uint16_t>(12 + 4 * count));
    putU16(b.data() + 4, count);
    putU32(b.data() + 8, programmed);
    std::size_t i = 0;
    for (auto e : entries) putU32(b.data() + 12 + 4 * i++, e);
    return b;
}
}  // namespace

TEST(EncodeTableArea, HeaderEntriesAndZeroFill) {
    InstantList list(500);
    list.add(1773136800);
    list.add(1773140400);
    list.add(1773223200);
    const MemoryMap map = *memoryMapForModel(1);
    const auto image = encodeTableArea(list, 0x69B00000, map);
    ASSERT_EQ(image.size(), 2016u);
    const std::vector<std::uint8_t> head = {2, 0, 24, 0, 3, 0, 0, 0, 0x00, 0x00, 0xB0, 0x69};
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 12), head);
    EXPECT_EQ(getU32(image.data() + 12), 1773136800u);
    EXPECT_EQ(getU32(image.data() + 16), 1773140400u);
    EXPECT_EQ(getU32(image.data() + 20), 1773223200u);
    for (std::size_t i = 24; i < image.size(); ++i) ASSERT_EQ(image[i], 0) << i;
    EXPECT_EQ(image.size() / kBlockSize, 63u);
}

TEST(EncodeTableArea, FullModelThreeTableFitsItsArea) {
    InstantList list(2000);
    for (int i = 0; i < 2000; ++i) list.add(1773136800 + 3600 * i);
    const MemoryMap map = *memoryMapForModel(3);
    const auto image = encodeTableArea(list, 1773100000, map);
    ASSERT_EQ(image.size(), 8160u);
    EXPECT_EQ(getU16(image.data() + 4), 2000);
    EXPECT_EQ(getU16(image.data() + 2), 12 + 8000);
    EXPECT_EQ(getU32(image.data() + 12 + 4 * 1999), static_cast<std::uint32_t>(1773136800 + 3600 * 1999));
    EXPECT_EQ(getU32(image.data() + 12 + 4 * 2000), 0u);
}

TEST(EncodeTableArea, EmptyTableStillHasAHeader) {
    InstantList list(500);
    const auto image = encodeTableArea(list, 1773100000, *memoryMapForModel(1));
    EXPECT_EQ(getU16(image.data()), 2);
    EXPECT_EQ(getU16(image.data() + 2), 12);
    EXPECT_EQ(getU16(image.data() + 4), 0);
    EXPECT_EQ(getU32(image.data() + 8), 1773100000u);
}

TEST(DecodeTableArea, RoundTripAndCapacityNotConsulted) {
    InstantList list(1000);
    for (int i = 0; i < 700; ++i) list.add(1773136800 + 600 * i);
    const auto image = encodeTableArea(list, 1773000000, *memoryMapForModel(2));
    AlarmTable table(500);
    decodeTableArea(image.data(), image.size(), table);
    EXPECT_EQ(table.programming_time, 1773000000);
    EXPECT_EQ(table.instants(), list.items());
    EXPECT_EQ(table.capacity(), 500u);
}

TEST(DecodeTableArea, ZeroEntryEndsTheTableEarly) {
    const auto b = area(10, 1773000000, {11, 12, 13, 14, 15, 0, 17, 18, 19, 20});
    AlarmTable table;
    decodeTableArea(b.data(), b.size(), table);
    EXPECT_EQ(table.instants(), (std::vector<TimeValue>{11, 12, 13, 14, 15}));
}

TEST(DecodeTableArea, CountAbove2000GivesAnEmptyTableAndKeepsTheProgrammingTime) {
    AlarmTable table;
    table.programming_time = 0;
    table.add(5);
    const auto b = area(2001, 1773000000, {11, 12}, 8160);
    decodeTableArea(b.data(), b.size(), table);
    EXPECT_TRUE(table.instants().empty());
    EXPECT_EQ(table.programming_time, 0);

    const auto ok = area(2000, 1773000000, {11, 12}, 8160);
    decodeTableArea(ok.data(), ok.size(), table);
    EXPECT_EQ(table.instants().size(), 2u);
    EXPECT_EQ(table.programming_time, 1773000000);
}

TEST(DecodeTableArea, CountBeyondTheBytesStopsAtTheirEnd) {
    // A model-1 area holds 501 words after the header; a count of 2000 must not read past it.
    std::vector<std::uint8_t> b(2016, 0);
    putU16(b.data() + 4, 2000);
    for (std::size_t at = 12; at + 4 <= b.size(); at += 4) putU32(b.data() + at, 1000 + at);
    AlarmTable table;
    decodeTableArea(b.data(), b.size(), table);
    EXPECT_EQ(table.instants().size(), 501u);
}

TEST(AlarmTableOps, ClearKeepsCapacityAndAddFailsWhenFull) {
    AlarmTable table(2);
    table.programming_time = 9;
    table.log_entries.push_back({});
    EXPECT_TRUE(table.add(3));
    EXPECT_TRUE(table.add(1));
    EXPECT_FALSE(table.add(2));
    table.sortUnique();
    EXPECT_EQ(table.instants(), (std::vector<TimeValue>{1, 3}));
    table.clear();
    EXPECT_TRUE(table.instants().empty());
    EXPECT_TRUE(table.log_entries.empty());
    EXPECT_EQ(table.programming_time, 0);
    EXPECT_EQ(table.capacity(), 2u);
}
