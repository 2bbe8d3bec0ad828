// The reminder flows of the main window against simulated reminders in the
// process, a real database in a temporary folder and a scripted person.
#include <gtest/gtest.h>

#include <memory>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/text.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "device/programming_pass.h"
#include "ui/logic/reminder/programming_report.h"
#include "ui/logic/dialog_test_support.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "support/forwarding_transport.h"
#include "store/database.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/reminder_commands.h"
#include "ui/logic/reminder/reminder_runner.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/users/user_management.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"

namespace velmora {
namespace {

constexpr SYSTEMTIME kNow = makeTime(2026, 3, 2, 9, 0);
constexpr std::uint32_t kOwnSn = 1001, kSpareSn = 2002, kOtherSn = 3003;

// One reminder that can be plugged into the socket.
struct Reminder {
    Reminder(int model, std::uint32_t sn) : sim(model, sn) {}
    sim::SimulatedReminder sim;
    sim::SimTransport usb{sim};
};

class ReminderFlows : public ::testing::Test {
protected:
    void SetUp() override {
        using dialogtest::dailyAlarm;
        anna = db.addUser("Anna", "010101-1111", {dailyAlarm(makeTime(2026, 3, 1, 8, 0)), dailyAlarm(makeTime(2026, 3, 1, 12, 0)),
                                                  dailyAlarm(makeTime(2026, 3, 1, 16, 0)), dailyAlarm(makeTime(2026, 3, 1, 20, 0))});
        bertta = db.addUser("Bertta", "020202-2222");
        main = std::make_unique<MainDlgLogic>(store(), db.dir(), strings, host, clock);
        reminder = std::make_unique<ReminderCommands>(socket, clock, store(), host, strings, clock, main->user(),
                                                      *main, nullptr, &runner);
        users = std::make_unique<UserManagementCommand>(UserManagementContext{
            main->user(), store(), strings, host, clock, service, *main, alarmTablePreparer(store()),
            [this](bool closed) { reminder->userManagementEnded(closed); }});
        reminder->ownerless.chooseUser = [this] { main->command(cmd::kUserManagement); };
        main->setCommand(cmd::kUserManagement, users.get());
        main->setCommand(MainDlgLogic::kIdProgram, &reminder->program);
        main->setCommand(cmd::kEmptyReminder, &reminder->empty);
        main->setDeviceWatch([this] { reminder->arrival.start(); });
        main->initialise();
    }
    RecordStore& store() { return db.store(); }
    void plug(Reminder& r) {
        socket.inner = &r.usb;
        reminder->arrival.deviceEvent(true);
    }
    void plugAnnasOwn() {
        store().saveDevice({kOwnSn, DeviceRecord::kOwn, 0, 0, 0}, anna);
        plug(own);
    }
    void unplug() {
        socket.close();
        socket.inner = nullptr;
        reminder->arrival.deviceEvent(false);
    }
    // Writes a table into a reminder as an earlier run did, and records it.
    void programmedBefore(Reminder& r, int owner, const std::vector<TimeValue>& instants) {
        AlarmTable readBack;
        InstantList list(2000);
        ReminderLink link(r.usb, readBack, clock);
        link.open();
        link.readIdentity();
        for (TimeValue t : instants) list.add(t);
        const PassResult pass = runProgrammingPass(link, list, 600, true, clock);
        r.usb.close();
        store().saveDevice({r.sim.tableInstants().empty() ? 0 : link.identity().serial, DeviceRecord::kOwn,
                            pass.programming_time, pass.lastAlarm(), pass.count()}, owner);
    }
    // Plays the job's dialogs: ProgramDlg with `programDlg`, the rest by `rest`.
    void script(int programDlg, std::function<int(DialogModel&)> rest = nullptr) {
        host.onDialog = [=](DialogModel& d) {
            if (d.templateId() == ProgramDlgLogic::kTemplateId) return programDlg;
            return rest ? rest(d) : kIdOk;
        };
    }
    // The message `id` was shown (a failure's reason follows on later lines).
    bool shown(int id) const {
        for (const auto& m : host.messages)
            if (m.text == strings.load(id) || m.text.starts_with(strings.load(id) + "\n")) return true;
        return false;
    }
    DeviceRecord device(std::uint32_t sn) {
        DeviceRecord d;
        store().findDevice(sn, d);
        return d;
    }

