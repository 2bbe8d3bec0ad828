// The alarm dialog's field rules and checks, and the add, edit and delete
// flows on a real database in a temporary directory.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/schedule.h"
#include "core/text.h"
#include "ui/logic/dialog_test_support.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "store/database.h"
#include "ui/logic/calendar/alarm_dlg_logic.h"
#include "ui/logic/calendar/alarm_edit_flow.h"
#include "ui/logic/calendar/delete_dose_dlg_logic.h"

namespace velmora {
namespace {

using dialogtest::dailyAlarm;
using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;
using Dlg = AlarmDlgLogic;
using Fill = std::function<void(Dlg&)>;

const StringSource& fi() { return ResourceModule::builtIn(); }
constexpr SYSTEMTIME kNow = makeTime(2026, 3, 2, 9, 0);  // Monday

// A day's date or a time of day, as the pickers hold them.
std::optional<SYSTEMTIME> date(int month, int day) { return makeTime(2026, month, day); }
std::optional<SYSTEMTIME> time(int hour, int minute) { return makeTime(0, 0, 0, hour, minute); }

// A dose pouch every other week from 3 March, 08:00.
Alarm pouchAlarm() {
    Alarm a = dailyAlarm(makeTime(2026, 3, 3, 8, 0), true, {}, 7);
    a.alarm_type = 1;
    return a;
}

// Starts the dialog's alarm on the clock's day (2 March).
void today(Dlg& d, int hour, int minute) {
    d.setStartDate(date(3, 2));
    d.setStartTime(time(hour, minute));
}

TEST(AlarmDlg, ChecksOnOkInOrderAndShowsTheFirstFailure) {
    const Alarm daily1010 = dailyAlarm(makeTime(2026, 3, 1, 10, 10));
    const Alarm daily4th = dailyAlarm(makeTime(2026, 3, 4, 10, 0));
    struct Row {
        const char* what;
        int second;  // of the clock, at 09:00
        std::vector<Alarm> others;
        Fill fill;
        int refusal;  // 0: accepted
    } rows[] = {
        {"as set up", 0, {}, [](Dlg&) {}, 0},
        {"no start date, end before start", 0, {}, [](Dlg& d) { d.setStartDate({}); d.setEndDate(date(3, 1)); },
         ids::kStartInvalid},
        {"one minute in the past, no end", 0, {}, [](Dlg& d) { today(d, 8, 59); d.setEndTime({}); },
         ids::kAlarmInPast},
        {"the current minute at second 0", 0, {}, [](Dlg& d) { today(d, 9, 0); }, 0},
        {"the current minute at second 1", 1, {}, [](Dlg& d) { today(d, 9, 0); }, ids::kAlarmInPast},
        {"no end time", 0, {}, [](Dlg& d) { d.setEndTime({}); }, ids::kEndInvalid},
        {"no end time, repeats forever", 0, {}, [](Dlg& d) { d.setEndTime({}); d.setRepeatsForever(true); }, 0},
        {"end a day before start", 0, {}, [](Dlg& d) { d.setEndDate(date(3, 3)); }, ids::kEndEarlierThanStart},
        {"end equal to start", 0, {}, [](Dlg& d) { d.setEndDate(date(3, 4)); }, 0},
        {"single, end pickers ignored", 0, {}, [](Dlg& d) { d.chooseRepeat(0); d.setEndDate(date(3, 3)); }, 0},
        {"10 minutes from another alarm", 0, {daily1010}, [](Dlg&) {}, ids::kAlarmsTooClose},
        {"end at the last minute a TimeValue holds", 0, {},
         [](Dlg& d) { d.setEndDate(makeTime(2038, 1, 19)); d.setEndTime(time(5, 14)); }, 0},
        {"end a minute later", 0, {}, [](Dlg& d) { d.setEndDate(makeTime(2038, 1, 19)); d.setEndTime(time(5, 15)); },
         ids::kTimePastLastInstant},
        {"forever, end pickers past it ignored", 0, {},
         [](Dlg& d) { d.setEndDate(makeTime(2040, 1, 1)); d.setRepeatsForever(true); }, 0},
        {"forever, start past it", 0, {},
         [](Dlg& d) { d.setStartDate(makeTime(2038, 1, 20)); d.setRepeatsForever(true); }, ids::kTimePastLastInstant},
        {"the same time and repetition as another", 0, {daily4th}, [](Dlg&) {}, ids::kAlarmAlreadyExists},
        {"the same time, repeated otherwise", 0, {daily4th}, [](Dlg& d) { d.chooseRepeat(2); }, 0},
        {"a description the database cannot hold", 0, {}, [](Dlg& d) { d.description = "Łyżka"; },
         ids::kUnstorableCharacters},
    };
    const DaylightTable noDaylightSaving;  // the dialog keeps a reference
    for (const Row& row : rows) {
        ScriptedHost person;
        FixedClock clock(makeTime(2026, 3, 2, 9, 0, row.second));
        Dlg::Setup s{true, makeTime(2026, 3, 4, 10, 0), makeTime(2026, 3, 20, 10, 0), 1, false, 600, ""};
        Dlg dlg(s, row.others, fi(), person, clock, noDaylightSaving);
        row.fill(dlg);
        const int result = dlg.accept();
        EXPECT_EQ(result, row.refusal ? 0 : kIdOk) << row.what;
        const Text refusal = row.refusal ? fi().load(row.refusal) : Text();
        EXPECT_EQ(person.messages.empty() ? Text() : person.messages.front().text,
                  row.refusal == ids::kUnstorableCharacters  ? fillPlaceholder(refusal, "Ł ż")
                  : row.refusal == ids::kTimePastLastInstant ? fillPlaceholder(refusal, "19.01.2038 05:14")
                                                             : refusal)
            << row.what;
        if (result == kIdOk && dlg.repeatPattern() == 0) {
            EXPECT_EQ(dlg.result().alarm_end, dlg.result().alarm_start) << row.what;
        }
    }
}

TEST(AlarmDlg, RepeatAndToistaiseksiDecideWhatIsEnabled) {
    struct Row {
        const char* what;
        int pattern;
        bool forever;
        Fill fill;
        int selection;
        bool repeatsForever, foreverEnabled, endEnabled;
    } rows[] = {
        {"new alarm", 1, true, [](Dlg&) {}, 1, true, true, false},
        {"opens single", 0, true, [](Dlg&) {}, 0, false, false, false},
        {"opens with an end", 2, false, [](Dlg&) {}, 2, false, true, true},
        {"pouch every other week", 7, true, [](Dlg&) {}, -1, true, true, false},
        {"single chosen", 1, true, [](Dlg& d) { d.chooseRepeat(0); }, 0, false, false, false},
        {"weekly chosen", 2, false, [](Dlg& d) { d.chooseRepeat(6); }, 6, true, true, false},
        {"unchecked", 1, true, [](Dlg& d) { d.setRepeatsForever(false); }, 1, false, true, true},
        {"checked while single", 0, false, [](Dlg& d) { d.setRepeatsForever(true); }, 0, false, false, false},
    };
    ScriptedHost person;
    FixedClock clock(kNow);
    for (const Row& row : rows) {
        Dlg dlg({false, kNow, kNow, row.pattern, row.forever, 600, ""}, {}, fi(), person, clock, {});
        row.fill(dlg);
        EXPECT_EQ(dlg.repeatSelection(), row.selection) << row.what;
        EXPECT_EQ(dlg.repeatsForever(), row.repeatsForever) << row.what;
        EXPECT_EQ(dlg.foreverEnabled(), row.foreverEnabled) << row.what;
        EXPECT_EQ(dlg.endEnabled(), row.endEnabled) << row.what;
    }
    Dlg dlg({false, makeTime(2026, 3, 4, 10, 0), makeTime(2026, 3, 9, 11, 0), 1, false, 600, ""}, {},
            fi(), person, clock, {});
    dlg.setEndTime(time(11, 0));
    dlg.setStartTime(time(10, 30));
    dlg.setStartDate(date(3, 10));
    EXPECT_EQ(dlg.endTime(), time(11, 0)) << "a later end time stays";
    EXPECT_EQ(dlg.endDate(), date(3, 10)) << "an earlier end date follows";
    dlg.setStartTime(time(12, 0));
    EXPECT_EQ(dlg.endTime(), time(12, 0)) << "an earlier end time follows";
}

class AlarmFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = db.addUser("Aino", "1");
        db.store().selectUser(db.user, owner, clock.nowValue(), {});
    }
    AlarmEditContext context() {
        return {db.store(), host, fi(), clock, db.user, [] { return kDefaultWindowSeconds; }, [this] { ++changes; }};
    }
    // Makes `a` the owner's only alarm.
    void given(Alarm a) {
        db.store().deleteAlarmsOfOwner(owner);
        db.store().saveAlarm(a, owner);
        db.user.alarms = db.storedAlarms(owner);
    }
    // The person changes the alarm dialog's fields with `fill` and presses
    // OK; asked which doses to delete, picks `deleteChoice` (none: Cancel).
    void dialogFilledWith(Fill fill) {
        host.onDialog = [this, fill](DialogModel& m) {
            if (auto* which = dynamic_cast<DeleteDoseDlgLogic*>(&m)) {
                if (!deleteChoice) return kIdCancel;
                which->choice = *deleteChoice;
                return kIdOk;
            }
            auto& dlg = dynamic_cast<Dlg&>(m);
            fill(dlg);
            return dlg.accept();
        };
    }
    // The stored occurrences of 3 March to 30 April as "day.month hh:mm".
    std::vector<Text> occurrences() {
        const std::vector<Alarm> alarms = db.storedAlarms(owner);
        std::vector<AlarmOccurrence> out;
        expandOccurrences(alarms, makeTime(2026, 3, 3), makeTime(2026, 4, 30, 23, 59), out, db.user.daylight);
        std::vector<Text> texts;
        for (const AlarmOccurrence& o : out) {
            const Text day = formatDateShort(o.time);
            texts.push_back(day.substr(0, day.rfind('.')) + " " + formatTimeOfDay(o.time));
        }
        return texts;
    }

