// History window on the offscreen platform: the lines and the totals.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/qt/log_dlg.h"

namespace velmora {
namespace {

TimeValue at(int d, int h, int mi) { return toTimeValue(makeTime(2026, 3, d, h, mi)); }

TEST(LogDlgWidget, ShowsTheLinesAndTheTotals) {
    CurrentUser user;
    user.history[at(5, 8, 0)] = {at(5, 8, 0), at(5, 8, 2), kStatusAcknowledged};
    user.history[at(5, 20, 0)] = {at(5, 20, 0), at(5, 20, 50), kStatusAcknowledgedLate};
    user.history[at(6, 8, 0)] = {at(6, 8, 0), 0, kStatusForgotten};
    user.history[at(6, 20, 0)] = {at(6, 20, 0), 0, kStatusNotAlarmed};
    LogDlgLogic model(user, ResourceModule::builtIn());
    LogDlg dlg(model);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Hälytyshistoria"));
    auto* list = dlg.findChild<QListWidget*>("history");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(1)->text(),
              QString::fromUtf8("05.03.2026 20:00 - kuitattu myöhässä: 05.03.2026 20:50"));
    EXPECT_EQ(list->item(3)->text(), QString::fromUtf8("06.03.2026 20:00 - ei hälytetty"));

    auto number = [&](const char* name) {
        auto* label = dlg.findChild<QLabel*>(name);
        return label != nullptr ? label->text() : QString("missing");
    };
    EXPECT_EQ(number("total"), "4");
    EXPECT_EQ(number("acknowledged"), "1");
    EXPECT_EQ(number("late"), "1");
    EXPECT_EQ(number("forgotten"), "1");

    auto* close = dlg.findChild<QPushButton*>("close");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QString::fromUtf8("Sulje"));
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), kIdOk);
}

TEST(LogDlgWidget, EmptyHistoryShowsZerosAndEscapeCloses) {
    CurrentUser user;
    LogDlgLogic model(user, ResourceModule::builtIn());
    LogDlg dlg(model);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.findChild<QListWidget*>("history")->count(), 0);
    for (const char* name : {"total", "acknowledged", "late", "forgotten"})
        EXPECT_EQ(dlg.findChild<QLabel*>(name)->text(), "0") << name;
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), kIdCancel);
}

}  // namespace
}  // namespace velmora
