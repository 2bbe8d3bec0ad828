// Dialog costs on 5,000 users, each with an own reminder: building the
// report table (one reminder lookup per user, each on its own connection),
// writing "report.txt", and opening user management (list texts and the
// selection of the current user).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "store/record_store.h"
#include "store/startup.h"
#include "support/temp_dir.h"
#include "ui/logic/profile_dlg_logic.h"
#include "ui/logic/report_dlg_logic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kUsers = 5000;

class SilentHost : public UiHost {
public:
    void showMessage(const Text&, const Text&, MessageIcon) override {}
    bool askYesNo(const Text&, const Text&) override { return false; }
    int runDialog(DialogModel&) override { return kIdCancel; }
    void openTextFile(const Text&) override {}
    void openUrl(const Text&) override {}
};

struct BenchData {
    velmora::testing::TempDir temp{"velmora-dlgbench"};  // first, so that the database closes before it goes
    const fs::path dir = temp.path();
    std::unique_ptr<RecordStore> store;
    CurrentUser user;

    BenchData() {
        store = std::make_unique<RecordStore>(dir / kDatabaseFileName);
        openDatabaseAtStartup(*store, dir, user, makeTime(2026, 12, 6, 9, 0));
        const TimeValue base = toTimeValue(makeTime(2026, 12, 1, 8, 0));
        for (int i = 0; i < kUsers; ++i) {
            Profile p;
            p.name = "Käyttäjä " + std::to_string(100000 + i);
            p.ssn = std::to_string(10000 + i) + "-123A";
            p.is_programming_needed = (i % 3) == 0;
            DeviceRecord d;
            d.sn = static_cast<std::uint32_t>(1000 + i);
            d.programming_time = base + i * 60;
            d.last_alarm = base + 30 * 86400 + i * 60;
            d.alarm_amount = 120;
            store->insertImportedUser(p, {d}, {}, {});
        }
        store->reloadUsers(user);
        store->selectUser(user, user.users[kUsers / 2].id, base, {});
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
