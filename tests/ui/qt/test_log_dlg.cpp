// History window on the offscreen platform. The main window's test reads
// the lines and totals of a real history through it; here the buttons.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include "resources/resource_module.h"
#include "ui/qt/log_dlg.h"

namespace velmora {
namespace {

TEST(LogDlgWidget, EmptyHistoryShowsZerosCloseGivesOkAndEscapeCancel) {
    CurrentUser user;
    LogDlgLogic model(user, ResourceModule::builtIn());
    for (bool escape : {false, true}) {
        LogDlg dlg(model);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        EXPECT_EQ(dlg.findChild<QListView*>("history")->model()->rowCount(), 0);
        for (const char* name : {"total", "acknowledged", "late", "forgotten"})
            EXPECT_EQ(dlg.findChild<QLabel*>(name)->text(), "0") << name;
        if (escape) QTest::keyClick(&dlg, Qt::Key_Escape);
        else QTest::mouseClick(dlg.findChild<QPushButton*>("close"), Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), escape ? kIdCancel : kIdOk);
    }
}

}  // namespace
}  // namespace velmora
