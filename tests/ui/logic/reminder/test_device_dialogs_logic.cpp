// Texts and the ending from outside of the reminder flows' dialogs.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {
namespace {

// The window's refresh is the dialog window's test.
TEST(ProgramDlgLogicTest, TheClockWithoutSeconds) {
    const FixedClock clock(makeTime(2026, 3, 2, 9, 5, 59));
    const ProgramDlgLogic dlg(ResourceModule::builtIn(), clock);
    EXPECT_EQ(dlg.dateText(), "02.03.2026");
    EXPECT_EQ(dlg.timeText(), "09:05");
}

// No window yet: the request waits for one, and is taken only once (an
// open window is ended at once: the dialog window's test).
TEST(WaitProgramDlgLogicTest, AnArrivalBeforeTheWindowIsTakenOnce) {
    WaitProgramDlgLogic dlg(ResourceModule::builtIn());
    dlg.reminderArrived();
    EXPECT_EQ(dlg.takePendingEnd(), kIdOk);
    EXPECT_EQ(dlg.takePendingEnd(), 0);
}

}  // namespace
}  // namespace velmora