    dialogtest::TempDatabase db;
    dialogtest::ScriptedHost host;
    ThreadReminderRunner runner;  // the reminder's jobs on a thread of their own
    const ResourceModule& strings = ResourceModule::builtIn();
    FixedClock clock{kNow};
    testing::ForwardingTransport socket;  // the USB socket: whichever reminder is plugged in answers
    std::unique_ptr<MainDlgLogic> main;
    std::unique_ptr<ReminderCommands> reminder;
    ServiceAccess service;
    std::unique_ptr<UserManagementCommand> users;
    int anna = 0, bertta = 0;
    Reminder own{3, kOwnSn}, spare{1, kSpareSn}, other{1, kOtherSn};
};

TEST_F(ReminderFlows, AnOwnedReminderAttachedAtStartSelectsItsUserAndStoresTheLog) {
    const TimeValue now = clock.nowValue();
    programmedBefore(own, anna, {now - 7200, now - 3600, now + 3600});
    own.sim.setLogWord(0, static_cast<std::uint32_t>(now - 7200 + 60));
    own.sim.setLogWord(1, kLogWordForgotten);
    socket.inner = &own.usb;
    main->startup();
    EXPECT_EQ(main->user().id, anna);
    EXPECT_TRUE(reminder->program.enabled());
    EXPECT_EQ(db.storedLog(anna).size(), 2u);
    EXPECT_TRUE(host.messages.empty());
    // Another person chosen while it is plugged in: its acknowledgements
    // stay its owner's, without a word.
    store().selectUser(main->user(), bertta, now, {}, RecordStore::SaveCurrent::No);
    reminder->userManagementEnded(false);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(db.storedLog(bertta).empty());
}

// Without a user, the reminder is judged by its own window, not one left by
// the user before; programming it records it as an own reminder of nobody,
// with what was written.
TEST_F(ReminderFlows, AnUnownedReminderAsksWhatToDoAndIsProgrammedWithoutAUser) {
    const TimeValue now = clock.nowValue();
    programmedBefore(other, 0, {now - 3600, now + 3600, now + 30 * 86400});
    main->user().programmed_window = 1800;
    struct Case { int result; Text name; std::size_t alarms; };
    for (const Case& c : {Case{SelectActionDlgLogic::kIdProgramWithoutUser, strings.load(ids::kNoUserName), 2},
                          Case{kIdCancel, "-", 0}, Case{kIdOk, "-", 0}}) {
        host.dialogs.clear();
        // User management closed without a choice asks again; then leave it.
        host.onDialog = [&](DialogModel& d) {
            if (d.templateId() == ProgramDlgLogic::kTemplateId) return kIdOk;
            const bool first = host.dialogs.size() == 1;
            return d.templateId() == SelectActionDlgLogic::kTemplateId && first ? c.result : kIdCancel;
        };
        plug(other);
        EXPECT_EQ(main->panel().name, c.name) << c.result;
        EXPECT_EQ(main->user().alarms.size(), c.alarms) << c.result;
        EXPECT_EQ(main->noUserProfile(), c.alarms > 0);
        if (c.alarms > 0) {
            EXPECT_FALSE(main->user().is_programming_needed);
            reminder->program.start();
            const DeviceRecord d = device(kOtherSn);
            ASSERT_EQ(other.sim.tableInstants().size(), 2u) << "the past one is not written again";
            EXPECT_EQ(d.device_type, DeviceRecord::kOwn);
            EXPECT_EQ(static_cast<std::uint32_t>(d.programming_time), other.sim.programmingTime());
            EXPECT_EQ(static_cast<std::uint32_t>(d.last_alarm), other.sim.tableInstants().back());
            EXPECT_EQ(d.alarm_amount, 2);
            EXPECT_LT(store().getDeviceOwner(kOtherSn), 1);
        }
        if (c.result == kIdOk) {
            const int again = SelectActionDlgLogic::kTemplateId;
            EXPECT_EQ(host.dialogs, (std::vector<int>{again, ProfileDlgLogic::kTemplateId, again}))
                << "user management, then again";
        }
        if (c.result == kIdCancel) {  // nothing acknowledged to lose: emptying asks once
            const std::size_t asked = host.questions.size();
            host.answers = {true};
            reminder->empty.start();
            EXPECT_EQ(host.questions.size(), asked + 1);
        }
        unplug();
    }
}

TEST_F(ReminderFlows, ARemovalEndsTheOwnerlessQuestionAndClosesTheUser) {
    host.onDialog = [&](DialogModel& d) {
        unplug();
        EXPECT_EQ(static_cast<EndableDialogModel&>(d).pendingEnd(), kIdCancel);
        return static_cast<EndableDialogModel&>(d).takePendingEnd();
    };
    plug(other);
    EXPECT_EQ(host.dialogs, std::vector<int>{SelectActionDlgLogic::kTemplateId});
    EXPECT_FALSE(main->reminderConnected());
}

// Without a user, or with nothing ahead, nothing starts; a table cut at the
// time limit says where it stops.
TEST_F(ReminderFlows, ProgramSaysWhyItCannotStartOrWhereTheTableStops) {
    reminder->program.start();
    ASSERT_TRUE(selectUserWithReminder(store(), main->user(), bertta, clock.nowValue()));
    reminder->program.start();
    Alarm fortnightly = dialogtest::dailyAlarm(makeTime(2026, 3, 3, 8, 0));
    fortnightly.repeat_pattern = 7;  // 500 instants would reach 2045
    main->user().alarms = {fortnightly};
    script(kIdCancel);
    reminder->program.start();
    const Text limit = fillPlaceholder(strings.load(ids::kTableEndsAtTimeLimit), "19.01.2038 05:14");
    EXPECT_EQ(host.takeMessageTexts(), (std::vector<Text>{strings.load(ids::kCreateOrChooseUser), strings.load(ids::kNothingToProgram),
                                                          fillPlaceholder(limit, "05.01.2038 08:00")}));
}

TEST_F(ReminderFlows, BatteryWarnsAtZeroAnd825) {
    for (auto [battery, warns] : {std::pair{824, false}, {825, true}, {0, true}}) {
        host.messages.clear();
        own.sim.setBattery(static_cast<std::uint16_t>(battery));
        plugAnnasOwn();
        EXPECT_EQ(shown(ids::kBatteryLow), warns) << battery;
        unplug();
    }
}

TEST_F(ReminderFlows, ProgramDlgIsAskedOncePerRunAndCancelProgramsNothing) {
    plugAnnasOwn();
    script(kIdCancel);
    reminder->program.start();
    EXPECT_EQ(own.sim.commandCount(kCmdStartProgramming), 0u);
    EXPECT_TRUE(host.messages.empty());
    script(kIdOk, [](DialogModel& d) {
        return d.templateId() == ProgrammingFinishedDlgLogic::kTemplateId ? ProgrammingFinishedDlgLogic::kIdReport
                                                                          : kIdOk;
    });
    reminder->program.start();
    reminder->program.start();
    EXPECT_EQ(own.sim.commandCount(kCmdStartProgramming), 2u);
    // The report from the result dialog, in the program's own window.
    EXPECT_EQ(std::count(host.dialogs.begin(), host.dialogs.end(), AlarmReportDlgLogic::kTemplateId), 2);
    EXPECT_NE(dialogtest::readBytes(reportDirectory(store()) / kReportFileName).find("Anna"), std::string::npos);
    EXPECT_EQ(std::count(host.dialogs.begin(), host.dialogs.end(), ProgramDlgLogic::kTemplateId), 2);
    EXPECT_FALSE(main->user().is_programming_needed);
    EXPECT_EQ(device(kOwnSn).alarm_amount, static_cast<int>(own.sim.tableInstants().size()));
    Text report;
    store().loadReport(anna, report);
    EXPECT_NE(report.find("Anna"), Text::npos);
    EXPECT_TRUE(reminder->session.readBack.log_entries.empty());
}

// The own reminder is pulled out while WaitProgramDlg is open, then a
// smaller spare (model 1) is attached; `first` is attached before it.
TEST_F(ReminderFlows, ASpareIsWrittenAsType1WithWhatFitsAndWithout92) {
    plugAnnasOwn();
    host.answers = {true};  // a spare
    int waits = 0;
    script(kIdOk, [&](DialogModel& d) {
        if (d.templateId() != WaitProgramDlgLogic::kTemplateId) return kIdOk;
        auto& wait = static_cast<EndableDialogModel&>(d);
        unplug();
        EXPECT_EQ(wait.pendingEnd(), 0) << "a removal does not end the wait";
        if (++waits == 1) {  // the 12:00 alarm was taken at 12:01 meanwhile
            clock.advanceSeconds(3 * 3600 + 300);
            own.sim.setLogWord(0, static_cast<std::uint32_t>(toTimeValue(makeTime(2026, 3, 2, 12, 1))));
        }
        plug(waits == 1 ? own : spare);
        return wait.takePendingEnd();
    });
    reminder->program.start();
    EXPECT_EQ(waits, 2);
    EXPECT_TRUE(shown(ids::kSpareIsOwnReminder));
    EXPECT_TRUE(shown(ids::kSpareDone));
    EXPECT_EQ(main->user().id, anna);  // the removal during the job kept the user
    EXPECT_EQ(device(kSpareSn).device_type, DeviceRecord::kSpare);
    EXPECT_EQ(own.sim.commandCount(kCmdFinishOwn), 1u);
    EXPECT_EQ(store().getDeviceOwner(kSpareSn), anna);
    EXPECT_EQ(db.storedLog(anna).size(), 1u) << "the own reminder's log, read when it came back";
}

// Bertta's reminder is attached while Anna is chosen, or comes as the spare
// after Anna's own; Bertta took an alarm after it was read. It gets Anna's
// alarms only on Yes, Bertta's log is stored first, and on Yes Bertta must
// program a reminder again.
TEST_F(ReminderFlows, AnotherPersonsReminderIsWrittenOnlyOnYesAfterItsLogIsStored) {
    const TimeValue now = clock.nowValue();
    script(kIdOk, [&](DialogModel& d) {
        if (d.templateId() != WaitProgramDlgLogic::kTemplateId) return kIdOk;
        unplug();
        plug(other);
        return static_cast<EndableDialogModel&>(d).takePendingEnd();
    });
    struct Case { bool spare, yes; };
    for (const Case c : {Case{false, false}, {false, true}, {true, false}}) {
        SCOPED_TRACE(c.spare);
        programmedBefore(other, bertta, {now - 7200, now - 3600, now + 3600});
        other.sim.resetCounters();
        if (c.spare) plugAnnasOwn();
        else plug(other);
        other.sim.setLogWord(1, static_cast<std::uint32_t>(now - 3600 + 30));
        ASSERT_TRUE(selectUserWithReminder(store(), main->user(), anna, now));
        Profile b = db.storedProfile(bertta);
        b.is_programming_needed = false;
        store().updateProfile(b);
        host.answers = c.spare ? std::deque<bool>{true, c.yes} : std::deque<bool>{c.yes};
        host.questions.clear();
        reminder->program.start();
        const std::size_t whose = c.spare ? 1 : 0;  // a spare comes after the offer of one
        ASSERT_GT(host.questions.size(), whose);
        EXPECT_TRUE(host.questions[whose].defaultNo && host.questions[whose].text.find("Bertta") != Text::npos);
        EXPECT_EQ(db.storedLog(bertta).size(), 1u) << c.yes;
        EXPECT_EQ(other.sim.commandCount(kCmdStartProgramming), c.yes ? 1u : 0u);
        EXPECT_EQ(store().getDeviceOwner(kOtherSn), c.yes ? anna : bertta);
        EXPECT_EQ(db.storedProfile(bertta).is_programming_needed, c.yes);
        unplug();
    }
}

TEST_F(ReminderFlows, AnotherReminderArrivingDuringProgramDlgChangesNoUserAndGetsNothing) {
    store().saveDevice({kOwnSn, 0, 0, 0, 0}, anna);
    store().saveDevice({kOtherSn, 0, 0, 0, 0}, bertta);
    plug(own);
    host.onDialog = [&](DialogModel&) {
        unplug();
        plug(other);
        EXPECT_EQ(main->user().id, anna);
        return kIdOk;
    };
    reminder->program.start();
    EXPECT_TRUE(shown(ids::kProgrammingFailed));
    EXPECT_EQ(other.sim.commandCount(kCmdStartProgramming), 0u);
    EXPECT_EQ(main->user().id, bertta);  // handled once the job ended
}

// Emptying an own reminder marks its user (seen with the failures); the user
// of a spare still has their own reminder.
TEST_F(ReminderFlows, EmptyingASpareLeavesItsUserUnmarked) {
    store().saveDevice({kOwnSn, DeviceRecord::kSpare, 0, 0, 0}, anna);
    plug(own);
    main->user().is_programming_needed = false;
    host.answers = {true};
    reminder->empty.start();
    EXPECT_TRUE(shown(ids::kReminderEmptied));
    EXPECT_FALSE(main->user().is_programming_needed);
}

// Emptied here or elsewhere: the record holds no alarms, the panel no last
// alarm, and plugging it in again says only that it must be programmed.
TEST_F(ReminderFlows, AnEmptiedOwnReminderIsRecordedEmptyAndMustBeProgrammed) {
    script(kIdOk);
    for (bool here : {true, false}) {
        plugAnnasOwn();
        reminder->program.start();
        if (here) {
            host.answers = {true};
            reminder->empty.start();
            EXPECT_EQ(main->panel().lastAlarm, "-");
        }
        unplug();
        if (!here)
            for (std::size_t a = 32; a < own.sim.memoryMap().table_end; a += 4) own.sim.setWord(a, 0);
        host.messages.clear();
        plug(own);
        EXPECT_TRUE(db.storedProfile(anna).is_programming_needed) << here;
        EXPECT_FALSE(shown(ids::kProgrammedElsewhere)) << here;
        EXPECT_EQ(device(kOwnSn).alarm_amount, 0);
        EXPECT_EQ(device(kOwnSn).last_alarm, 0);
        unplug();
    }
}

// Each failure keeps its first line, then says why and what to do next, and
// is never reported as done; a failed command leaves the reminder to be
// programmed again. Emptying stops in its table area, or later in its log area.
TEST_F(ReminderFlows, FailuresSayWhyAndWhatToDoNext) {
    const Text pulledOut = strings.load(ids::kReasonPulledOut);
    const Text atReadTable =
        fillPlaceholder(strings.load(ids::kReasonTransferFailedAt), strings.load(ids::kStepReadTable));
    const std::size_t tableBlocks = (spare.sim.memoryMap().table_end - kTableAreaStart) / 32;
    // command 0: the read on arrival; `answered`: exchanges before the reminder goes silent
    struct Case { int command, first; Text reason; int next; std::size_t answered; };
    const int empty = cmd::kEmptyReminder;
    script(kIdOk);
    for (const Case& c : {Case{0, ids::kReadFailed, atReadTable, ids::kNextReadAgain, 20},
                          Case{MainDlgLogic::kIdProgram, ids::kProgrammingFailed, pulledOut, ids::kNextProgramAgain, 20},
                          Case{empty, ids::kEmptyingFailed, pulledOut, ids::kNextEmptyAgain, 2},
                          Case{empty, ids::kEmptyingFailed, pulledOut, ids::kNextEmptyAgain, tableBlocks + 2}}) {
        Reminder r{1, kOwnSn};
        if (c.command == 0) r.sim.failReadsAt(64);
        store().saveDevice({kOwnSn, DeviceRecord::kOwn, 0, 0, 0}, anna);
        plug(r);
        r.sim.goSilentAfter(c.answered);
        host.answers = {true};
        if (c.command != 0) {
            main->user().is_programming_needed = false;
            main->command(c.command);
            EXPECT_TRUE(main->user().is_programming_needed) << c.command;
        }
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.back().text, strings.load(c.first) + "\n\n" + c.reason + "\n" + strings.load(c.next))
            << c.answered;
        EXPECT_EQ(std::count(host.dialogs.begin(), host.dialogs.end(), ProgrammingFinishedDlgLogic::kTemplateId), 0);
        EXPECT_FALSE(shown(ids::kReminderEmptied));
        unplug();
    }
}

TEST_F(ReminderFlows, AFailedReadKeepsProgrammingAndEmptyingDisabled) {
    own.sim.failReadsAt(64);
    other.sim.setReportedModel(9);  // unrecognised: no message the first time
    // After it, other failures are still reported.
    for (auto [r, says] : {std::pair{&other, false}, {&own, true}}) {
        host.messages.clear();
        plug(*r);
        EXPECT_EQ(shown(ids::kReadFailed), says);
        EXPECT_FALSE(reminder->program.enabled());
        EXPECT_FALSE(reminder->empty.enabled());
        unplug();
    }
}

// A damaged database, or an owner id without a user: the person is told,
// and programming and emptying ask before they clear the reminder's log.
TEST_F(ReminderFlows, ALogThatCannotBeStoredIsReportedAndProgrammingAndEmptyingAskFirst) {
    // Without a selected user nothing can be programmed: only emptying asks.
    struct Case { const char* damage; int owner; int message; bool userSelected; };
    for (const Case c : {Case{"", 99, ids::kReadBackOwnerNotFound, false},
                         Case{"DROP TABLE Log;", anna, ids::kLogNotStored, true},
                         Case{"DROP TABLE Profiles;", anna, ids::kReadBackOwnerNotFound, false}}) {
        SCOPED_TRACE(c.owner);
        const TimeValue now = clock.nowValue();
        programmedBefore(own, c.owner, {now - 3600, now + 3600});
        own.sim.setLogWord(0, kLogWordForgotten);
        Database(store().databasePath().string()).execute(c.damage);
        host.messages.clear();
        host.questions.clear();
        plug(own);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.back().text, strings.load(c.message));
        EXPECT_EQ(main->user().id >= 1, c.userSelected);
        script(kIdOk);
        host.answers = {false};
        reminder->program.start();
        host.answers = {true, false};  // empty it; keep what is not stored
        reminder->empty.start();
        std::vector<Text> asked;
        for (const auto& q : host.questions) {
            asked.push_back(q.text);
            EXPECT_TRUE(q.defaultNo) << "Enter keeps the acknowledgements";
        }
        std::vector<Text> expected{strings.load(ids::kConfirmEmptyReminder), strings.load(ids::kConfirmEmptyUnstoredLog)};
        if (c.userSelected) expected.insert(expected.begin(), strings.load(ids::kConfirmClearUnstoredLog));
        EXPECT_EQ(asked, expected);
        EXPECT_EQ(own.sim.logWord(0), kLogWordForgotten);
        unplug();
        store().createDatabase();  // the missing table again
    }
}

}  // namespace
}  // namespace velmora
