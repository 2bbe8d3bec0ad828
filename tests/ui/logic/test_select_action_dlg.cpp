// The question shown for a reminder without a user.
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "resources/resource_module.h"
#include "ui/logic/select_action_dlg_logic.h"

namespace velmora {
namespace {

TEST(SelectActionDlgLogic, TextsAndResults) {
    SelectActionDlgLogic dlg(ResourceModule::builtIn());
    using S = SelectActionDlgLogic;
    dialogtest::expectTexts(
        dlg, 199, "Valitse",
        {{S::kIdMessage, "Laitteelle ei löytynyt käyttäjätietoja. Valitse toiminto tai irrota laite."},
         {S::kIdCreateOrChoose, "Luo tai valitse laitteelle käyttäjä"},
         {S::kIdProgramWithoutUser, "Ohjelmoi ilman käyttäjää"}});
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1), 1);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1000), 1000);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(kIdCancel), 2);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1001), -1);
}

TEST(SelectActionDlgLogic, EndingFromOutsideReachesTheOpenDialogOrWaitsForIt) {
    SelectActionDlgLogic dlg(ResourceModule::builtIn());
    // Ended before the window exists: remembered once.
    dlg.end(kIdCancel);
    EXPECT_EQ(dlg.pendingEnd(), kIdCancel);
    EXPECT_EQ(dlg.takePendingEnd(), kIdCancel);
    EXPECT_EQ(dlg.takePendingEnd(), 0);

    std::vector<int> ended;
    dlg.setEndListener([&](int r) { ended.push_back(r); });
    dlg.end(kIdCancel);
    EXPECT_EQ(ended, std::vector<int>{kIdCancel});
    EXPECT_EQ(dlg.pendingEnd(), 0);
}

}  // namespace
}  // namespace velmora
