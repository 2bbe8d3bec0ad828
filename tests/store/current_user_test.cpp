#include <gtest/gtest.h>

#include "core/datetime.h"
#include "store/record_store.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using testing::fields;

constexpr TimeValue kNow = 1796000000;  // December 2026
constexpr TimeValue kDay = 86400;

// Aino with an alarm and a history entry, Bertta needing programming; the user list loaded.
class CurrentUserTest : public testing::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        aino = store.insertProfile(false, "Aino", "", "", "");
        bertta = store.insertProfile(true, "Bertta", "", "", "");
        ASSERT_GT(aino, 0);
        ASSERT_GT(bertta, 0);
        Alarm a;
        a.alarm_start = fromTimeValue(kNow + kDay);
        a.title = "Aamu";
        ASSERT_TRUE(store.saveAlarm(a, aino));
        ASSERT_TRUE(store.saveLogEntries(std::vector<LogEntry>{{kNow - kDay, kNow - kDay + 60, 4}}, aino));
        ASSERT_TRUE(store.reloadUsers(user));
    }
    // A preparer that records its calls and leaves a mark in the table (that it
    // runs at the present given is the user dialog's test).
    AlarmTablePreparer recorder() {
        return [this](CurrentUser& u, TimeValue now) {
            prepared.push_back(u.id);
            u.alarm_table.add(now + 3600);
        };
    }
    CurrentUser user;
    int aino = 0, bertta = 0;
    std::vector<int> prepared;
};

// Loading the alarms, preparing the table and the flag by the reminder's last
// alarm are the device rules' test (selecting a user with her reminder).
TEST_F(CurrentUserTest, SelectUserLoadsProfileAndHistoryAndPreparesTheTable) {
    ASSERT_TRUE(store.selectUser(user, aino, kNow, recorder()));
    EXPECT_EQ(user.id, aino);
    ASSERT_EQ(user.history.size(), 1u);
    EXPECT_EQ(user.history.at(kNow - kDay).log_status, 4);
    EXPECT_EQ(prepared, std::vector<int>{aino});
    ASSERT_EQ(user.users.size(), 2u);  // the list is kept

    // Selecting the current user again does nothing; bad ids leave the selection.
    EXPECT_TRUE(store.selectUser(user, aino, kNow, recorder()));
    EXPECT_EQ(prepared.size(), 1u);
    for (int bad : {0, -3, 999}) EXPECT_FALSE(store.selectUser(user, bad, kNow, recorder())) << bad;
    EXPECT_EQ(user.id, aino);
    EXPECT_EQ(user.alarms.size(), 1u);
}

TEST_F(CurrentUserTest, SelectUserSavesThePreviousUserUnlessToldNot) {
    ASSERT_TRUE(store.selectUser(user, aino, kNow, recorder()));
    user.phone = "040 111";
    user.programmed_instants = {kNow + 100};
    user.programmed_window = 1200;
    ASSERT_TRUE(store.selectUser(user, bertta, kNow, recorder()));
    EXPECT_TRUE(user.programmed_instants.empty()) << "Aino's reminder is not Bertta's";
    EXPECT_EQ(user.programmed_window, 0);
    EXPECT_EQ(profileOf(aino).phone, "040 111");
    // Bertta needs programming: no table is prepared, and nothing of Aino's stays.
    EXPECT_TRUE(user.is_programming_needed);
    EXPECT_TRUE(user.alarm_table.empty());
    EXPECT_TRUE(user.alarms.empty());
    EXPECT_TRUE(user.history.empty());
    EXPECT_EQ(prepared, std::vector<int>{aino});

    user.phone = "not saved";
    ASSERT_TRUE(store.selectUser(user, aino, kNow, recorder(), RecordStore::SaveCurrent::No));
    EXPECT_EQ(profileOf(bertta).phone, "");
    EXPECT_EQ(user.phone, "040 111");
}

TEST_F(CurrentUserTest, ReprogrammingIsDueWithin21Days) {
    ASSERT_TRUE(store.selectUser(user, aino, kNow, nullptr));
    EXPECT_TRUE(user.is_programming_needed);  // no own reminder: due
    ASSERT_TRUE(store.saveDevice({500, 0, 0, kNow + 1814400, 1}, aino));
    EXPECT_FALSE(store.reprogrammingDue(user, kNow));
    EXPECT_TRUE(store.reprogrammingDue(user, kNow + 1));
    // A spare reminder does not count as the user's own.
    ASSERT_TRUE(store.saveDevice({500, 1, 0, kNow + 40 * kDay, 1}, aino));
    EXPECT_TRUE(store.reprogrammingDue(user, kNow));
    EXPECT_EQ(store.lastAlarmOf(user), 0);

    // With no user selected the connected reminder is asked.
    CurrentUser nobody;
    nobody.connected_sn = 500;
    EXPECT_EQ(store.lastAlarmOf(nobody), kNow + 40 * kDay);
    EXPECT_FALSE(store.reprogrammingDue(nobody, kNow));
    // Near the end of the 32-bit range the sum does not overflow.
    EXPECT_TRUE(store.reprogrammingDue(nobody, 0x7FFFFF00));
}

TEST_F(CurrentUserTest, AssignDeviceTiesANewReminderOnce) {
    ASSERT_TRUE(store.selectUser(user, aino, kNow, nullptr));
    ASSERT_TRUE(store.saveDevice({900, 0, kNow - 100, kNow + kDay, 12}, bertta));
    ASSERT_TRUE(store.assignDevice(user, 900));
    DeviceRecord d;
    ASSERT_TRUE(store.findDevice(900, d));
    EXPECT_EQ(fields(d), std::tuple(900u, 2, 0, 0, 0));
    EXPECT_EQ(store.getDeviceOwner(900), aino);
    EXPECT_FALSE(store.isOwnReminder(900));

    // Already the user's: nothing is written.
    ASSERT_TRUE(store.saveDevice({900, 0, kNow, kNow + kDay, 12}, aino));
    ASSERT_TRUE(store.assignDevice(user, 900));
    EXPECT_TRUE(store.isOwnReminder(900));
    EXPECT_EQ(store.programmingTimeOf(900), kNow);
    EXPECT_EQ(store.programmingTimeOf(901), 0);
    EXPECT_FALSE(store.isOwnReminder(901));
}

// That the deleted current user is closed and gone from the list and the file
// is the user dialog's test (what closing clears is SelectUser's); here the
// current user stays when another one is deleted.
TEST_F(CurrentUserTest, DeletingAnotherUserKeepsTheCurrentOne) {
    ASSERT_TRUE(store.selectUser(user, bertta, kNow, nullptr));
    Profile other;
    other.id = aino;
    ASSERT_TRUE(store.deleteUser(user, other));
    EXPECT_EQ(user.id, bertta);
    EXPECT_EQ(user.users.size(), 1u);
    EXPECT_EQ(rows("Alarms"), 0);
}

}  // namespace
}  // namespace velmora