    TempDatabase db;
    ScriptedHost host;
    FixedClock clock{kNow};
    AlarmEditFlow flow{context()};
    int owner = 0;
    int changes = 0;
    std::optional<DoseDeletion> deleteChoice = DoseDeletion::ThisDose;
};

TEST_F(AlarmFlowTest, AddStoresANewAlarmWithQuotesForApostrophes) {
    dialogFilledWith([](Dlg& d) { d.description = "Ota 'Burana' ruoan kanssa"; });
    flow.add(makeTime(2026, 3, 3, 8, 0));
    ASSERT_EQ(db.user.alarms.size(), 1u) << "the user's list is reloaded";
    EXPECT_EQ(db.storedAlarms(owner).at(0).description, "Ota \"Burana\" ruoan kanssa");
    EXPECT_EQ(db.storedAlarms(owner).at(0).title, "Hälytys");
    EXPECT_EQ(changes, 1);
}

TEST_F(AlarmFlowTest, DeletingAnOccurrenceTakesTheDosesThePersonChose) {
    using enum DoseDeletion;
    const Alarm daily3to6 = dailyAlarm(makeTime(2026, 3, 3, 8, 0), false, makeTime(2026, 3, 6, 8, 0));
    const Alarm every2nd = dailyAlarm(makeTime(2026, 3, 3, 8, 0), false, makeTime(2026, 3, 9, 8, 0), 2);
    struct Row {
        const char* what;
        Alarm alarm;
        SYSTEMTIME occurrence;
        std::optional<DoseDeletion> choice;  // none: Cancel
        std::vector<Text> left;
    } rows[] = {
        {"first day, only it", daily3to6, makeTime(2026, 3, 3, 8, 0), ThisDose, {"4.3 08:00", "5.3 08:00", "6.3 08:00"}},
        {"later day, only it", daily3to6, makeTime(2026, 3, 5, 8, 0), ThisDose, {"3.3 08:00", "4.3 08:00", "6.3 08:00"}},
        {"last day, only it", daily3to6, makeTime(2026, 3, 6, 8, 0), ThisDose, {"3.3 08:00", "4.3 08:00", "5.3 08:00"}},
        {"every other day, only it", every2nd, makeTime(2026, 3, 5, 8, 0), ThisDose, {"3.3 08:00", "7.3 08:00", "9.3 08:00"}},
        {"later day and after", daily3to6, makeTime(2026, 3, 5, 8, 0), ThisAndLater, {"3.3 08:00", "4.3 08:00"}},
        {"whole series", daily3to6, makeTime(2026, 3, 5, 8, 0), WholeSeries, {}},
        {"cancelled", daily3to6, makeTime(2026, 3, 5, 8, 0), std::nullopt,
         {"3.3 08:00", "4.3 08:00", "5.3 08:00", "6.3 08:00"}},
        {"the day summer time starts and after", dailyAlarm(makeTime(2026, 3, 27, 8, 0)),
         makeTime(2026, 3, 29, 8, 0), ThisAndLater, {"27.3 08:00", "28.3 08:00"}},
    };
    dialogFilledWith([](Dlg&) {});
    for (const Row& row : rows) {
        given(row.alarm);
        deleteChoice = row.choice;
        flow.remove(row.occurrence, db.user.alarms.at(0));
        EXPECT_EQ(occurrences(), row.left) << row.what;
    }
    EXPECT_EQ(changes, 7);
    EXPECT_TRUE(host.questions.empty()) << "a repeating alarm is asked about in the dialog";

    // Forever, only one dose: the rest goes on for ever.
    given(dailyAlarm(makeTime(2026, 3, 3, 8, 0)));
    deleteChoice = ThisDose;
    flow.remove(makeTime(2026, 3, 4, 8, 0), db.user.alarms.at(0));
    EXPECT_EQ(occurrences().size(), 58u);  // 3 March to 30 April but 4 March
    EXPECT_EQ(occurrences().at(1), "5.3 08:00");

    // A single alarm: a Yes/No question whose default is No.
    given(dailyAlarm(makeTime(2026, 3, 4, 8, 0), false, {}, 0));
    host.answers = {true};
    flow.remove(makeTime(2026, 3, 4, 8, 0), db.user.alarms.at(0));
    EXPECT_TRUE(occurrences().empty());
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_TRUE(host.questions.back().defaultNo) << "Enter keeps the alarm";
}

