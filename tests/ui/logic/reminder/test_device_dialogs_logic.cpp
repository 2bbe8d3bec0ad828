// Texts and the ending from outside of the reminder flows' dialogs.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {
namespace {

TEST(ProgramDlgLogicTest, TheClock) {
    FixedClock clock(makeTime(2026, 3, 2, 9, 5, 59));
    ProgramDlgLogic dlg(ResourceModule::builtIn(), clock);
    EXPECT_EQ(dlg.dateText(), "02.03.2026");
    EXPECT_EQ(dlg.timeText(), "09:05");
    clock.advanceSeconds(1);
    EXPECT_EQ(dlg.timeText(), "09:06");
    clock.set(makeTime(2027, 1, 1, 0, 0));
    EXPECT_EQ(dlg.dateText(), "01.01.2027");
}

TEST(WaitProgramDlgLogicTest, EndsWhenTheSpareArrivesEvenBeforeItIsShown) {
    WaitProgramDlgLogic dlg(ResourceModule::builtIn());
    // No window yet: the request waits for one, and is taken only once.
    dlg.reminderArrived();
    EXPECT_EQ(dlg.takePendingEnd(), kIdOk);
    EXPECT_EQ(dlg.takePendingEnd(), 0);

    std::vector<int> ended;
    dlg.setEndListener([&](int r) { ended.push_back(r); });
    dlg.end(kIdCancel);
    dlg.reminderArrived();
    EXPECT_EQ(ended, (std::vector<int>{kIdCancel, kIdOk}));
    EXPECT_EQ(dlg.takePendingEnd(), 0);
}

}  // namespace
}  // namespace velmora
