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
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/program_flows.h"
#include "ui/logic/startup_logic.h"
#include "ui/qt/main_dlg.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/reminder_progress.h"

namespace velmora {

// The main window and what it owns, in construction order: the record
// store on the database file, the host of message boxes and dialogs, the
// reminder's USB transport, the flows the window starts, the logic (which
// opens the database and imports legacy files) and the window (whose
// initialisation loads the users and posts 32884). Reminder arrivals and
// removals come from the transport's thread and are queued to the window.
struct MainWindow {
    // `fixedClock` replaces the system clock (screenshots of a chosen day).
    MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory,
               const Clock* fixedClock = nullptr);
    ~MainWindow();

    SystemClock clock;
    RecordStore store;
    QtHost host;
    QtReminderRunner reminderRunner{host};  // the reminder's jobs, on a worker thread
    LibusbTransport usb;
    ProgramFlows flows;
    MainDlgLogic logic;
    std::unique_ptr<MainDlg> window;
};

}  // namespace velmora
