// A reminder pulled out in the middle of a programming pass, through the
// real libusb transport and the emulated USB reminder (umockdev), with the
// job on the worker and the removal notice handed to the waiting thread as
// the program does: the pass fails and the session is disconnected
// afterwards. That a failed pass stores nothing is the reminder flows' test.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "device/libusb_transport.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/simulated_reminder.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/reminder/reminder_commands.h"
#include "ui/logic/reminder/reminder_runner.h"

namespace velmora {
namespace {

constexpr std::uint32_t kSn = 5150;

TEST(UnplugDuringPass, FailsThePassStoresNothingAndLeavesTheSessionDisconnected) {
    ASSERT_TRUE(sim::EmulatedUsbReminder::available()) << "run with LD_PRELOAD=libumockdev-preload.so.0";
    sim::SimulatedReminder reminder{3, kSn};
    sim::EmulatedUsbReminder usb{reminder};
    usb.plug();
    LibusbTransport transport;
    dialogtest::TempDatabase db;
    dialogtest::ScriptedHost host;
    ThreadReminderRunner runner;
    FixedClock clock{makeTime(2026, 3, 2, 9, 0)};
    const int anna = db.addUser("Anna", "010101-1111", {dialogtest::dailyAlarm(makeTime(2026, 3, 1, 8, 0))});
    db.store().saveDevice({kSn, DeviceRecord::kOwn, 0, 0, 0}, anna);
    MainDlgLogic main(db.store(), db.dir(), ResourceModule::builtIn(), host, clock);
    ReminderCommands commands(
        transport, clock, db.store(), host, ResourceModule::builtIn(), clock, main.user(), main,
        [&] {
            return transport.startWatch([&](ReminderEvent e) {
                runner.post([&, e] { commands.arrival.deviceEvent(e == ReminderEvent::Arrived); });
            });
        },
        &runner);
    main.setCommand(MainDlgLogic::kIdProgram, &commands.program);
    main.setDeviceWatch([&] { commands.arrival.start(); });
    main.initialise();
    main.startup();
    runner.runPosted(2000);  // the arrival of the reminder that is plugged in
    ASSERT_EQ(main.user().id, anna);
    ASSERT_TRUE(commands.session.connected());

    host.onDialog = [](DialogModel&) { return kIdOk; };
    bool pulled = false;
    runner.onProgress = [&](LinkStep step, int) {
        if (step != LinkStep::WriteTable || pulled) return;
        pulled = true;
        usb.unplug();
        // The removal notice is handled while the job still runs.
        for (int i = 0; i < 20 && commands.session.connected(); ++i) runner.runPosted(100);
        EXPECT_TRUE(commands.session.busy());
    };
    main.command(MainDlgLogic::kIdProgram);

    EXPECT_TRUE(pulled);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.front().text.rfind(ResourceModule::builtIn().load(ids::kProgrammingFailed), 0), 0u);
    EXPECT_FALSE(commands.session.connected());
    EXPECT_FALSE(commands.session.busy());
    EXPECT_FALSE(transport.isOpen());
    transport.stopWatch();
}

}  // namespace
}  // namespace velmora
