// The main window's logic on a real database in a temporary directory,
// with a scripted person in front of it.
#include <gtest/gtest.h>

#include <memory>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/text.h"
#include "ui/logic/dialog_test_support.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "store/database.h"
#include "store/legacy_import.h"
#include "store/record_store.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reports/report_commands.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/users/user_management.h"

namespace velmora {
namespace {

class RecordingView : public MainDlgView {
public:
    void dateChanged(const SYSTEMTIME& d) override { dates.push_back(d); }
    void refreshViews(bool includeMonth) override { refreshes.push_back(includeMonth); }
    void selectTab(int) override {}
    void focusCalendar(int tab) override { focused.push_back(tab); }
    void closeRequested(int code) override { closes.push_back(code); }
    void endDeviceDialog() override { ++deviceDialogEnds; }

    std::vector<SYSTEMTIME> dates;
    std::vector<bool> refreshes;
    std::vector<int> closes, focused;
    int deviceDialogEnds = 0;
};

// Monday 2 March 2026, 09:00 local time (the temporary database's start).
constexpr SYSTEMTIME kNow = makeTime(2026, 3, 2, 9, 0);

// A daily alarm from 3 March on.
Alarm dailyAlarm(int hour, int minute) { return dialogtest::dailyAlarm(makeTime(2026, 3, 3, hour, minute)); }

class MainDlgTest : public ::testing::Test {
protected:
    // Opens the window (the database is created on the first start) with
    // its user management and alarm time reports.
    MainDlgLogic& open() {
        main_ = std::make_unique<MainDlgLogic>(store(), db_.dir(), strings_, host_, clock_);
        users_ = std::make_unique<UserManagementCommand>(UserManagementContext{
            main_->user(), store(), strings_, host_, clock_, service_, *main_, alarmTablePreparer(store()), {}});
        const ReportContext reports{main_->user(), store(), strings_, host_};
        report_ = std::make_unique<AlarmReportCommand>(reports);
        storedReport_ = std::make_unique<StoredAlarmReportCommand>(reports, false);
        main_->setCommand(MainDlgLogic::kIdChooseUser, users_.get());
        main_->setCommand(cmd::kUserManagement, users_.get());
        main_->setCommand(cmd::kPrintAlarmReport, report_.get());
        main_->setCommand(cmd::kPrintAlarmReportOnPaper, storedReport_.get());
        main_->setView(&view_);
        main_->initialise();
        return *main_;
    }
    // Opens the window and chooses the stored user `name`.
    MainDlgLogic& openAs(const Text& name) {
        open();
        chooseUser(name);
        return *main_;
    }
    RecordStore& store() { return db_.store(); }

    // Ties a reminder programmed now, last alarm 1 May 08:00, to the user.
    void giveProgrammedReminder(int id) {
        store().saveDevice({4711, DeviceRecord::kOwn, toTimeValue(kNow), toTimeValue(makeTime(2026, 5, 1, 8, 0)), 60}, id);
    }

    // Chooses the user `name` in user management as a person would.
    void chooseUser(const Text& name) {
        host_.onDialog = [name](DialogModel& d) {
            auto& dlg = dynamic_cast<ProfileDlgLogic&>(d);
            for (int i = 0; i < dlg.count(); ++i) {
                if (dlg.profileAt(i).name == name) dlg.select(i);
            }
            return dlg.choose();
        };
        main_->command(MainDlgLogic::kIdChooseUser);
        host_.onDialog = nullptr;
    }

    Text text(int id) const { return strings_.load(id); }

