// The programming table, the expected instants and the needs-programming
// rule against a real database file.
#include <gtest/gtest.h>

#include <map>

#include "device/alarm_rules.h"
#include "device/alarm_table.h"
#include "device_test_util.h"

using namespace velmora;
using namespace velmora::devtest;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

struct Rules : ::testing::Test {
    Database db{kNow};
    RecordStore& store = db.store;
    CurrentUser& user = db.user;
    TimeValue now = toTimeValue(kNow);
    int maija = 0;

    void SetUp() override {
        maija = store.insertProfile(false, "Maija", "010101-123A", "040 123", "");
        ASSERT_GT(maija, 0);
    }
    void addAlarm(Alarm a) {
        ASSERT_TRUE(store.saveAlarm(a, maija));
        user.alarms.push_back(a);
    }
    void ownReminder(TimeValue lastAlarm, int amount, TimeValue programmed = 1) {
        DeviceRecord d;
        d.sn = 4242;
        d.device_type = DeviceRecord::kOwn;
        d.programming_time = programmed;
        d.last_alarm = lastAlarm;
        d.alarm_amount = amount;
        ASSERT_TRUE(store.saveDevice(d, maija));
    }
};

std::map<std::tuple<int, int, int>, int> perDay(const std::vector<TimeValue>& v) {
    std::map<std::tuple<int, int, int>, int> days;
    for (TimeValue t : v) {
        const SYSTEMTIME s = fromTimeValue(t);
        ++days[{s.wYear, s.wMonth, s.wDay}];
    }
    return days;
}

}  // namespace

TEST_F(Rules, ModelOneTableEndsWithTheLastWholeDay) {
    for (int h : {8, 10, 13, 16, 19, 22}) addAlarm(daily(makeTime(2026, 3, 1, h, 0)));
    user.alarm_table.setCapacity(500);
    ASSERT_TRUE(buildProgrammingTable(user, kNow));
    const auto& items = user.alarm_table.items();
    ASSERT_FALSE(items.empty());
    EXPECT_LE(items.size(), 500u);
    EXPECT_GT(items.size(), 490u);
    EXPECT_GE(items.front(), now);
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
    const auto days = perDay(items);
    EXPECT_EQ(days.rbegin()->second, 6) << "the last day is complete";
    EXPECT_EQ(days.begin()->second, 4) << "13, 16, 19 and 22 are left today";
    // Its last instant is what the reminder's record gets as last_alarm.
    const auto image = encodeTableArea(user.alarm_table, now, *memoryMapForModel(1));
    const std::uint16_t count = getU16(image.data() + 4);
    EXPECT_EQ(count, items.size());
    EXPECT_EQ(static_cast<TimeValue>(getU32(image.data() + 12 + 4 * (count - 1))), items.back());
    EXPECT_EQ(fromTimeValue(items.back()).wHour, 22);
}

TEST_F(Rules, ModelThreeCapacityHoldsMoreDays) {
    for (int h : {8, 10, 13, 16, 19, 22}) addAlarm(daily(makeTime(2026, 3, 1, h, 0)));
    user.alarm_table.setCapacity(2000);
    ASSERT_TRUE(buildProgrammingTable(user, kNow));
    EXPECT_GT(user.alarm_table.size(), 1990u);
    EXPECT_LE(user.alarm_table.size(), 2000u);
}

TEST_F(Rules, NothingToProgram) {
    EXPECT_FALSE(buildProgrammingTable(user, kNow)) << "no alarms";
    addAlarm(single(makeTime(2026, 3, 9, 8, 0)));
    addAlarm(daily(makeTime(2026, 2, 1, 8, 0), false, makeTime(2026, 3, 1, 8, 0)));
    EXPECT_FALSE(buildProgrammingTable(user, kNow)) << "every alarm lies in the past";
    user.alarms.clear();
    // Ends later today, but its next occurrence (tomorrow 08:00) is past the end.
    addAlarm(daily(makeTime(2026, 3, 1, 8, 0), false, makeTime(2026, 3, 10, 23, 0)));
    EXPECT_FALSE(buildProgrammingTable(user, kNow));
    EXPECT_TRUE(user.alarm_table.empty());
}

TEST_F(Rules, ExpectedInstantsCoverThreeWeeksWithoutARecord) {
    user.setProfile([&] { Profile p; store.loadProfile(maija, p); return p; }());
    addAlarm(daily(makeTime(2026, 3, 1, 8, 0)));
    const auto expected = expectedInstants(store, user, now);
    ASSERT_EQ(expected.size(), 21u);  // 11.3. to 31.3. at 08:00
    EXPECT_EQ(fromTimeValue(expected.front()).wDay, 11);
    EXPECT_EQ(fromTimeValue(expected.back()).wDay, 31);
    EXPECT_EQ(fromTimeValue(expected.back()).wHour, 8) << "08:00 also after the spring change";
}

