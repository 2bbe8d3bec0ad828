#pragma once
// The program's start-up: the checks before Qt starts, and the main window
// with everything it owns.
#include <filesystem>
#include <memory>
#include <string>

#include "core/clock.h"
#include "device/libusb_transport.h"
#include "resources/resource_module.h"
#include "store/record_store.h"
#include "ui/logic/about_dlg_logic.h"
#include "ui/logic/account/account_flow.h"
#include "ui/logic/account/backup_flow.h"
#include "ui/logic/calendar/alarm_edit_flow.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/plan/dose_plan_dlg_logic.h"
#include "ui/logic/pouch/pouch_flow.h"
#include "ui/logic/reminder/reminder_commands.h"
#include "ui/logic/reports/report_commands.h"
#include "ui/logic/startup_logic.h"
#include "ui/logic/user_manual.h"
#include "ui/logic/users/user_management.h"
#include "ui/logic/worklist/work_list.h"
#include "ui/qt/main_dlg.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/reminder_progress.h"

namespace velmora {

struct MainWindow;

// The main window's commands, each built with what it works on, and the
// seams of the window they fill (the sign-in at start-up, the calendar's
// alarm requests). Registered with the window while they exist.
struct MainDlgCommands {
    MainDlgCommands(MainWindow& main, const ResourceModule& strings, const std::filesystem::path& dataDirectory);
    ~MainDlgCommands();
    MainDlgCommands(const MainDlgCommands&) = delete;
    MainDlgCommands& operator=(const MainDlgCommands&) = delete;

    AccountContext account;
    AccountCommand accountDialog;
    ChangePasswordCommand changePassword;
    WebPageCommand updatePage;
    WebPageCommand registrationPage;
    BackupCommand backup;
    FetchPouchCommand fetchPouch;
    UpdateAllPouchCommand updateAllPouch;
    AlarmEditFlow alarmEditing;
    // User management's context: its dialog and the work list choose users the same way.
    UserManagementContext users;
    UserManagementCommand userManagement;
    AlarmReportCommand alarmReport;
    StoredAlarmReportCommand alarmReportOnPaper;
    StoredAlarmReportCommand alarmReportAsPdf;
    ReportCommand report;
    DosePlanCommand dosePlan;
    UserManualCommand userManual;
    AboutCommand about;
    WorkListLogic workList;
    WorkListCommand showWorkList;

private:
    MainDlgLogic& logic_;
};

// The main window and what it owns, in construction order: the record
// store on the database file, the host of message boxes and dialogs, the
// reminder's USB transport, the logic (which opens the database and
// imports legacy files), the web service, the reminder's commands, the
// other commands and the window (whose initialisation loads the users and starts it).
// Reminder arrivals and removals come from the transport's thread and are
// queued to the window.
struct MainWindow {
    // `fixedClock` replaces the system clock (screenshots of a chosen day).
    MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory,
               const Clock* fixedClock = nullptr);
    ~MainWindow();
    // Another web service for every command (its sign-in stays the account
    // dialog's); a pouch request out to the earlier one is dropped.
    void useService(ServiceAccess access);

    SystemClock clock;
    RecordStore store;
    QtHost host;
    QtReminderRunner reminderRunner{host};  // the reminder's jobs, on a worker thread
    LibusbTransport usb;
    MainDlgLogic logic;
    ServiceAccess service;
    std::unique_ptr<ReminderCommands> reminder;
    std::unique_ptr<MainDlgCommands> commands;
    std::unique_ptr<MainDlg> window;
};

}  // namespace velmora