    dialogtest::TempDatabase db_;
    const ResourceModule& strings_ = ResourceModule::builtIn();
    dialogtest::ScriptedHost host_;
    FixedClock clock_{kNow};
    RecordingView view_;
    ServiceAccess service_;
    std::unique_ptr<MainDlgLogic> main_;
    std::unique_ptr<UserManagementCommand> users_;
    std::unique_ptr<AlarmReportCommand> report_;
    std::unique_ptr<StoredAlarmReportCommand> storedReport_;
};

TEST_F(MainDlgTest, OpensWithoutUserAndWithoutReminder) {
    MainDlgLogic& m = open();
    EXPECT_EQ(m.panel().name, "-");
    EXPECT_EQ(m.panel().lastAlarm, "-");
    EXPECT_FALSE(m.panel().windowListEnabled);
    const auto& c = m.commands();
    EXPECT_FALSE(c.program || c.emptyReminder || c.closeUser || c.showHistory || c.alarmReport);
    EXPECT_FALSE(c.userEdits) << "nothing typed without a user is lost";
    EXPECT_EQ(m.dateText(), "2.3.2026");
}

TEST_F(MainDlgTest, TheLanguageMenuKeepsTheChoiceForTheNextStart) {
    MainDlgLogic& m = open();
    const std::filesystem::path conf = db_.dir() / "config" / "velmora" / "velmora.conf";
    struct Row {
        std::filesystem::path file, overriddenBy;
        int command;
        Text message;
        const char* stored;  // the language in the file afterwards
    } rows[] = {
        {conf, {}, cmd::kLanguageEnglish, text(ids::kLanguageAtNextStart), "en"},
        {conf, "/opt/VelmoraLang.txt", cmd::kLanguageFinnish,
         text(ids::kLanguageAtNextStart) + "\n" + fillPlaceholder(text(ids::kLanguageOverridden), "/opt/VelmoraLang.txt"), "fi"},
        {{}, {}, cmd::kLanguageEnglish, fillPlaceholder(text(ids::kLanguageSaveFailed), "") + "\nHOME is not set", "fi"},
    };
    for (const Row& row : rows) {
        m.setConfigurationFile(row.file, row.overriddenBy);
        EXPECT_TRUE(m.command(row.command));
        EXPECT_EQ(host_.takeMessageTexts(), std::vector<Text>{row.message});
        EXPECT_EQ(chosenLanguage(conf), row.stored);
    }
}

// Never programmed: must be programmed; no alarms; programmed: green.
TEST_F(MainDlgTest, ChosenUserFillsThePanel) {
    db_.addUser("Bertta", "020202-0202", {dailyAlarm(8, 0)});
    db_.addUser("Aino", "010101-0101");
    const int cecilia = db_.addUser("Cecilia", "030303-0303", {dailyAlarm(8, 0)});
    giveProgrammedReminder(cecilia);
    store().saveReport(cecilia, "Hälytysajat");
    using C = UserPanel::StatusColour;
    struct Case {
        const char* name;
        int status;
        C colour;
        const char* lastAlarm;
        bool reportStored;  // 40370 and 40371 enabled
    } cases[] = {{"Bertta", ids::kNeedsProgramming, C::Red, "-", false},
                 {"Aino", ids::kNoAlarms, C::Red, "-", false},
                 {"Cecilia", ids::kNoProgrammingNeeded, C::Green, "01.05.2026 08:00", true}};
    MainDlgLogic& m = open();
    for (const Case& c : cases) {
        chooseUser(c.name);
        EXPECT_EQ(m.panel().name, c.name);
        EXPECT_EQ(m.panel().status, text(c.status)) << c.name;
        EXPECT_EQ(m.panel().statusColour, c.colour) << c.name;
        EXPECT_EQ(m.panel().lastAlarm, c.lastAlarm) << c.name;
        EXPECT_TRUE(m.commands().closeUser && m.commands().showHistory && m.commands().alarmReport &&
                    m.commands().userEdits);
        EXPECT_EQ(m.commands().alarmReportStored, c.reportStored) << c.name;
    }
}

TEST_F(MainDlgTest, ChoosingByIdAsTheWorkListDoesSelectsOrTellsAndTheWatcherHears) {
    const int cecilia = db_.addUser("Cecilia", "030303-0303", {dailyAlarm(8, 0)});
    MainDlgLogic& m = open();
    int told = 0;
    m.setRecordsWatcher([&told] { ++told; });
    const UserManagementContext users{{m.user(), store(), strings_, host_, clock_, service_, m}, alarmTablePreparer(store()), {}};
    // A user gone from the database is not chosen: the person is told.
    for (const auto& [id, messages] : {std::pair{cecilia, std::vector<Text>{}}, {cecilia + 1, {text(ids::kOperationFailed)}}}) {
        EXPECT_EQ(velmora::chooseUser(users, id), messages.empty());
        EXPECT_EQ(m.panel().name, "Cecilia");
        EXPECT_EQ(host_.takeMessageTexts(), messages);
    }
    m.setProgrammingInProgress(true);
    m.setProgrammingInProgress(false);
    EXPECT_EQ(told, 3);  // two choices and a programming ended
}

// An index outside the list (none chosen) stands for the default window.
TEST_F(MainDlgTest, WindowSecondsOutsideTheListAreTheDefault) {
    for (int index : {-1, 10}) EXPECT_EQ(MainDlgLogic::windowSecondsAt(index), 600) << index;
}

// Two daily alarms 45 minutes apart: a 40-minute window fits and is stored
// at once; 60 does not, and only Yes empties the calendar to take it.
TEST_F(MainDlgTest, AFittingWindowIsStoredAtOnceAConflictingOneAsksFirst) {
    const int id = db_.addUser("Aino", "1", {dailyAlarm(8, 0), dailyAlarm(8, 45)});
    MainDlgLogic& m = openAs("Aino");
    m.programTypeClicked(MainDlgLogic::kIdTypeForgotten, true);
    m.windowSelected(2);  // 40 minutes: 2400 + 300 = 2700 s = 45 min, fits
    EXPECT_EQ(m.panel().windowIndex, 2);
    EXPECT_EQ(db_.storedProfile(id).window, 2400) << "a program ending now keeps it";

    host_.answers = {false, true};
    m.windowSelected(3);  // 60 minutes, answered No
    ASSERT_EQ(host_.questions.size(), 1u);
    EXPECT_EQ(host_.questions[0].text, text(ids::kWindowDoesNotFit));
    EXPECT_TRUE(host_.questions[0].defaultNo) << "Enter keeps the calendar";
    EXPECT_EQ(m.panel().windowIndex, 2);
    EXPECT_EQ(db_.storedAlarms(id).size(), 2u);
    EXPECT_EQ(m.user().alarms.size(), 2u);

    view_.refreshes.clear();
    m.windowSelected(3);  // answered Yes
    EXPECT_TRUE(db_.storedAlarms(id).empty());
    EXPECT_TRUE(m.user().alarms.empty());
    EXPECT_EQ(m.panel().windowIndex, 2) << "the stored window is shown";
    ASSERT_FALSE(view_.refreshes.empty());
    EXPECT_TRUE(view_.refreshes.back()) << "the month view is reloaded";

    // Now the calendar is empty, so the new size is taken without a question.
    m.windowSelected(3);
    EXPECT_EQ(host_.questions.size(), 2u);
    EXPECT_EQ(m.panel().windowIndex, 3);
    m.command(cmd::kCloseUser);
    EXPECT_EQ(db_.storedProfile(id).window, 3600);
    EXPECT_EQ(db_.storedProfile(id).program_type, 1);
}

TEST_F(MainDlgTest, UnlistedStoredWindowShowsTheFirstEntryAndIntakeResetsIt) {
    db_.addUser("Aino", "1", {}, 900, 1);
    MainDlgLogic& m = openAs("Aino");
    EXPECT_TRUE(m.panel().forgottenChecked);
    EXPECT_FALSE(m.panel().intakeChecked);
    EXPECT_TRUE(m.panel().windowListEnabled);
    EXPECT_EQ(m.panel().windowIndex, 0);

    m.windowSelected(4);  // no alarms: taken without a question
    EXPECT_EQ(m.panel().windowIndex, 4);
    m.programTypeClicked(MainDlgLogic::kIdTypeIntake, false);  // unchecked: ignored
    EXPECT_TRUE(m.panel().forgottenChecked);
    m.programTypeClicked(MainDlgLogic::kIdTypeIntake, true);
    EXPECT_TRUE(m.panel().intakeChecked);
    EXPECT_FALSE(m.panel().forgottenChecked);
    EXPECT_FALSE(m.panel().windowListEnabled);
    EXPECT_EQ(m.panel().windowIndex, 0);
    EXPECT_EQ(m.panelWindowSeconds(), 600);
}

TEST_F(MainDlgTest, NavigationStepFollowsTheVisibleTab) {
    using M = MainDlgLogic;
    MainDlgLogic& m = open();
    const Text monthKeys = "\n" + text(ids::kMonthPageKeysTip);
    const struct Step {
        int tab, command;
        const char* date;
        Text previousTip, nextTip;
    } steps[] = {
        {M::kTabDay, M::kIdNext, "3.3.2026", text(ids::kPreviousDayTip), text(ids::kNextDayTip)},
        {M::kTabWeek, M::kIdNext, "10.3.2026", text(ids::kPreviousWeekTip), text(ids::kNextWeekTip)},
        {M::kTabMonth, M::kIdPrevious, "3.3.2026", text(ids::kPreviousWeekTip) + monthKeys,
         text(ids::kNextWeekTip) + monthKeys},
        {M::kTabComments, M::kIdNext, "4.3.2026", text(ids::kPreviousDayTip), text(ids::kNextDayTip)}};
    for (const Step& s : steps) {
        m.tabChanged(s.tab);
        m.command(s.command);
        EXPECT_EQ(m.dateText(), s.date) << s.tab;
        EXPECT_EQ(m.tooltipText(M::kIdPrevious), s.previousTip) << s.tab;
        EXPECT_EQ(m.tooltipText(M::kIdNext), s.nextTip) << s.tab;
    }
    EXPECT_EQ(m.currentDate().wHour, 9) << "the time of day is kept";

    clock_.set(makeTime(2026, 12, 31, 23, 30));
    m.command(MainDlgLogic::kIdToday);
    m.command(MainDlgLogic::kIdNext);
    EXPECT_EQ(m.dateText(), "1.1.2027");
    EXPECT_EQ(view_.dates.back().wDayOfWeek, 5) << "1 January 2027 is a Friday";
}

TEST_F(MainDlgTest, TheViewMenuGivesTheKeysToTheCalendarShownOrTheWeek) {
    using M = MainDlgLogic;
    MainDlgLogic& m = open();
    const struct Step { int tab, command, focused; } steps[] = {{M::kTabDay, cmd::kViewPlanner, M::kTabDay},     {M::kTabWeek, cmd::kViewPlanner, M::kTabWeek},
                 {M::kTabMonth, cmd::kViewPlanner, M::kTabWeek},  {M::kTabComments, cmd::kViewPlanner, M::kTabWeek},
                 {M::kTabDay, cmd::kViewMonth, M::kTabMonth}};
    for (const Step& s : steps) {
        m.tabChanged(s.tab);
        view_.focused.clear();
        EXPECT_TRUE(m.commandEnabled(s.command));
        m.command(s.command);
        EXPECT_EQ(view_.focused, std::vector<int>{s.focused}) << s.tab << " " << s.command;
    }
}

// Choosing and closing a user reload the month view; a plain refresh does not.
TEST_F(MainDlgTest, MonthViewReloadsOnlyWhenStale) {
    db_.addUser("Aino", "1");
    MainDlgLogic& m = open();
    EXPECT_TRUE(view_.refreshes.back()) << "the window opens with the month view loaded";
    view_.refreshes.clear();
    m.refresh();
    chooseUser("Aino");
    m.refresh();
    m.command(cmd::kCloseUser);
    EXPECT_EQ(view_.refreshes, (std::vector<bool>{false, true, false, true}));
}

// Alarm editing that changes the alarms and perhaps reloads the month view.
class ChangingAlarms : public AlarmRequests {
public:
    explicit ChangingAlarms(MainDlgLogic& main) : main(main), window(main) {}
    void add(const SYSTEMTIME&) override {}
    void edit(const SYSTEMTIME&, const Alarm&) override {}
    void remove(const SYSTEMTIME&, const Alarm&) override {
        if (change) main.user().alarms.pop_back();
        if (reloadsMonth) window.usersChanged();
    }
    MainDlgLogic& main;
    WindowNotices& window;
    bool change = true;
    bool reloadsMonth = false;
};

TEST_F(MainDlgTest, AnAlarmChangeReloadsTheMonthViewOnce) {
    db_.addUser("Aino", "1", {dailyAlarm(8, 0), dailyAlarm(20, 0)});
    MainDlgLogic& m = openAs("Aino");
    ChangingAlarms flows(m);
    m.setAlarmRequests(&flows);
    struct Case {
        bool change, reloadsMonth;
        std::vector<bool> refreshes;
    } cases[] = {{true, false, {true}}, {true, true, {true}}, {false, false, {}}};
    for (const Case& c : cases) {
        flows.change = c.change;
        flows.reloadsMonth = c.reloadsMonth;
        view_.refreshes.clear();
        m.deleteAlarm(kNow, m.user().alarms.front());
        EXPECT_EQ(view_.refreshes, c.refreshes) << c.change << c.reloadsMonth;
    }
}

TEST_F(MainDlgTest, RemovingTheReminderClosesTheUserUnlessProgramming) {
    db_.addUser("Aino", "1");
    MainDlgLogic& m = openAs("Aino");
    m.setReminderConnected(true, 1234);
    EXPECT_EQ(m.statusText(), text(ids::kReminderConnected));
    EXPECT_TRUE(m.commands().program && m.commands().emptyReminder);
    EXPECT_EQ(m.user().connected_sn, 1234u);

    int ended = 0;
    m.setOpenDeviceDialog([&] { ++ended; });
    m.setProgrammingInProgress(true);
    m.reminderRemoved();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(m.deviceDialogOpen());
    EXPECT_EQ(m.user().name, "Aino");
    EXPECT_EQ(m.statusText(), text(ids::kReminderNotConnected));
    EXPECT_FALSE(m.commands().program);
    EXPECT_EQ(m.user().connected_sn, 0u);
    EXPECT_GE(view_.deviceDialogEnds, 1);

    m.setProgrammingInProgress(false);
    m.setReminderConnected(true, 1234);
    m.reminderRemoved();
    EXPECT_EQ(ended, 1) << "a dialog is ended once";
    EXPECT_FALSE(m.userSelected());
    EXPECT_EQ(m.panel().name, "-");
}

// Emptying the calendar of a user whose reminder holds alarms means the
// reminder must be programmed again; the flag is stored with the panel.
TEST_F(MainDlgTest, ClearCalendarAsksDeletesOnlyOnYesAndMarksTheReminder) {
    const int id = db_.addUser("Cecilia", "030303-0303", {dailyAlarm(8, 0)});
    giveProgrammedReminder(id);
    MainDlgLogic& m = open();
    m.command(cmd::kClearCalendar);
    EXPECT_TRUE(host_.questions.empty()) << "nothing to clear without a user";

    chooseUser("Cecilia");
    ASSERT_FALSE(m.user().is_programming_needed);
    host_.answers = {false, true};
    m.command(cmd::kClearCalendar);
    ASSERT_EQ(host_.questions.size(), 1u);
    EXPECT_TRUE(host_.questions[0].defaultNo) << "Enter keeps the calendar";
    EXPECT_EQ(db_.storedAlarms(id).size(), 1u);
    EXPECT_FALSE(m.user().is_programming_needed);

    m.command(cmd::kClearCalendar);
    EXPECT_TRUE(db_.storedAlarms(id).empty());
    EXPECT_TRUE(m.user().alarms.empty());
    EXPECT_TRUE(m.user().is_programming_needed);
    EXPECT_TRUE(db_.storedProfile(id).is_programming_needed) << "stored at once, not when the panel is saved";
}

TEST_F(MainDlgTest, ACommentWithLettersTheDatabaseCannotHoldIsRefused) {
    const int id = db_.addUser("Aino", "1");
    MainDlgLogic& m = openAs("Aino");
    EXPECT_TRUE(m.setCommentText("Aamulla ½ tablettia"));
    EXPECT_FALSE(m.setCommentText("Aamulla ½ tablettia \xF0\x9F\x92\x8A"));
    EXPECT_EQ(host_.takeMessageTexts(),
              std::vector<Text>{fillPlaceholder(text(ids::kUnstorableCharacters), "\xF0\x9F\x92\x8A")});
    m.command(cmd::kCloseUser);
    EXPECT_EQ(db_.storedProfile(id).comment, "Aamulla ½ tablettia");
}

// A command runs only while its rule allows; an id without a command is
// not the window's. The panel keeps a closed user's type until user
// management closes without a choice: then it shows intake.
TEST_F(MainDlgTest, CommandsOpenTheirDialogsOnlyWhileTheirRuleAllows) {
    db_.addUser("Aino", "1", {}, 2400, 1);
    MainDlgLogic& m = open();
    ReportCommand report(m.user(), {m.user(), store(), strings_, host_}, clock_, m);
    m.setCommand(cmd::kReport, &report);
    EXPECT_TRUE(m.command(cmd::kPrintAlarmReport));  // no user: nothing
    m.command(cmd::kShowHistory);
    EXPECT_TRUE(host_.dialogs.empty() && host_.messages.empty());
    chooseUser("Aino");
    host_.dialogs.clear();
    m.command(cmd::kShowHistory);
    m.command(cmd::kPrintAlarmReport);
    m.command(cmd::kReport);
    EXPECT_EQ(host_.dialogs, (std::vector<int>{150, 172, 171}));
    EXPECT_FALSE(m.userSelected()) << "the report closes the current user";
    EXPECT_EQ(m.user().users.size(), 1u);
    ASSERT_TRUE(m.panel().forgottenChecked);
    m.command(cmd::kUserManagement);  // closed without a choice
    EXPECT_FALSE(m.userSelected());
    EXPECT_TRUE(m.panel().intakeChecked && !m.panel().forgottenChecked);
    for (int id : {cmd::kAccount, cmd::kBackup, 12345, cmd::kEditAlarm}) {
        EXPECT_FALSE(m.command(id)) << id;
        EXPECT_FALSE(m.commandEnabled(id)) << id;
    }
}

// A database beside the program that is passed over (its folder is not
// writable) is named at start, with the one in use; a name read cut is
// told once, then never again in the run.
TEST_F(MainDlgTest, StartupWarnsOfADatabasePassedOverAndOfTextsReadCut) {
    const auto program = db_.dir() / "program";
    std::filesystem::create_directories(program);
    EXPECT_TRUE(passedOverDatabase(program, db_.dir()).empty()) << "no file beside the program";
    db_.writeFile("program/velmora.db", "x");
    EXPECT_TRUE(passedOverDatabase(program, program).empty()) << "the program's own folder is used";
    const auto passed = passedOverDatabase(program, db_.dir());
    EXPECT_EQ(passed, program / "velmora.db");
    db_.addUser(Text(kMaxRecordTextChars + 1, 'A'), "010101-1111");

    MainDlgLogic& m = open();
    m.setPassedOverDatabase(passed);
    m.startup();
    chooseUser(Text(kMaxRecordTextChars, 'A'));
    EXPECT_GT(m.user().id, 0);
    for (const dialogtest::Message& shown : host_.messages) EXPECT_EQ(shown.icon, MessageIcon::Warning);
    const Text passedOver = fillPlaceholder(text(ids::kDatabasePassedOver), passed.string());
    EXPECT_EQ(host_.takeMessageTexts(),
              (std::vector<Text>{fillPlaceholder(passedOver, store().databasePath().string()),
                                 fillPlaceholder(text(ids::kLongTextsCut), std::to_string(kMaxRecordTextChars))}));
}

TEST_F(MainDlgTest, StartupSaysWhenTheDatabaseCannotBeOpened) {
    RecordStore nowhere(db_.dir() / "missing" / "velmora.db");
    main_ = std::make_unique<MainDlgLogic>(nowhere, db_.dir() / "missing", strings_, host_, clock_);
    main_->setView(&view_);
    main_->initialise();
    EXPECT_FALSE(main_->databaseOpened());
    main_->startup();
    EXPECT_EQ(host_.takeMessageTexts(), std::vector<Text>{text(ids::kDatabaseOpenFailed) + "\n\n" + nowhere.databasePath().string()});
    EXPECT_TRUE(view_.closes.empty()) << "the program goes on";
    main_.reset();
}

// A database that this program must leave alone ends the program before its window is used, saying
// which version wrote it or which table differs.
TEST_F(MainDlgTest, ADatabaseOfANewerVersionOrAnotherShapeEndsTheProgram) {
    const Text db = store().databasePath().string();
    EXPECT_FALSE(open().refuseDatabase());
    const Text newer = fillPlaceholder(fillPlaceholder(text(ids::kDatabaseNewerVersion), db), "v9.1");
    const std::pair<std::string, Text> cases[] = {
        {"UPDATE Settings SET sw_version = 'v9.1', db_version = 99;", fillPlaceholder(newer, "99")},
        {"UPDATE Settings SET db_version = 4; ALTER TABLE Log ADD COLUMN note TEXT;",
         fillPlaceholder(fillPlaceholder(text(ids::kDatabaseTableMismatch), db), "Log")},
    };
    for (const auto& [change, message] : cases) {
        Database(db).execute(change);
        MainDlgLogic& m = open();
        EXPECT_TRUE(m.refuseDatabase());
        EXPECT_EQ(m.exitCode(), 1);
        m.startup();  // delivered during the message box: nothing more is said
        EXPECT_EQ(host_.takeMessageTexts(), std::vector<Text>{message});
    }
}

// The people of a legacy file that could not be stored are missing from the list: the start says so.
TEST_F(MainDlgTest, StartupSaysWhichLegacyFileWasNotImportedAndWhy) {
    Database(store().databasePath().string())
        .execute("CREATE TRIGGER full BEFORE INSERT ON Profiles BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
    db_.writeFile("profiles/aino.vel", makeContainer("[PERSON]0|Aino|||\n"));
    open().startup();
    const Text notStored = fillPlaceholder(text(ids::kLegacyFileNotStored), (db_.dir() / "profiles" / "aino.vel").string());
    EXPECT_EQ(host_.takeMessageTexts(), std::vector<Text>{fillPlaceholder(notStored, "database or disk is full")});
}

TEST_F(MainDlgTest, StartupEndsTheProgramWhenSignInIsCancelled) {
    MainDlgLogic& m = open();
    bool watched = false;
    m.setDeviceWatch([&] { watched = true; });
    m.setSignIn([](int& exitCode) {
        exitCode = 1;
        return false;
    });
    m.startup();
    EXPECT_EQ(view_.closes, (std::vector<int>{1}));
    EXPECT_FALSE(watched);
}

}  // namespace
}  // namespace velmora
