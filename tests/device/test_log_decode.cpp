// Decoding the reminder's log words into acknowledgement entries.
#include <gtest/gtest.h>

#include "core/records.h"
#include "device/log_decode.h"

using namespace velmora;

namespace {
constexpr TimeValue kNow = 1773144000;  // the present in these tests

std::vector<std::uint8_t> words(std::initializer_list<std::uint32_t> w) {
    std::vector<std::uint8_t> b(4 * w.size());
    std::size_t i = 0;
    for (auto v : w) putU32(b.data() + 4 * i++, v);
    return b;
}

std::vector<ReadBackEntry> decode(std::initializer_list<TimeValue> instants,
                                  std::initializer_list<std::uint32_t> log, std::uint32_t window = 0) {
    AlarmTable table;
    for (auto t : instants) table.add(t);
    const auto b = words(log);
    decodeLog(b.data(), log.size(), table, window, kNow);
    return table.log_entries;
}
}  // namespace

TEST(DecodeLog, AcknowledgementTimesAroundTheLateThreshold) {
    const TimeValue t = kNow - 7200;
    const auto e = decode({t, t + 1000, t + 2000, t + 3000},
                          {static_cast<std::uint32_t>(t - 300), static_cast<std::uint32_t>(t + 1000 + 600),
                           static_cast<std::uint32_t>(t + 2000 + 609), static_cast<std::uint32_t>(t + 3000 + 610)});
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].status, kStatusAcknowledged);
    EXPECT_EQ(e[0].ack, t - 300);
    EXPECT_EQ(e[1].status, kStatusAcknowledged);
    EXPECT_EQ(e[2].status, kStatusAcknowledged);
    EXPECT_EQ(e[3].status, kStatusAcknowledgedLate);
    EXPECT_EQ(e[3].ack, t + 3610);
    EXPECT_EQ(e[3].alarm_time, t + 3000);
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

TEST(DecodeLog, WindowZeroStopsAtFutureAlarms) {
    const auto e = decode({kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0});
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].status, kStatusForgottenAlt);
}

TEST(DecodeLog, OpenWindowGivesNotAlarmedYet) {
    const auto e = decode({kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0}, 3600);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].alarm_time, kNow + 1800);
    EXPECT_EQ(e[1].status, kStatusNotAlarmed);
    EXPECT_EQ(e[1].ack, 0);
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
    const auto b = words({1, 1, 1});
    decodeLog(b.data(), 3, table, 0, kNow);
    EXPECT_EQ(table.log_entries.size(), 3u);
    decodeLog(b.data(), 0, table, 0, kNow);
    EXPECT_TRUE(table.log_entries.empty());
}
