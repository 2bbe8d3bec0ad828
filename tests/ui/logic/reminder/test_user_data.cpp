// The reminder's data in the user's records, against a real database file:
// the expected instants and the needs-programming rule; storing a read-back
// acknowledgement log; the programming report.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "core/datetime.h"
#include "core/records.h"
#include "core/programming_table.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "device/alarm_table.h"
#include "ui/logic/reminder/log_readback.h"
#include "ui/logic/reminder/programming_report.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/dialog_test_support.h"

using namespace velmora;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

// A real database file in a fresh directory, created and migrated as at
// program start, with Maija as the current user.
struct UserData : ::testing::Test {
    dialogtest::TempDatabase db;
    const std::filesystem::path& dir = db.dir();
    RecordStore& store = db.store();
    CurrentUser& user = db.user;
    TimeValue now = toTimeValue(kNow);
    int maija = 0;

    void SetUp() override {
        maija = store.insertProfile(false, "Maija Meikäläinen", "", "040 765 4321", "");
        user.setProfile(db.storedProfile(maija));
    }
    void ownReminder(std::uint32_t sn, TimeValue programmed, TimeValue lastAlarm = 0, int amount = 0) {
        ASSERT_TRUE(store.saveDevice({sn, DeviceRecord::kOwn, programmed, lastAlarm, amount}, maija));
    }
    void addAlarm(Alarm a) {
        ASSERT_TRUE(store.saveAlarm(a, maija));
        user.alarms.push_back(a);
    }
};

using velmora::testing::dailyAlarm;
Alarm single(const SYSTEMTIME& at) { return dailyAlarm(at, false, {}, 0); }

using Rules = UserData;

}  // namespace

TEST_F(Rules, ExpectedInstantsCoverThreeWeeksOrFollowTheReminderRecord) {
    addAlarm(dailyAlarm(makeTime(2026, 3, 1, 8, 0)));
    auto expected = expectedInstants(store, user, now);
    ASSERT_EQ(expected.size(), 21u);  // 11.3. to 31.3. at 08:00
    EXPECT_EQ(fromTimeValue(expected.front()).wDay, 11);
    EXPECT_EQ(fromTimeValue(expected.back()).wDay, 31);
    EXPECT_EQ(fromTimeValue(expected.back()).wHour, 8) << "08:00 also after the spring change";

    ownReminder(4242, 1, toTimeValue(makeTime(2026, 4, 30, 8, 0)), 10);
    EXPECT_EQ(expectedInstants(store, user, now).size(), 10u) << "no more than the reminder was given";
    ownReminder(4242, 1, toTimeValue(makeTime(2026, 4, 30, 8, 0)), 100);
    EXPECT_EQ(expectedInstants(store, user, now).size(), 51u) << "up to the last alarm, past three weeks";
}

