#include <gtest/gtest.h>

#include "core/datetime.h"
#include "core/records.h"

using namespace velmora;

TEST(Records, AlarmsOrderByTheirFirstInstant) {
    Alarm a, b;
    a.alarm_start = makeTime(2024, 5, 1, 9, 0);
    b.alarm_start = makeTime(2024, 4, 30, 23, 0);
    EXPECT_TRUE(alarmStartsBefore(b, a));
    EXPECT_FALSE(alarmStartsBefore(a, b));
}

TEST(InstantListTest, BoundedSortedAndTrimmed) {
    InstantList list(3);
    EXPECT_TRUE(list.add(300));
    EXPECT_TRUE(list.add(100));
    EXPECT_TRUE(list.add(300));
    EXPECT_FALSE(list.add(200)) << "a full list refuses";
    list.sortUnique();
    EXPECT_EQ(list.items(), (std::vector<TimeValue>{100, 300}));

    InstantList days(10);
    const TimeValue d1 = toTimeValue(makeTime(2024, 5, 1, 8, 0));
    const TimeValue d2a = toTimeValue(makeTime(2024, 5, 2, 0, 0));
    const TimeValue d2b = toTimeValue(makeTime(2024, 5, 2, 23, 59));
    for (TimeValue t : {d1, d2a, d2b}) days.add(t);
    days.trimLastDay();
    EXPECT_EQ(days.items(), (std::vector<TimeValue>{d1}));
}
