// The whole program under umockdev: the main window on Qt's offscreen
// platform, the real libusb transport with its hotplug thread, and the demo
// person's reminder as an emulated USB device. The reminder is read on
// arrival, then the person's alarms are programmed through the window's
// "Ohjelmoi laite" button, answering the dialogs as a person would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "core/clock.h"
#include "core/datetime.h"
#include "demo/demo_database.h"
#include "device/reminder_protocol.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/simulated_reminder.h"
#include "startup.h"
#include "ui/qt/device_dialogs.h"
#include "support/temp_dir.h"

using namespace velmora;

namespace {

// Runs the event loop until `holds` or 20 seconds have passed.
bool waitFor(const std::function<bool()>& holds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!holds() && std::chrono::steady_clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return holds();
}

// The person at the screen: confirms the clock, closes the result, and
// answers No to the spare question; waits while the reminder's progress
// shows. Any other window is noted and closed.
struct Person {
    QTimer timer;
    int clockChecks = 0, results = 0, spareQuestions = 0;
    QStringList others;

    explicit Person(const Text& spareQuestion) {
        QObject::connect(&timer, &QTimer::timeout, [this, spareQuestion] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible() || w->objectName() == "reminderProgress") return;  // the job ends it
            if (auto* d = qobject_cast<ProgramDlg*>(w)) {
                ++clockChecks;
                d->accept();
            } else if (auto* d = qobject_cast<ProgrammingFinishedDlg*>(w)) {
                ++results;
                d->reject();
            } else if (auto* box = qobject_cast<QMessageBox*>(w);
                       box && box->text() == toQ(spareQuestion)) {
                ++spareQuestions;
                box->button(QMessageBox::No)->click();
            } else {
                others << (qobject_cast<QMessageBox*>(w) ? qobject_cast<QMessageBox*>(w)->text()
                                                          : w->metaObject()->className());
                w->close();
            }
        });
        timer.start(20);
    }
};

TEST(ProgramEndToEnd, ReadsTheAttachedReminderThenProgramsItsUsersSchedule) {
    ASSERT_TRUE(sim::EmulatedUsbReminder::available()) << "run with LD_PRELOAD=libumockdev-preload.so.0";
    int argc = 1;
    char name[] = "app_e2e_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    velmora::testing::TempDir dir;
    const SYSTEMTIME now = SystemClock().localNow();
    demo::DemoDatabase demo;
    ASSERT_TRUE(demo::makeDemoDatabase(dir.path(), now, demo));
    const demo::DemoReminder& r = demo.reminder;
    sim::SimulatedReminder reminder(r.model, r.serial);
    reminder.setClock(static_cast<std::uint32_t>(toTimeValue(now)));
    sim::startWithHistory(reminder, *sim::parseDailyTimes(r.dailyTimes), r.historyDays, now);
    const std::uint32_t programmedBefore = reminder.programmingTime();
    sim::EmulatedUsbReminder usb(reminder);
    usb.plug();

    const ResourceModule resources = ResourceModule::builtIn();
    MainWindow main(resources, dir.path());
    main.window->show();
    Person person(resources.load(ids::kOfferSpare));

    // Arrival: the reminder is read and its owner selected (that her log is
    // stored is the reminder flows' test, what each log word means the log
    // decoding's).
    ASSERT_TRUE(waitFor([&] { return main.logic.user().id == demo.personWithReminder && !main.logic.busy(); }));

    // Programming through the window's button.
    auto* program = main.window->findChild<QPushButton*>("programButton");
    ASSERT_NE(program, nullptr);
    ASSERT_TRUE(waitFor([&] { return program->isEnabled(); }));
    program->click();
    ASSERT_TRUE(waitFor([&] { return person.spareQuestions == 1 && !main.logic.programmingInProgress(); }));
    EXPECT_EQ(person.clockChecks, 1);
    EXPECT_EQ(person.results, 1);
    EXPECT_TRUE(person.others.isEmpty()) << person.others.join(" | ").toStdString();

    // The reminder was programmed anew as her own (which instants, and the
    // record kept of it, are the programming rules' and the reminder flows'
    // tests).
    EXPECT_GT(reminder.programmingTime(), programmedBefore);
    EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), 1u);
}

}  // namespace
