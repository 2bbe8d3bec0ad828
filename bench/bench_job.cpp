// A model-3 programming job and the alarm time report, window included
// (Qt's offscreen platform): the main window on a copy of the database of
// 500 users (bench/scale_fixture.h), the person (50 alarms, 2,000 log
// entries) selected and her own model-3 reminder, simulated in the process,
// plugged in.
// - The job as "Ohjelmoi laite" runs it: the programming table built, the
//   clock check answered once, the table written, the reminder's record,
//   the person's settings and her report stored, and the main window
//   brought up to date and painted. The person answers the closing dialog
//   with Close and the spare offer with No; those dialogs are answered
//   without windows.
// - The alarm time report (40002): the stored report read and written to
//   "raportti.txt" for the desktop's text viewer, which is another program
//   and not started here.
// CPU time; the program's own main makes and ends the one QApplication.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "ui/logic/reminder/programming_report.h"
#include "offscreen_app.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "scale_fixture.h"
#include "silent_host.h"
#include "store/record_store.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "ui/logic/reminder/reminder_commands.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/qt/main_dlg.h"
#include "ui/qt/report_dlg.h"

namespace velmora {
namespace {

constexpr int kUsers = 500;

// The person confirms the clock, closes the result and declines the rest;
// what she is shown is counted. The programming report's window is shown
// and painted, then closed.
class JobHost : public bench::SilentHost {
public:
    void showMessage(const Text&, const Text&, MessageIcon icon) override {
        if (icon == MessageIcon::Error) ++errors;
    }
    int runDialog(DialogModel& d) override {
        if (auto* report = dynamic_cast<AlarmReportDlgLogic*>(&d)) {
            AlarmReportDlg window(*report);
            window.show();
            QApplication::processEvents();
            reportBytes = report->reportText().size();
            return kIdOk;
        }
        return d.templateId() == ProgramDlgLogic::kTemplateId ||
                       d.templateId() == ProgrammingFinishedDlgLogic::kTemplateId
                   ? kIdOk
                   : kIdCancel;
    }
    int errors = 0;
    std::size_t reportBytes = 0;
};

// A private copy of the fixture's database: the job writes to it.
std::filesystem::path jobDirectory() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velmora-bench-job-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(bench::scaleDirectory(kUsers) / kDatabaseFileName, dir / kDatabaseFileName);
    return dir;
}

// The main window over the copy with the person selected and her own
// reminder (serial 100001 in the fixture) plugged in.
struct JobWindow {
    JobWindow() : dir(jobDirectory()), store(dir / kDatabaseFileName) {
        logic = std::make_unique<MainDlgLogic>(store, dir, ResourceModule::builtIn(), host, clock);
        commands = std::make_unique<ReminderCommands>(transport, clock, store, host, ResourceModule::builtIn(), clock,
                                                      logic->user(), *logic, nullptr);
        logic->setCommand(MainDlgLogic::kIdProgram, &commands->program);
        window = std::make_unique<MainDlg>(*logic, ResourceModule::builtIn());
        window->show();
        QApplication::processEvents();
        store.selectUser(logic->user(), bench::kPerson, clock.nowValue(), alarmTablePreparer(store),
                         RecordStore::SaveCurrent::No);
        logic->refresh();
        commands->arrival.deviceEvent(true);
        QApplication::processEvents();
    }
    ~JobWindow() {
        window.reset();
        commands.reset();
        logic.reset();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    FixedClock clock{bench::kBenchToday};
    RecordStore store;
    JobHost host;
    sim::SimulatedReminder reminder{3, 100000 + bench::kPerson};
    sim::SimTransport transport{reminder};
    std::unique_ptr<MainDlgLogic> logic;
    std::unique_ptr<ReminderCommands> commands;
    std::unique_ptr<MainDlg> window;
};

void BM_ProgrammingJobModel3WithWindow(benchmark::State& state) {
    JobWindow w;
    for (auto _ : state) {
        w.logic->command(MainDlgLogic::kIdProgram);
        QApplication::processEvents();
        w.window->repaint();
    }
    if (w.host.errors != 0 || w.reminder.tableInstants().empty() || w.logic->user().is_programming_needed)
        state.SkipWithError("the job failed");
    state.counters["instants"] = static_cast<double>(w.reminder.tableInstants().size());
}
BENCHMARK(BM_ProgrammingJobModel3WithWindow)->Unit(benchmark::kMillisecond);

void BM_OpenAlarmTimeReport(benchmark::State& state) {
    JobWindow w;
    w.logic->command(MainDlgLogic::kIdProgram);  // stores the report shown below
    for (auto _ : state) {
        w.host.reportBytes = 0;
        w.logic->command(cmd::kPrintAlarmReport);
    }
    if (w.host.reportBytes == 0 || std::filesystem::file_size(w.dir / kReportFileName) == 0)
        state.SkipWithError("no report shown");
    else
        state.counters["bytes"] = static_cast<double>(w.host.reportBytes);
}
BENCHMARK(BM_OpenAlarmTimeReport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::bench::runOffscreenBenchmarks(argc, argv); }
