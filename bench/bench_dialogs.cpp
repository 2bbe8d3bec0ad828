// Dialog logic costs on 5,000 users (bench/scale_fixture.h: alarms, log
// and an own reminder each): building the report table from the user list
// as the main window reads it again, writing "report.txt", and opening
// user management (list texts and the selection of the current user).
// The windows themselves are measured in bench_scale.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "core/clock.h"
#include "resources/resource_module.h"
#include "scale_fixture.h"
#include "silent_host.h"
#include "store/record_store.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/reports/report_dlg_logic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kUsers = 5000;

using bench::SilentHost;

struct BenchData {
    std::unique_ptr<RecordStore> store;
    CurrentUser user;

    BenchData() {
        store = std::make_unique<RecordStore>(bench::scaleDirectory(kUsers) / kDatabaseFileName);
        store->reloadUsers(user);
        store->selectUser(user, user.users[kUsers / 2].id, toTimeValue(bench::kBenchToday), {});
    }
};

BenchData& data() {
    static BenchData d;
    return d;
}

void BM_ReportAllUsers(benchmark::State& state) {
    auto& d = data();
    SilentHost host;
    for (auto _ : state) {
        // As the main window opens it: the list read again, deciphered when the report reads it.
        d.store->reloadUsers(d.user);
        ReportDlgLogic dlg(d.user, *d.store, ResourceModule::builtIn(), host, 0);
        benchmark::DoNotOptimize(dlg.reportText().size());
    }
    state.counters["users"] = static_cast<double>(d.user.users.size());
}
BENCHMARK(BM_ReportAllUsers)->Unit(benchmark::kMillisecond);

void BM_ReportNeedingProgramming(benchmark::State& state) {
    auto& d = data();
    SilentHost host;
    ReportDlgLogic dlg(d.user, *d.store, ResourceModule::builtIn(), host, 0);
    for (auto _ : state) {
        dlg.showNeedingProgramming();
        benchmark::DoNotOptimize(dlg.reportText().size());
    }
}
BENCHMARK(BM_ReportNeedingProgramming)->Unit(benchmark::kMillisecond);

void BM_WriteReportFile(benchmark::State& state) {
    auto& d = data();
    SilentHost host;
    ReportDlgLogic dlg(d.user, *d.store, ResourceModule::builtIn(), host, 0);
    for (auto _ : state) benchmark::DoNotOptimize(dlg.writeReportFile());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(dlg.reportText().size()));
}
BENCHMARK(BM_WriteReportFile)->Unit(benchmark::kMillisecond);

void BM_OpenUserManagement(benchmark::State& state) {
    auto& d = data();
    SilentHost host;
    SystemClock clock;
    for (auto _ : state) {
        ProfileDlgLogic dlg(d.user, *d.store, ResourceModule::builtIn(), host, clock);
        std::size_t chars = 0;
        for (int i = 0; i < dlg.count(); ++i) chars += dlg.entryText(i).size();
        benchmark::DoNotOptimize(chars);
        benchmark::DoNotOptimize(dlg.selection());
    }
}
BENCHMARK(BM_OpenUserManagement)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
