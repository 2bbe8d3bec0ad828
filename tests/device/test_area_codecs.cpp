// The reminder's table area image and its decoding, and the log words
// decoded into acknowledgement entries.
#include <gtest/gtest.h>

#include "core/records.h"
#include "device/alarm_table.h"
#include "device/log_decode.h"

using namespace velmora;

namespace {

constexpr TimeValue kNow = 1773144000;  // the present in the log tests

std::vector<std::uint8_t> area(std::uint16_t count, std::uint32_t programmed,
                               std::initializer_list<std::uint32_t> entries, std::size_t size) {
    std::vector<std::uint8_t> b(size, 0);
    putU16(b.data(), 2);
    putU16(b.data() + 2, static_cast<std::uint16_t>(12 + 4 * count));
    putU16(b.data() + 4, count);
    putU32(b.data() + 8, programmed);
    std::size_t i = 0;
    for (auto e : entries) putU32(b.data() + 12 + 4 * i++, e);
    return b;
}

std::vector<ReadBackEntry> decode(std::initializer_list<TimeValue> instants,
                                  std::initializer_list<std::uint32_t> log, std::uint32_t window = 0) {
    AlarmTable table;
    for (auto t : instants) table.add(t);
    std::vector<std::uint8_t> b(4 * log.size());
    std::size_t i = 0;
    for (auto v : log) putU32(b.data() + 4 * i++, v);
    decodeLog(b.data(), log.size(), table, window, kNow);
    return table.log_entries;
}

}  // namespace

TEST(EncodeTableArea, HeaderEntriesAndZeroFill) {
    InstantList list(500);
    for (TimeValue t : {1773136800, 1773140400, 1773223200}) list.add(t);
    const auto image = encodeTableArea(list, 0x69B00000, *memoryMapForModel(1));
    ASSERT_EQ(image.size(), 2016u);
    const std::vector<std::uint8_t> head = {2, 0, 24, 0, 3, 0, 0, 0, 0x00, 0x00, 0xB0, 0x69};
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 12), head);
    EXPECT_EQ(getU32(image.data() + 12), 1773136800u);
    EXPECT_EQ(getU32(image.data() + 16), 1773140400u);
    EXPECT_EQ(getU32(image.data() + 20), 1773223200u);
    for (std::size_t i = 24; i < image.size(); ++i) ASSERT_EQ(image[i], 0) << i;
}

TEST(EncodeTableArea, EmptyAndFullTablesFitTheirAreas) {
    for (auto [model, count, bytes] : {std::tuple{1, 0, 2016u}, std::tuple{3, 2000, 8160u}}) {
        InstantList list(2000);
        for (int i = 0; i < count; ++i) list.add(1773136800 + 3600 * i);
        const auto image = encodeTableArea(list, 1773100000, *memoryMapForModel(model));
        ASSERT_EQ(image.size(), bytes) << model;
        EXPECT_EQ(getU16(image.data()), 2) << model;
        EXPECT_EQ(getU16(image.data() + 2), 12 + 4 * count) << model;
        EXPECT_EQ(getU16(image.data() + 4), count) << model;
        EXPECT_EQ(getU32(image.data() + 8), 1773100000u) << model;
        if (count > 0) { EXPECT_EQ(getU32(image.data() + 8 + 4 * count), 1773136800u + 3600u * (count - 1)); }
        EXPECT_EQ(getU32(image.data() + 12 + 4 * count), 0u) << model;
    }
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
    const auto b = area(10, 1773000000, {11, 12, 13, 14, 15, 0, 17, 18, 19, 20}, 2016);
    AlarmTable table;
    decodeTableArea(b.data(), b.size(), table);
    EXPECT_EQ(table.instants(), (std::vector<TimeValue>{11, 12, 13, 14, 15}));
}

TEST(DecodeTableArea, CountAbove2000GivesAnEmptyTableAndKeepsTheProgrammingTime) {
    AlarmTable table;
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

TEST(DecodeLog, AcknowledgementTimesAroundTheLateThreshold) {
    const TimeValue t = kNow - 7200;
    for (auto [after, status] : {std::pair{-300, kStatusAcknowledged}, std::pair{600, kStatusAcknowledged},
                                 std::pair{609, kStatusAcknowledged}, std::pair{610, kStatusAcknowledgedLate}}) {
        const auto e = decode({t}, {static_cast<std::uint32_t>(t + after)});
        ASSERT_EQ(e.size(), 1u) << after;
        EXPECT_EQ(e[0].status, status) << after;
        EXPECT_EQ(e[0].ack, t + after) << after;
        EXPECT_EQ(e[0].alarm_time, t) << after;
    }
}

TEST(DecodeLog, PastAlarmsWithEmptyAlarmedAndForgottenWords) {
    const TimeValue t = kNow - 7200;
    const auto e = decode({t, t + 100, t + 200}, {0, 1, 0xFFFFFFFF});
    ASSERT_EQ(e.size(), 2u);  // a past alarm with nothing recorded gives no entry
    EXPECT_EQ(e[0].alarm_time, t + 100);
    EXPECT_EQ(e[0].status, kStatusForgottenAlt);
    EXPECT_EQ(e[0].ack, 0);
    EXPECT_EQ(e[1].status, kStatusForgottenAlt);
}

TEST(DecodeLog, WindowZeroStopsAtFutureAlarmsAnOpenWindowGivesNotAlarmedYet) {
    const auto closed = decode({kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0});
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].status, kStatusForgottenAlt);
    const auto open = decode({kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0}, 3600);
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[1].alarm_time, kNow + 1800);
    EXPECT_EQ(open[1].status, kStatusNotAlarmed);
    EXPECT_EQ(open[1].ack, 0);
}

TEST(DecodeLog, AlarmedWordForAnAlarmInsideItsOpenWindowIsNotAlarmedYet) {
    const auto e = decode({kNow + 600}, {1}, 1200);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].status, kStatusNotAlarmed);
    const auto pressed = decode({kNow + 600}, {static_cast<std::uint32_t>(kNow - 10)}, 1200);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].status, kStatusAcknowledged);
}

TEST(DecodeLog, InstantsWithoutLogWordsAreNotDecoded) {
    AlarmTable table;
    for (int i = 0; i < 5; ++i) table.add(kNow - 10000 + i * 1000);
    std::uint8_t alarmed[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    decodeLog(alarmed, 3, table, 0, kNow);
    EXPECT_EQ(table.log_entries.size(), 3u);
    decodeLog(alarmed, 0, table, 0, kNow);
    EXPECT_TRUE(table.log_entries.empty()) << "a new decoding replaces the entries";
}
