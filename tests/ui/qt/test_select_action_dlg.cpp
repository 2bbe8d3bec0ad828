// The reminder-without-user question on the offscreen platform.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "resources/resource_module.h"
#include "ui/qt/select_action_dlg.h"

namespace velmora {
namespace {

TEST(SelectActionDlgWidget, EachButtonGivesItsResult) {
    for (const char* name : {"createOrChoose", "programWithoutUser"}) {
        SelectActionDlgLogic model(ResourceModule::builtIn());
        SelectActionDlg dlg(model);
        QTimer::singleShot(0, &dlg, [&] {
            QTest::mouseClick(dlg.findChild<QPushButton*>(name), Qt::LeftButton);
        });
        const int result = dlg.exec();
        EXPECT_EQ(result, std::string(name) == "createOrChoose" ? 1 : 1000) << name;
    }
}

// Ending from outside, while open or before, is the same dialog base as the
// reminder wait's and is checked there.
TEST(SelectActionDlgWidget, EscapeCancels) {
    SelectActionDlgLogic model(ResourceModule::builtIn());
    SelectActionDlg dlg(model);
    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(dlg.exec(), kIdCancel);
}

}  // namespace
}  // namespace velmora