// One dose moved from 08:00 to 08:30: a pouch dose alone (the pouch goes
// on at 08:00), a hand-made series from that day on; never two alarms for
// one dose.
TEST_F(AlarmFlowTest, EditingOneDoseLeavesOneAlarmPerIntendedDose) {
    struct Row {
        const char* what;
        int pattern, type, editedDay;  // days after 3 March
        bool laterFollow;
    } rows[] = {{"pouch dose", 7, 1, 14, false}, {"daily dose", 1, 0, 2, true}, {"weekly dose", 6, 0, 7, true}};
    for (const Row& row : rows) {
        Alarm a = dailyAlarm(makeTime(2026, 3, 3, 8, 0), true, {}, row.pattern);
        a.alarm_type = row.type;
        given(a);
        host.answers = {true};
        dialogFilledWith([](Dlg& d) { d.setStartTime(time(8, 30)); });
        flow.edit(addDays(makeTime(2026, 3, 3, 8, 0), row.editedDay), db.user.alarms.at(0));
        std::vector<Text> intended;
        for (int day = 0; day < 59; day += stepDays(row.pattern)) {
            const bool moved = day == row.editedDay || (day > row.editedDay && row.laterFollow);
            const Text date = formatDateShort(addDays(makeTime(2026, 3, 3), day));
            intended.push_back(date.substr(0, date.rfind('.')) + (moved ? " 08:30" : " 08:00"));
        }
        EXPECT_EQ(occurrences(), intended) << row.what;
    }
}

