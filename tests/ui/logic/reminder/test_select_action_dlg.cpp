// The question shown for a reminder without a user.
#include <gtest/gtest.h>

#include "resources/resource_module.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"

namespace velmora {
namespace {

TEST(SelectActionDlgLogic, Results) {
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1), 1);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1000), 1000);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(kIdCancel), 2);
    EXPECT_EQ(SelectActionDlgLogic::resultOf(1001), -1);
}

}  // namespace
}  // namespace velmora
