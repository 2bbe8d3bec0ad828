// Texts and the ending from outside of the reminder flows' dialogs.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "dialog_test_support.h"
#include "resources/resource_module.h"
#include "ui/logic/device_dialogs_logic.h"

namespace velmora {
namespace {

TEST(ProgramDlgLogicTest, TextsAndTheClock) {
    FixedClock clock(makeTime(2026, 3, 2, 9, 5, 59));
    ProgramDlgLogic dlg(ResourceModule::builtIn(), clock);
    using P = ProgramDlgLogic;
    dialogtest::expectTexts(
        dlg, 159, "Ohjelmoi laite",
        {{P::kIdInstructions,
          "Tarkista että tietokoneen päiväys ja kellonaika ovat oikeassa. Päiväyksen ja kellonajan "
          "voit muuttaa Windowsin asetuksista."},
         {P::kIdDateCaption, "Päiväys:"}, {P::kIdTimeCaption, "Kellonaika:"}, {kIdOk, "Ohjelmoi"},
         {kIdCancel, "Peruuta"}, {P::kIdDate, ""}});
    EXPECT_EQ(dlg.dateText(), "02.03.2026");
    EXPECT_EQ(dlg.timeText(), "09:05");
    clock.advanceSeconds(1);
    EXPECT_EQ(dlg.timeText(), "09:06");
    clock.set(makeTime(2027, 1, 1, 0, 0));
    EXPECT_EQ(dlg.dateText(), "01.01.2027");
}

TEST(ProgrammingFinishedDlgLogicTest, TextsAndResult) {
    ProgrammingFinishedDlgLogic dlg(ResourceModule::builtIn(), "Käyttäjän Aino laite ohjelmoitu!");
    dialogtest::expectTexts(dlg, 204, "Vahvistus",
                            {{1001, "Tulosta hälytysaikaraportti"}, {kIdOk, "Sulje"},
                             {1003, "Käyttäjän Aino laite ohjelmoitu!"}});
}

TEST(WaitProgramDlgLogicTest, EndsWhenTheSpareArrivesEvenBeforeItIsShown) {
    WaitProgramDlgLogic dlg(ResourceModule::builtIn());
    EXPECT_EQ(dlg.templateId(), 182);
    EXPECT_EQ(dlg.controlText(57747), "Kytke varalaite");
    EXPECT_EQ(dlg.controlText(kIdCancel), "Peruuta");

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