TEST_F(AlarmFlowTest, APouchDoseEditedOrDeletedLeavesOneContinuationTwoWeeksOn) {
    Alarm pouch = pouchAlarm();
    pouch.description = "Annospussi";
    const std::vector<Text> later = {"31.3 08:00", "14.4 08:00", "28.4 08:00"};  // across summer time
    for (bool edit : {true, false}) {
        given(pouch);
        host.answers = {true};
        dialogFilledWith([](Dlg& d) { d.chooseRepeat(0); d.setStartTime(time(9, 30)); });
        if (edit) flow.edit(makeTime(2026, 3, 17, 8, 0), db.user.alarms.at(0));
        else flow.remove(makeTime(2026, 3, 17, 8, 0), db.user.alarms.at(0));
        std::vector<Text> expected = {"3.3 08:00"};
        if (edit) expected.push_back("17.3 09:30");
        expected.insert(expected.end(), later.begin(), later.end());
        EXPECT_EQ(occurrences(), expected) << (edit ? "edit" : "delete");
        int continuations = 0;
        for (const Alarm& a : db.storedAlarms(owner))
            continuations += toTimeValue(a.alarm_start) == toTimeValue(makeTime(2026, 3, 31, 8, 0)) && a.repeat_pattern == 7 &&
                             a.alarm_type == 1 && a.repeat_forever && a.description == "Annospussi";
        EXPECT_EQ(continuations, 1);
    }
    host.answers = {false};
    host.dialogs.clear();
    flow.edit(makeTime(2026, 3, 31, 8, 0), db.user.alarms.at(0));
    EXPECT_TRUE(host.dialogs.empty()) << "No to the pouch question opens no dialog";
}

