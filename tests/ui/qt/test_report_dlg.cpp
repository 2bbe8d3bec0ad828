// Report window on the offscreen platform.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "../logic/dialog_test_support.h"
#include "resources/resource_module.h"
#include "ui/qt/report_dlg.h"

namespace velmora {
namespace {

using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;

TEST(ReportDlgWidget, ShowsAllOrOnlyTheUsersNeedingProgrammingAndOpensTheFile) {
    TempDatabase db;
    const int aino = db.addUser("Aino", "010101-123A");
    db.addUser("Bertta", "020202-234B", true);
    ASSERT_TRUE(db.store().saveDevice({5, DeviceRecord::kOwn, toTimeValue(makeTime(2026, 3, 1, 10, 5)),
                                       toTimeValue(makeTime(2026, 4, 12, 20, 0)), 0},
                                      aino));
    ScriptedHost host;
    ReportDlgLogic model(db.user, db.store(), ResourceModule::builtIn(), host, 0);
    ReportDlg dlg(model);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    auto* text = dlg.findChild<QPlainTextEdit*>("report");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->font().fixedPitch());
    EXPECT_TRUE(text->toPlainText().contains("Aino"));
    EXPECT_FALSE(text->toPlainText().contains('\r'));

    QTest::mouseClick(dlg.findChild<QPushButton*>("showNeedingProgramming"), Qt::LeftButton);
    EXPECT_FALSE(text->toPlainText().contains("Aino"));

    QTest::mouseClick(dlg.findChild<QPushButton*>("openInViewer"), Qt::LeftButton);
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened[0], (db.dir() / "report.txt").string());
    EXPECT_TRUE(dlg.isVisible());

    QTest::mouseClick(dlg.findChild<QPushButton*>("showAll"), Qt::LeftButton);
    EXPECT_TRUE(text->toPlainText().contains("Aino"));

    auto* ok = dlg.findChild<QPushButton*>("ok");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), kIdOk);
}

}  // namespace
}  // namespace velmora
