// What a person sees, window included (Qt's offscreen platform), as the
// database grows: selecting a person and painting the month, opening her
// history, and opening the users-and-reminders report, each among 500,
// 5,000 and 50,000 users (bench/scale_fixture.h), beside the raw reads of
// the same rows on one open connection. The history of 10,000 entries is
// measured on its own. CPU time; the program's own main makes and ends
// the one QApplication.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <QListView>
#include <memory>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "scale_fixture.h"
#include "silent_host.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "startup.h"
#include "ui/logic/history/log_dlg_logic.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "offscreen_app.h"
#include "ui/qt/log_dlg.h"
#include "ui/qt/main_dlg.h"
#include "ui/qt/report_dlg.h"
#include "ui/qt/work_list_dock.h"

namespace velmora {
namespace {

using bench::Encoding;
using bench::kPerson;

using bench::SilentHost;

// Steps a statement to its end, touching every column of every row.
std::int64_t rawQuery(sqlite3* h, const char* sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    std::int64_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0, n = sqlite3_column_count(st); i < n; ++i)
            sum += sqlite3_column_type(st, i) == SQLITE_TEXT ? sqlite3_column_bytes16(st, i) : sqlite3_column_int(st, i);
    }
    sqlite3_finalize(st);
    return sum;
}

struct RawConnection {
    sqlite3* h = nullptr;
    explicit RawConnection(const std::filesystem::path& db) { sqlite3_open(db.c_str(), &h); }
    ~RawConnection() { sqlite3_close(h); }
};

// The main window shown on the database of `users` users, nobody selected.
std::unique_ptr<MainWindow> shownWindow(int users) {
    const std::filesystem::path dir = bench::scaleDirectory(users);
    auto main = std::make_unique<MainWindow>(ResourceModule::builtIn(), dir);
    main->window->show();
    QApplication::processEvents();
    return main;
}

// Selecting the person as user management does, then the window brought
// up to date and painted (the month view is the one shown).
void selectAndPaint(MainWindow& main, int id) {
    main.store.selectUser(main.logic.user(), id, main.clock.nowValue(), alarmTablePreparer(main.store),
                          RecordStore::SaveCurrent::No);
    main.logic.markMonthStale();
    main.logic.refresh();
    main.window->repaint();
}

void BM_SelectPersonAndPaint(benchmark::State& state) {
    const auto main = shownWindow(static_cast<int>(state.range(0)));
    main->logic.selectTab(MainDlgLogic::kTabMonth);
    for (auto _ : state) {
        selectAndPaint(*main, kPerson);
        state.PauseTiming();
        closeCurrentUser(main->logic.user());
        state.ResumeTiming();
    }
    if (main->logic.user().history.size() != 0) state.SkipWithError("not closed");
    state.counters["users"] = static_cast<double>(state.range(0));
}

// The person's rows that a selection reads, on one open connection.
void BM_RawSelectPersonRows(benchmark::State& state) {
    RawConnection c(bench::scaleDirectory(static_cast<int>(state.range(0))) / kDatabaseFileName);
    for (auto _ : state) {
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Profiles WHERE id = 1;"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Alarms WHERE owner_id = 1;"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Log WHERE owner_id = 1;"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Devices WHERE owner_id = 1 AND device_type = 0;"));
    }
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// The history window of `user` built, shown, laid out and painted as the
// event loop paints it, until nothing more is pending; the list's paints
// per opening are counted.
void openHistory(benchmark::State& state, const CurrentUser& user) {
    PaintCounter counter;
    for (auto _ : state) {
        LogDlgLogic model(user, ResourceModule::builtIn(), toTimeValue(bench::kBenchToday));
        LogDlg dlg(model);
        auto* list = dlg.findChild<QListView*>("history");
        list->viewport()->installEventFilter(&counter);
        dlg.show();
        QApplication::processEvents();
        QApplication::processEvents();
        state.PauseTiming();
        dlg.hide();
        state.ResumeTiming();
    }
    if (counter.paints == 0) state.SkipWithError("the list was not painted");
    state.counters["entries"] = static_cast<double>(user.history.size());
    state.counters["list_paints"] = static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
}