TEST_F(AlarmFlowTest, ARefusedWriteChangesNothingAndIsReported) {
    given(pouchAlarm());
    Database raw(db.store().databasePath().string());
    ASSERT_EQ(raw.execute("CREATE TRIGGER refuse BEFORE INSERT ON Alarms BEGIN SELECT RAISE(ABORT, 'full'); END;"),
              kSqliteOk);
    const std::vector<Text> before = occurrences();
    dialogFilledWith([](Dlg&) {});
    const std::function<void()> requests[] = {
        [&] { flow.add(makeTime(2026, 3, 3, 12, 0)); },
        [&] { flow.edit(makeTime(2026, 3, 17, 8, 0), db.user.alarms.at(0)); },
        [&] { flow.remove(makeTime(2026, 3, 17, 8, 0), db.user.alarms.at(0)); },
    };
    for (const auto& request : requests) {
        host.answers = {true};
        request();
        EXPECT_EQ(occurrences(), before);
        EXPECT_EQ(host.takeMessageTexts(), std::vector<Text>{fi().load(ids::kOperationFailed)});
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(AlarmFlowTest, TheAlarmGoesToTheUserTheDialogWasOpenedFor) {
    const int other = db.addUser("Bertta", "2");
    dialogFilledWith([&](Dlg&) { db.store().selectUser(db.user, other, clock.nowValue(), {}); });
    flow.add(makeTime(2026, 3, 3, 8, 0));
    EXPECT_EQ(db.storedAlarms(owner).size(), 1u);
    EXPECT_TRUE(db.storedAlarms(other).empty());
    EXPECT_TRUE(db.user.alarms.empty());
    EXPECT_TRUE(db.storedProfile(owner).is_programming_needed) << "its reminder no longer holds its alarms";
}

}  // namespace
}  // namespace velmora
