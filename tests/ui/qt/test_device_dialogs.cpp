// The reminder flows' dialogs on the offscreen platform.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "ui/qt/device_dialogs.h"
#include "ui/qt/qt_host.h"

namespace velmora {
namespace {

TEST(ProgramDlgWindow, ShowsTheClockAndRefreshesItEverySecond) {
    FixedClock clock(makeTime(2026, 3, 2, 9, 5));
    ProgramDlgLogic model(ResourceModule::builtIn(), clock);
    ProgramDlg dlg(model);
    dlg.show();
    EXPECT_EQ(dlg.findChild<QLabel*>("time")->text(), "09:05");
    auto* timer = dlg.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    clock.set(makeTime(2026, 3, 2, 9, 6));
    QTest::qWait(1150);  // the next tick of the one-second timer
    EXPECT_EQ(dlg.findChild<QLabel*>("time")->text(), "09:06");
    QTest::mouseClick(dlg.findChild<QPushButton*>("program"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), kIdOk);
    EXPECT_FALSE(timer->isActive()) << "closing stops the timer";
}

TEST(ProgrammingFinishedDlgWindow, ReportButtonEndsWith1001) {
    ProgrammingFinishedDlgLogic model(ResourceModule::builtIn(), "Laite ohjelmoitu!");
    ProgrammingFinishedDlg dlg(model);
    dlg.show();
    EXPECT_EQ(dlg.findChild<QLabel*>("result")->text(), "Laite ohjelmoitu!");
    QTest::mouseClick(dlg.findChild<QPushButton*>("report"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), 1001);
}

TEST(WaitProgramDlgWindow, ArrivalEndsTheRunningDialogWithOk) {
    QtHost host(ResourceModule::builtIn());
    WaitProgramDlgLogic model(ResourceModule::builtIn());
    QTimer::singleShot(50, [&] { model.reminderArrived(); });
    EXPECT_EQ(host.runDialog(model), kIdOk);

    // Ended (reminder removed) before the window came up: it closes at once.
    model.end(kIdCancel);
    EXPECT_EQ(host.runDialog(model), kIdCancel);
}

}  // namespace
}  // namespace velmora
