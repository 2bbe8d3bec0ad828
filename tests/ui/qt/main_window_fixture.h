#pragma once
// The main window of the widget tests: shown on the offscreen platform,
// with its logic and host, on a database in a temporary directory, at
// Monday 2 March 2026 09:00; its controls found by name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "../logic/dialog_test_support.h"
#include "core/clock.h"
#include "resources/resource_module.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/users/user_management.h"
#include "ui/qt/main_dlg.h"
#include "ui/qt/qt_host.h"
#include "core/datetime.h"
#include "qt_test_support.h"
#include "resources/string_ids.h"

namespace velmora::qttest {

class MainWindowFixture : public ::testing::Test {
protected:
    // Opens a new window (an open one goes first, before the logic and the
    // host it uses) with its user management, and the calendar's alarm
    // requests going to `alarms` when given.
    MainDlg& open(const ResourceModule& resources = ResourceModule::builtIn(), AlarmRequests* alarms = nullptr) {
        window_.reset();
        users_.reset();
        logic_.reset();
        host_ = std::make_unique<QtHost>(resources, DesktopPrograms{"true", "true"});
        logic_ = std::make_unique<MainDlgLogic>(db_.store(), db_.dir(), resources, *host_, clock_);
        users_ = std::make_unique<UserManagementCommand>(
            UserManagementContext{logic_->user(), db_.store(), resources, *host_, clock_, service_, *logic_,
                                  alarmTablePreparer(db_.store()), {}});
        for (int id : {MainDlgLogic::kIdChooseUser, cmd::kUserManagement}) logic_->setCommand(id, users_.get());
        logic_->setAlarmRequests(alarms);
        window_ = std::make_unique<MainDlg>(*logic_, resources);
        host_->setParentWindow(window_.get());
        window_->show();
        QApplication::processEvents();
        return *window_;
    }
    void TearDown() override { window_.reset(); }
    // Makes the stored user current behind the window's back and shows it.
    void makeCurrent(int id) {
        db_.store().selectUser(logic_->user(), id, clock_.nowValue(), {}, RecordStore::SaveCurrent::No);
        logic_->markMonthStale();
        logic_->refresh();
    }
    template <class W>
    W* control(const char* name) {
        return window_->findChild<W*>(name);
    }

    dialogtest::TempDatabase db_;
    FixedClock clock_{makeTime(2026, 3, 2, 9, 0)};
    std::unique_ptr<QtHost> host_;
    std::unique_ptr<MainDlgLogic> logic_;
    ServiceAccess service_;
    std::unique_ptr<UserManagementCommand> users_;
    std::unique_ptr<MainDlg> window_;
};

}  // namespace velmora::qttest