TEST_F(Rules, ExpectedInstantsFollowTheReminderRecord) {
    user.setProfile([&] { Profile p; store.loadProfile(maija, p); return p; }());
    addAlarm(daily(makeTime(2026, 3, 1, 8, 0)));
    ownReminder(toTimeValue(makeTime(2026, 4, 30, 8, 0)), 10);
    auto expected = expectedInstants(store, user, now);
    EXPECT_EQ(expected.size(), 10u) << "no more than the reminder was given";
    ownReminder(toTimeValue(makeTime(2026, 4, 30, 8, 0)), 100);
    expected = expectedInstants(store, user, now);
    EXPECT_EQ(expected.size(), 51u) << "up to the last alarm, past three weeks";
}

TEST_F(Rules, NeedsProgrammingRule) {
    user.setProfile([&] { Profile p; store.loadProfile(maija, p); return p; }());
    addAlarm(daily(makeTime(2026, 3, 1, 8, 0)));
    addAlarm(daily(makeTime(2026, 3, 1, 20, 0)));
    user.alarm_table.setCapacity(500);
    ASSERT_TRUE(buildProgrammingTable(user, kNow));
    const auto programmed = user.alarm_table.items();
    ownReminder(programmed.back(), static_cast<int>(programmed.size()));
    rememberProgrammed(user, programmed, 600);

    EXPECT_FALSE(needsProgramming(store, user, 600, now));
    EXPECT_TRUE(needsProgramming(store, user, 1200, now)) << "window changed after programming";

    // More programmed instants than expected still agree when the expected lead.
    auto longer = programmed;
    longer.push_back(programmed.back() + 86400);
    rememberProgrammed(user, longer, 600);
    EXPECT_FALSE(needsProgramming(store, user, 600, now));

    // A changed alarm breaks the agreement.
    user.alarms[1].alarm_start.wHour = 21;
    user.alarms[1].alarm_end.wHour = 21;
    EXPECT_TRUE(needsProgramming(store, user, 600, now));
    user.alarms[1].alarm_start.wHour = 20;
    user.alarms[1].alarm_end.wHour = 20;

    // Nothing programmed ahead: must be programmed.
    rememberProgrammed(user, {}, 600);
    EXPECT_TRUE(needsProgramming(store, user, 600, now));
}

TEST_F(Rules, LastAlarmWithinThreeWeeksNeedsProgramming) {
    user.setProfile([&] { Profile p; store.loadProfile(maija, p); return p; }());
    addAlarm(daily(makeTime(2026, 3, 1, 8, 0)));
    const auto expected = expectedInstants(store, user, now);
    ownReminder(now + 20 * 86400, 500);
    rememberProgrammed(user, expected, 600);
    EXPECT_TRUE(needsProgramming(store, user, 600, now));
    ownReminder(now + 40 * 86400, 500);
    rememberProgrammed(user, expectedInstants(store, user, now), 600);
    EXPECT_FALSE(needsProgramming(store, user, 600, now));
}

TEST_F(Rules, SelectingAUserPreparesWhatItsReminderHolds) {
    for (int h : {8, 20}) addAlarm(daily(makeTime(2026, 3, 1, h, 0)));
    ownReminder(now + 40 * 86400, 500);
    const int other = store.insertProfile(true, "Olli", "", "", "");
    ASSERT_GT(other, 0);

    // A user whose flag is stored true: the previous user's instants are dropped.
    user.programmed_instants = {now + 100, now + 200};
    user.programmed_window = 1200;
    ASSERT_TRUE(selectUserWithReminder(store, user, other, now));
    EXPECT_EQ(user.id, other);
    EXPECT_TRUE(user.programmed_instants.empty());
    EXPECT_EQ(user.programmed_window, 0);
    EXPECT_TRUE(user.is_programming_needed);

    // A user whose flag is stored false: the expected instants, flag false
    // while the reminder's last alarm is far enough.
    ASSERT_TRUE(selectUserWithReminder(store, user, maija, now));
    EXPECT_EQ(user.id, maija);
    EXPECT_EQ(user.programmed_instants.size(), 80u);  // 10.3. 20:00 to 19.4. 08:00
    EXPECT_FALSE(user.is_programming_needed);
    EXPECT_FALSE(needsProgramming(store, user, 600, now));

    // ... and true when it is near.
    ASSERT_TRUE(selectUserWithReminder(store, user, other, now));
    ownReminder(now + 5 * 86400, 500);
    ASSERT_TRUE(selectUserWithReminder(store, user, maija, now));
    EXPECT_TRUE(user.is_programming_needed);

    // An unknown user changes nothing.
    const auto before = user.programmed_instants;
    EXPECT_FALSE(selectUserWithReminder(store, user, 999, now));
    EXPECT_EQ(user.programmed_instants, before);
    EXPECT_EQ(user.id, maija);
}

TEST_F(Rules, ReadOfOwnReminderAndAlarmChangesUpdateTheFlag) {
    ASSERT_TRUE(selectUserWithReminder(store, user, maija, now));
    user.alarms.clear();
    addAlarm(daily(makeTime(2026, 3, 1, 9, 0)));
    ownReminder(now + 40 * 86400, 500);
    user.is_programming_needed = true;
    noteOwnReminderRead(store, user, now);
    EXPECT_FALSE(user.is_programming_needed);
    addAlarm(single(makeTime(2026, 3, 12, 15, 0)));
    noteAlarmsChanged(store, user, now);
    EXPECT_TRUE(user.is_programming_needed);
}
