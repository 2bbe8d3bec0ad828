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

TEST(SelectActionDlgWidget, EscapeOrEndedFromOutsideWhileOpenOrBeforeItOpens) {
    SelectActionDlgLogic model(ResourceModule::builtIn());
    {
        SelectActionDlg dlg(model);
        QTimer::singleShot(0, &dlg, [&] { model.end(kIdCancel); });
        EXPECT_EQ(dlg.exec(), kIdCancel);
        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
        EXPECT_EQ(dlg.exec(), kIdCancel) << "Escape";
    }
    // After the window is gone an end request waits for the next one.
    model.end(kIdCancel);
    SelectActionDlg dlg(model);
    EXPECT_EQ(dlg.exec(), kIdCancel);
    EXPECT_EQ(model.pendingEnd(), 0);
}

}  // namespace
}  // namespace velmora