TEST_F(Rules, ExpectedInstantsStopAtTheReminderCapacity) {
    // 1000 daily alarms and a last alarm in 2038: expanding them all would
    // take about 1 GB; the reminder holds 2000 instants.
    for (int i = 0; i < 1000; ++i) user.alarms.push_back(dailyAlarm(makeTime(2026, 3, 1, i / 60, i % 60)));
    ownReminder(4242, 1, toTimeValue(makeTime(2038, 1, 1, 8, 0)), 2000);
    const auto boundedRun = [&] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (256u << 20);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_AS, &r);
        const auto expected = expectedInstants(store, user, now);
        std::exit(expected.size() == 2000 && expected.front() >= now ? 0 : 1);
    };
    EXPECT_EXIT(boundedRun(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Rules, NeedsProgrammingRule) {
    addAlarm(dailyAlarm(makeTime(2026, 3, 1, 8, 0)));
    addAlarm(dailyAlarm(makeTime(2026, 3, 1, 20, 0)));
    user.alarm_table.setCapacity(500);
    ASSERT_TRUE(buildProgrammingTable(user, kNow));
    const auto programmed = user.alarm_table.items();
    ownReminder(4242, 1, programmed.back(), static_cast<int>(programmed.size()));
    rememberProgrammed(user, programmed, 600);

    EXPECT_FALSE(needsProgramming(store, user, 600, now));
    EXPECT_TRUE(needsProgramming(store, user, 1200, now)) << "window changed after programming";

    // More programmed instants than expected still agree when the expected lead.
    auto longer = programmed;
    longer.push_back(programmed.back() + 86400);
    rememberProgrammed(user, longer, 600);
    EXPECT_FALSE(needsProgramming(store, user, 600, now));

    // A changed alarm breaks the agreement.
    const Alarm evening = user.alarms[1];
    user.alarms[1].alarm_start.wHour = 21;
    user.alarms[1].alarm_end.wHour = 21;
    EXPECT_TRUE(needsProgramming(store, user, 600, now));
    user.alarms[1] = evening;

    // Nothing programmed ahead: must be programmed.
    rememberProgrammed(user, {}, 600);
    EXPECT_TRUE(needsProgramming(store, user, 600, now));
}

TEST_F(Rules, SelectingAUserPreparesWhatItsReminderHolds) {
    for (int h : {8, 20}) addAlarm(dailyAlarm(makeTime(2026, 3, 1, h, 0)));
    ownReminder(4242, 1, now + 40 * 86400, 500);
    const int other = store.insertProfile(true, "Olli", "", "", "");

    // A user whose flag is stored true: no expected instants (dropping the
    // previous user's is the store's test).
    ASSERT_TRUE(selectUserWithReminder(store, user, other, now));
    EXPECT_TRUE(user.programmed_instants.empty());
    EXPECT_TRUE(user.is_programming_needed);

    // A user whose flag is stored false: the expected instants, flag false
    // while the reminder's last alarm is far enough.
    ASSERT_TRUE(selectUserWithReminder(store, user, maija, now));
    EXPECT_EQ(user.id, maija);
    EXPECT_EQ(user.programmed_instants.size(), 80u);  // 10.3. 20:00 to 19.4. 08:00
    EXPECT_FALSE(user.is_programming_needed);

    // ... and true when it is within three weeks.
    ASSERT_TRUE(selectUserWithReminder(store, user, other, now));
    ownReminder(4242, 1, now + 20 * 86400, 500);
    ASSERT_TRUE(selectUserWithReminder(store, user, maija, now));
    EXPECT_TRUE(user.is_programming_needed);
}

// Storing a read-back log: whose it is, the questions and notices, and the
// merge into the history (a write that does not stick is the reminder flows').
namespace {

constexpr std::uint32_t kSn = 777001;

struct ReadBack : UserData {
    dialogtest::ScriptedHost person;  // answers from a script, remembers what it is shown
    AlarmTable table;
    int olli = 0;

    void SetUp() override {
        UserData::SetUp();
        olli = store.insertProfile(false, "Olli", "", "", "");
        ownReminder(kSn, now - 86400);
        table.programming_time = now - 86400;
        table.add(now - 7200);
        table.add(now - 3600);
        table.log_entries = {{0, now - 7200, now - 7100, kStatusAcknowledged},
                             {0, now - 3600, 0, kStatusForgottenAlt}};
    }
    ReadBackOutcome run(int owner, bool check = true, bool connected = true) {
        return storeReadBack(store, user, table, connected, kSn, owner, check, person, ResourceModule::builtIn());
    }
};

}  // namespace

TEST_F(ReadBack, WhoseReminderItIsDecidesAndAReminderWithoutOwnerAsks) {
    struct Case { int owner; bool answer; ReadBackOutcome outcome; std::size_t questions, rows; };
    for (const Case& c : {Case{olli, true, ReadBackOutcome::OwnerNotFound, 0, 0},
                          Case{-1, false, ReadBackOutcome::Dropped, 1, 0},
                          Case{0, true, ReadBackOutcome::Stored, 1, 2},
                          Case{maija, false, ReadBackOutcome::Stored, 0, 2}}) {
        person.questions.clear();
        person.answers = {c.answer};
        EXPECT_EQ(run(c.owner, c.owner > 0), c.outcome) << c.owner;
        ASSERT_EQ(person.questions.size(), c.questions) << c.owner;
        EXPECT_EQ(db.storedLog(maija).size(), c.rows) << c.owner;
        EXPECT_EQ(user.history.size(), c.rows) << c.owner;
        EXPECT_TRUE(db.storedLog(olli).empty()) << c.owner;
        if (c.owner == -1) {
            EXPECT_NE(person.questions[0].text.find("Maija Meikäläinen?"), Text::npos);
        }
    }
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(user.history[now - 7200].log_status, kStatusAcknowledged);
    EXPECT_EQ(user.history[now - 7200].ack, now - 7100);
    EXPECT_EQ(user.history[now - 3600].log_status, kStatusForgottenAlt);
}

TEST_F(ReadBack, ReminderProgrammedElsewhereBringsANotice) {
    table.programming_time = now - 5000;
    EXPECT_EQ(run(maija), ReadBackOutcome::Stored);
    EXPECT_EQ(person.takeMessageTexts(), std::vector<Text>{ResourceModule::builtIn().load(ids::kProgrammedElsewhere)});
    EXPECT_EQ(run(maija, false), ReadBackOutcome::Stored) << "no check asked for";
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(ReadBack, NothingHappensWithoutAReminderAUserOrEntries) {
    EXPECT_EQ(run(maija, true, false), ReadBackOutcome::NotConnected);
    const auto entries = table.log_entries;
    table.log_entries.clear();
    EXPECT_EQ(run(-1), ReadBackOutcome::NothingToStore);
    table.log_entries = entries;
    user.setProfile(Profile{});
    EXPECT_EQ(run(-1, false), ReadBackOutcome::NoCurrentUser);
    EXPECT_TRUE(db.storedLog(0).empty());
    EXPECT_TRUE(person.messages.empty() && person.questions.empty()) << "no question and no notice";
}

// The merge rules themselves are MergeLogEntries' test in the store tests;
// here every history entry is written, not only the merged ones.
TEST_F(ReadBack, TheWholeHistoryIsWritten) {
    user.history[now - 10800] = {now - 10800, 0, kStatusForgottenAlt};
    EXPECT_EQ(run(maija, false), ReadBackOutcome::Stored);
    EXPECT_EQ(db.storedLog(maija).size(), 3u);
}

// The programming report's text (its file is the report dialog's test).
namespace {

const std::string kSep(80, '-');

struct Report : UserData {
    const StringSource& strings = ResourceModule::builtIn();

    void SetUp() override {
        UserData::SetUp();
        user.connected_sn = 31337;
        ownReminder(31337, toTimeValue(makeTime(2026, 3, 10, 11, 58)),
                    toTimeValue(makeTime(2026, 6, 1, 20, 0)), 166);
    }
};

}  // namespace

TEST_F(Report, WholeTextWithGroupsInTheirOrder) {
    user.alarms = {single(makeTime(2026, 3, 20, 9, 30)),
                   dailyAlarm(makeTime(2026, 3, 2, 7, 15), false, makeTime(2026, 4, 27, 7, 15), 6),  // weekly
                   dailyAlarm(makeTime(2026, 3, 1, 8, 0)),
                   dailyAlarm(makeTime(2026, 3, 3, 12, 0), false, makeTime(2026, 4, 3, 12, 0), 7),  // the pouch
                   dailyAlarm(makeTime(2026, 3, 1, 20, 0), false, makeTime(2026, 5, 31, 20, 0))};

    const Text closing = strings.load(ids::kSafetyInstructions);
    const Text expected =
        "\n" + kSep + "\n" +
        "Nimi:\t\tMaija Meikäläinen\t\t\n"
        "Puhelinnumero:\t040 765 4321" +
        "\n" + kSep + "\n\n" +
        "Hälytykset\n\n"
        "Ohjelmointiaika:              \t10.03.2026 11:58\n"
        "Viimeinen hälytys laitteessa: \t01.06.2026 20:00\n"
        "\n\n"
        "Joka päivä:\n\n"
        "08:00\t01.03.2026 - 01.06.2026\n"
        "20:00\t01.03.2026 - 31.05.2026\n"
        "\n\n"
        "Joka viikko:\n\n"
        "07:15\t02.03.2026 - 27.04.2026\n"
        "\n\n"
        "Yksittäinen:\n\n"
        "09:30\t20.03.2026\n"
        "\n\n" +
        kSep + "\n" + closing;
    EXPECT_EQ(buildReport(store, user, strings), expected);
    EXPECT_EQ(reportDirectory(store), dir);
}

TEST_F(Report, LongLabelNoPhoneNoAlarmsAndUnknownReminder) {
    struct LongLabels : StringSource {
        Text load(int id) const override {
            return id == ids::kReportProgrammingTime ? "Ohjelmointiaika, päivämäärä ja kellonaika"
                               : ResourceModule::builtIn().load(id);
        }
    } longLabels;
    Text r = buildReport(store, user, longLabels);
    EXPECT_NE(r.find("\nOhjelmointiaika, päivämäärä ja kellonaika:\t10.03.2026 11:58\n"), Text::npos)
        << "a long label is written in full before the tab";
    user.phone.clear();
    user.connected_sn = 0;  // no record: the programming time is instant 0
    r = buildReport(store, user, strings);
    EXPECT_NE(r.find("Puhelinnumero:\t\n" + kSep), Text::npos);
    EXPECT_NE(r.find("Ohjelmointiaika:              \t01.01.1970 02:00\n"), Text::npos);
    EXPECT_NE(r.find("laitteessa: \t01.06.2026 20:00\n\n\n" + kSep + "\n"), Text::npos) << "no groups at all";
}