void BM_OpenHistoryAmongUsers(benchmark::State& state) {
    const auto main = shownWindow(static_cast<int>(state.range(0)));
    selectAndPaint(*main, kPerson);
    openHistory(state, main->logic.user());
}

// A history of `range(0)` entries alone: 10,000 against 1 shows what the
// window costs whatever the history's size.
void BM_OpenHistoryEntries(benchmark::State& state) {
    CurrentUser user;
    user.name = "Aino";
    const TimeValue now = toTimeValue(bench::kBenchToday);
    const int n = static_cast<int>(state.range(0));
    for (int i = 0; i < n; ++i) {
        const TimeValue t = now - (n - i) * 9600;
        const int status = i % 9 == 0 ? 3 : (i % 5 == 0 ? 5 : 4);
        user.history[t] = LogEntry{t, status == 3 ? 0 : t + 300, status};
    }
    openHistory(state, user);
}

// The report as the main window opens it: the user list read again (and
// deciphered when the report reads it), every own reminder read, the text
// built and the window shown and painted.
void BM_OpenReport(benchmark::State& state) {
    const auto main = shownWindow(static_cast<int>(state.range(0)));
    SilentHost host;
    std::size_t rows = 0;
    for (auto _ : state) {
        main->store.reloadUsers(main->logic.user());
        ReportDlgLogic model(main->logic.user(), main->store, ResourceModule::builtIn(), host,
                             main->clock.nowValue());
        ReportDlg dlg(model);
        dlg.show();
        QApplication::processEvents();
        dlg.repaint();
        rows = model.reportText().size();
        state.PauseTiming();
        dlg.hide();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(rows);
}

// The report's rows (every user with its own reminder), on one open connection.
void BM_RawReportRows(benchmark::State& state) {
    RawConnection c(bench::scaleDirectory(static_cast<int>(state.range(0))) / kDatabaseFileName);
    for (auto _ : state)
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT p.*, d.* FROM Profiles p LEFT JOIN Devices d "
                                               "ON d.owner_id = p.id AND d.device_type = 0;"));
}

// Opening the work list among 5,000 users: every user's reminder state read
// in one statement, the rows built and sorted by the date the reminder runs out.
void BM_WorkListOpen_5000Users(benchmark::State& state) {
    RecordStore store(bench::scaleDirectory(5000) / kDatabaseFileName);
    FixedClock clock(bench::kBenchToday);
    WorkListLogic list(store, ResourceModule::builtIn(), clock, {}, nullptr);
    for (auto _ : state) list.reload();
    state.counters["rows"] = static_cast<double>(list.rows().size());
}

// The same with the dock's table filled from the rows and painted.
void BM_WorkListOpenShown_5000Users(benchmark::State& state) {
    RecordStore store(bench::scaleDirectory(5000) / kDatabaseFileName);
    FixedClock clock(bench::kBenchToday);
    WorkListLogic list(store, ResourceModule::builtIn(), clock, {}, nullptr);
    WorkListDock dock(list, ResourceModule::builtIn());
    dock.resize(900, 300);
    for (auto _ : state) {
        list.setVisible(true);
        QApplication::processEvents();
        dock.repaint();
        state.PauseTiming();
        list.setVisible(false);
        list.recordsChanged();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(list.rows().size());
}

#define VELMORA_SIZES ->Arg(1)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_SelectPersonAndPaint) VELMORA_SIZES;
BENCHMARK(BM_RawSelectPersonRows) VELMORA_SIZES;
BENCHMARK(BM_OpenHistoryAmongUsers) VELMORA_SIZES;
BENCHMARK(BM_OpenHistoryEntries)->Arg(1)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenReport) VELMORA_SIZES;
BENCHMARK(BM_RawReportRows) VELMORA_SIZES;
BENCHMARK(BM_WorkListOpen_5000Users)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkListOpenShown_5000Users)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::bench::runOffscreenBenchmarks(argc, argv); }
