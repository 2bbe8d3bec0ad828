// The dialogs on the offscreen platform: their buttons and Escape end them
// with their results, the reminder dialogs follow the clock and the
// reminder, and a screen reader has a name for every control.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "../logic/dialog_test_support.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/account_dialogs.h"
#include "ui/qt/alarm_dlg.h"
#include "ui/qt/backup_dlg.h"
#include "ui/qt/delete_dose_dlg.h"
#include "ui/qt/device_dialogs.h"
#include "ui/qt/log_dlg.h"
#include "ui/qt/pouch_bulk_dlg.h"
#include "ui/qt/profile_dlg.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/report_dlg.h"
#include "qt_test_support.h"
#include "ui/qt/select_action_dlg.h"

namespace velmora {
namespace {

// A dialog with a model of its own that lives as long as the dialog.
template <class Dlg, class Model>
struct OwnDialog {
    template <class... A>
    explicit OwnDialog(A&&... a) : model(std::forward<A>(a)...), dlg(model) {}
    Model model;
    Dlg dlg;
};
template <class Dlg, class Model, class... A>
std::shared_ptr<QDialog> ownDialog(A&&... a) {
    auto both = std::make_shared<OwnDialog<Dlg, Model>>(std::forward<A>(a)...);
    return {both, &both->dlg};
}

TEST(DialogWindows, EachButtonAndEscapeEndWithTheirResult) {
    const ResourceModule& fi = ResourceModule::builtIn();
    const CurrentUser user;
    const auto select = [&] { return ownDialog<SelectActionDlg, SelectActionDlgLogic>(fi); };
    const auto finished = [&] { return ownDialog<ProgrammingFinishedDlg, ProgrammingFinishedDlgLogic>(fi, "Valmis"); };
    const auto history = [&] { return ownDialog<LogDlg, LogDlgLogic>(user, fi); };
    EXPECT_EQ(finished()->findChild<QLabel*>("result")->text(), "Valmis");
    struct WayOut {
        std::function<std::shared_ptr<QDialog>()> make;
        const char* button;  // nullptr: Escape
        int result;
    };
    for (const auto& [make, button, result] : std::vector<WayOut>{
             {select, "createOrChoose", 1}, {select, "programWithoutUser", 1000}, {select, nullptr, kIdCancel},
             {finished, "report", ProgrammingFinishedDlgLogic::kIdReport}, {finished, "close", kIdOk},
             {history, "close", kIdOk}, {history, nullptr, kIdCancel}}) {
        const std::shared_ptr<QDialog> dlg = make();
        QTimer::singleShot(0, dlg.get(), [&] {
            if (button) QTest::mouseClick(dlg->findChild<QPushButton*>(button), Qt::LeftButton);
            else QTest::keyClick(dlg.get(), Qt::Key_Escape);
        });
        EXPECT_EQ(dlg->exec(), result) << dlg->objectName().toStdString() << " " << (button ? button : "Escape");
    }
}

TEST(ProgramDlgWindow, ShowsTheClockAndRefreshesItEverySecond) {
    FixedClock clock(makeTime(2026, 3, 2, 9, 5));
    ProgramDlgLogic model(ResourceModule::builtIn(), clock);
    ProgramDlg dlg(model);
    dlg.show();
    auto* time = dlg.findChild<QLabel*>("time");
    EXPECT_EQ(time->text(), "09:05");
    auto* timer = dlg.findChild<QTimer*>();
    clock.set(makeTime(2026, 3, 2, 9, 6));
    QTest::qWait(1150);  // the next tick of the one-second timer
    EXPECT_EQ(time->text(), "09:06");
    QTest::mouseClick(dlg.findChild<QPushButton*>("program"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), kIdOk);
    EXPECT_FALSE(timer->isActive()) << "closing stops the timer";
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

TEST(DialogWindows, EveryControlHasANameForScreenReaders) {
    const ResourceModule& fi = ResourceModule::builtIn();
    dialogtest::TempDatabase db;
    db.store().selectUser(db.user, db.addUser("Aino", "120345-123A"), 0, {}, RecordStore::SaveCurrent::No);
    dialogtest::ScriptedHost host;
    const FixedClock clock(makeTime(2026, 3, 2, 9, 0));
    const ServiceAccess access;
    const AccountContext account{db.user, db.store(), fi, host, access};
    AlarmDlgLogic::Setup alarm;
    alarm.start = alarm.end = makeTime(2026, 3, 3, 8, 0);
    const std::vector<std::pair<const char*, std::shared_ptr<QDialog>>> dialogs = {
        {"profile", ownDialog<ProfileDlg, ProfileDlgLogic>(db.user, db.store(), fi, host, clock)},
        {"history", ownDialog<LogDlg, LogDlgLogic>(db.user, fi)},
        {"report", ownDialog<ReportDlg, ReportDlgLogic>(db.user, db.store(), fi, host, 0)},
        {"alarm report", ownDialog<AlarmReportDlg, AlarmReportDlgLogic>("08:00", fi, host)},
        {"select action", ownDialog<SelectActionDlg, SelectActionDlgLogic>(fi)},
        {"about", ownDialog<AboutDlg, AboutDlgLogic>(fi)},
        {"alarm", ownDialog<AlarmDlg, AlarmDlgLogic>(alarm, std::vector<Alarm>{}, fi, host, clock,
                                                     buildDaylightTable(clock.localNow()))},
        {"delete dose", ownDialog<DeleteDoseDlg, DeleteDoseDlgLogic>(fi, alarm.start)},
        {"program", ownDialog<ProgramDlg, ProgramDlgLogic>(fi, clock)},
        {"programmed", ownDialog<ProgrammingFinishedDlg, ProgrammingFinishedDlgLogic>(fi, "Valmis")},
        {"wait", ownDialog<WaitProgramDlg, WaitProgramDlgLogic>(fi)},
        {"backup", ownDialog<BackupDlg, BackupDlgLogic>(db.user, db.store(), fi, host, clock, access)},
        {"pouch", ownDialog<PouchBulkDlg, PouchBulkDlgLogic>(db.user, db.store(), fi, host, access,
                                                             PouchConversion{})},
        {"account", ownDialog<AccountDlg, AccountDlgLogic>(account)},
        {"sign in", ownDialog<LoginDlg, LoginDlgLogic>(account)},
        {"password", ownDialog<LoginPwDlg, LoginPwDlgLogic>(db.user, fi, host)},
        {"change password", ownDialog<ChangePasswordDlg, ChangePasswordDlgLogic>(account)},
    };
    for (const auto& [name, dlg] : dialogs) {
        dlg->show();
        EXPECT_EQ(qttest::unnamedControls(dlg.get()).join(", ").toStdString(), "") << name;
    }
}

}  // namespace
}  // namespace velmora
