// Report window on the offscreen platform.
#include <gtest/gtest.h>

#include <QListView>
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
    const Text longName(60, 'W');
    db.addUser(longName, "030303-345C");
    ASSERT_TRUE(db.store().saveDevice({5, DeviceRecord::kOwn, toTimeValue(makeTime(2026, 3, 1, 10, 5)),
                                       toTimeValue(makeTime(2026, 4, 12, 20, 0)), 0},
                                      aino));
    ScriptedHost host;
    ReportDlgLogic model(db.user, db.store(), ResourceModule::builtIn(), host, 0);
    ReportDlg dlg(model);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    auto* view = dlg.findChild<QListView*>("report");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->font().fixedPitch());
    // The shown rows, a line each, as the window holds them.
    const auto shown = [view] {
        QStringList rows;
        for (int r = 0; r < view->model()->rowCount(); ++r) rows << view->model()->index(r, 0).data().toString();
        return rows.join('\n');
    };
    const QString all = shown();
    EXPECT_EQ(all + "\n", QString::fromStdString(model.reportText()).replace("\r\n", "\n"));
    // Every row is as wide as the longest, which a long name pushes out.
    const QString longest = all.split('\n').filter(QString::fromStdString(longName)).front();
    EXPECT_GE(view->model()->index(0, 0).data(Qt::SizeHintRole).toSize().width(),
              QFontMetrics(view->font()).horizontalAdvance(longest));

    QTest::mouseClick(dlg.findChild<QPushButton*>("showNeedingProgramming"), Qt::LeftButton);
    EXPECT_FALSE(shown().contains("Aino"));

    QTest::mouseClick(dlg.findChild<QPushButton*>("openInViewer"), Qt::LeftButton);
    EXPECT_EQ(host.opened.size(), 1u);
    EXPECT_TRUE(dlg.isVisible());

    QTest::mouseClick(dlg.findChild<QPushButton*>("showAll"), Qt::LeftButton);
    EXPECT_EQ(shown(), all);

    QTest::mouseClick(dlg.findChild<QPushButton*>("ok"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), kIdOk);
}

}  // namespace
}  // namespace velmora
