// Storing a read-back acknowledgement log: whose it is, the questions and
// notices, the merge into the history, and a write that does not stick.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "device/alarm_table.h"
#include "device/log_readback.h"
#include "device_test_util.h"
#include "resources/resource_module.h"

using namespace velmora;
using namespace velmora::devtest;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);
constexpr std::uint32_t kSn = 777001;

struct ReadBack : ::testing::Test {
    Database db{kNow};
    RecordStore& store = db.store;
    CurrentUser& user = db.user;
    ScriptedPerson person;
    const StringSource& strings = ResourceModule::builtIn();
    AlarmTable table;
    TimeValue now = toTimeValue(kNow);
    int maija = 0, olli = 0;

    void SetUp() override {
        maija = store.insertProfile(false, "Maija Meikäläinen", "", "", "");
        olli = store.insertProfile(false, "Olli", "", "", "");
        Profile p;
        ASSERT_TRUE(store.loadProfile(maija, p));
        user.setProfile(p);
        DeviceRecord d;
        d.sn = kSn;
        d.programming_time = now - 86400;
        ASSERT_TRUE(store.saveDevice(d, maija));
        table.programming_time = now - 86400;
        table.add(now - 7200);
        table.add(now - 3600);
        table.log_entries = {{0, now - 7200, now - 7100, kStatusAcknowledged},
                             {0, now - 3600, 0, kStatusForgottenAlt}};
    }
    std::vector<LogEntry> stored(int owner) {
        std::vector<LogEntry> v;
        store.loadLog(owner, v);
        return v;
    }
    ReadBackOutcome run(int owner, bool check = true, bool connected = true) {
        return storeReadBack(store, user, table, connected, kSn, owner, check, person, strings);
    }
};

}  // namespace

TEST_F(ReadBack, OwnersReminderIsStoredWithoutQuestions) {
    EXPECT_EQ(run(maija), ReadBackOutcome::Stored);
    EXPECT_TRUE(person.shown.empty());
    const auto log = stored(maija);
    ASSERT_EQ(log.size(), 2u);
    ASSERT_EQ(user.history.size(), 2u);
    EXPECT_EQ(user.history[now - 7200].log_status, kStatusAcknowledged);
    EXPECT_EQ(user.history[now - 7200].ack, now - 7100);
    EXPECT_EQ(user.history[now - 3600].log_status, kStatusForgottenAlt);
}

TEST_F(ReadBack, AnotherUsersReminderStoresNothing) {
    EXPECT_EQ(run(olli), ReadBackOutcome::Dropped);
    EXPECT_TRUE(stored(maija).empty());
    EXPECT_TRUE(stored(olli).empty());
    EXPECT_TRUE(user.history.empty());
}

TEST_F(ReadBack, ReminderWithoutOwnerAsksBeforeStoring) {
    person.answers = {false};
    EXPECT_EQ(run(-1, false), ReadBackOutcome::Dropped);
    ASSERT_EQ(person.shown.size(), 1u);
    EXPECT_TRUE(person.shown[0].question);
    EXPECT_EQ(person.shown[0].text,
              "Laitteessa on tietoja hälytysten kuittauksista.\n"
              "Tallennetaanko tiedot käyttäjälle Maija Meikäläinen?");
    EXPECT_EQ(person.shown[0].caption, "Kysymys");
    EXPECT_TRUE(stored(maija).empty());

    person.answers = {true};
    EXPECT_EQ(run(0, false), ReadBackOutcome::Stored);
    EXPECT_EQ(stored(maija).size(), 2u);
}

TEST_F(ReadBack, ReminderProgrammedElsewhereBringsANotice) {
    table.programming_time = now - 5000;
    EXPECT_EQ(run(maija), ReadBackOutcome::Stored);
    ASSERT_EQ(person.shown.size(), 1u);
    EXPECT_EQ(person.shown[0].text, "Laite on viimeksi ohjelmoitu eri käyttäjätiedoista");
    EXPECT_EQ(person.shown[0].caption, "Huomautus");
    EXPECT_EQ(person.shown[0].icon, MessageIcon::Information);
    person.shown.clear();
    EXPECT_EQ(run(maija, false), ReadBackOutcome::Stored) << "no check asked for";
    EXPECT_TRUE(person.shown.empty());
}

TEST_F(ReadBack, NothingHappensWithoutAReminderOrEntries) {
    EXPECT_EQ(run(maija, true, false), ReadBackOutcome::NotConnected);
    EXPECT_TRUE(person.shown.empty());
    table.log_entries.clear();
    EXPECT_EQ(run(-1), ReadBackOutcome::NothingToStore);
    EXPECT_TRUE(person.shown.empty());
}

TEST_F(ReadBack, NoQuestionAndNoRowsWithoutACurrentUser) {
    user.setProfile(Profile{});
    EXPECT_EQ(run(-1, false), ReadBackOutcome::NoCurrentUser);
    EXPECT_TRUE(person.shown.empty());
    EXPECT_TRUE(stored(0).empty());
}

TEST_F(ReadBack, MergeKeepsTheBestKnownStatus) {
    user.history[now - 7200] = {now - 7200, 0, kStatusNotAlarmed};
    user.history[now - 3600] = {now - 3600, now - 3500, kStatusAcknowledged};
    user.history[now - 10800] = {now - 10800, 0, kStatusForgottenAlt};
    user.history[now - 14400] = {now - 14400, now - 13000, kStatusAcknowledgedLate};
    table.log_entries = {{0, now - 14400, now - 14300, kStatusAcknowledged},
                         {0, now - 10800, 0, kStatusForgottenAlt},
                         {0, now - 7200, now - 7100, kStatusAcknowledged},
                         {0, now - 3600, 0, kStatusForgottenAlt}};
    EXPECT_EQ(run(maija), ReadBackOutcome::Stored);
    EXPECT_EQ(user.history[now - 14400].log_status, kStatusAcknowledged) << "late becomes on time";
    EXPECT_EQ(user.history[now - 14400].ack, now - 14300);
    EXPECT_EQ(user.history[now - 10800].log_status, kStatusForgottenAlt);
    EXPECT_EQ(user.history[now - 7200].log_status, kStatusAcknowledged) << "not alarmed yet -> read";
    EXPECT_EQ(user.history[now - 3600].log_status, kStatusAcknowledged) << "never changes back";
    EXPECT_EQ(user.history[now - 3600].ack, now - 3500);
    // Every history entry is written, not only the merged ones.
    EXPECT_EQ(stored(maija).size(), 4u);
}

TEST_F(ReadBack, AHistoryThatCannotBeStoredIsReported) {
    // Table Log is gone: the statements fail although the file opens.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(store.databasePath().c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE Log;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    EXPECT_EQ(run(maija), ReadBackOutcome::StoreFailed);
    EXPECT_EQ(user.history.size(), 2u) << "the merge stays in memory";

    // A database that cannot be opened at all.
    RecordStore missing(db.dir.path() / "no-such-dir" / "velmora.db");
    EXPECT_EQ(storeReadBack(missing, user, table, true, kSn, maija, false, person, strings),
              ReadBackOutcome::StoreFailed);
}
