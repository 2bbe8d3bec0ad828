// Start-up of the program to the main window shown, on Qt's offscreen
// platform: the resource module is chosen, the database is opened (and
// its version row rewritten), the users are loaded, the window is built,
// initialised, shown and the start-up message handled. Measured with an
// empty database and with 500, 5,000 and 50,000 users
// (bench/scale_fixture.h: alarms, log and reminders), in files keeping
// their texts as UTF-16 (the program's own) and as UTF-8 (other tools').
// CPU time; the program's own main makes and ends the one QApplication.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <memory>

#include "scale_fixture.h"
#include "startup.h"
#include "offscreen_app.h"
#include "ui/qt/main_dlg.h"

namespace velmora {
namespace {

void BM_StartToMainWindowShown(benchmark::State& state) {
    const int users = static_cast<int>(state.range(0));
    const auto encoding = state.range(1) != 0 ? bench::Encoding::Utf8 : bench::Encoding::Utf16;
    const std::filesystem::path dir = bench::scaleDirectory(users, encoding);
    std::size_t loaded = 0;
    for (auto _ : state) {
        const ResourceModule resources = chooseResourceModule(dir);
        auto main = std::make_unique<MainWindow>(resources, dir);
        main->window->show();
        QApplication::processEvents();
        loaded = main->logic.user().users.size();
        state.PauseTiming();
        main.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (loaded != static_cast<std::size_t>(users)) state.SkipWithError("wrong number of users loaded");
    state.SetLabel(state.range(1) != 0 ? "utf8" : "utf16");
}
BENCHMARK(BM_StartToMainWindowShown)
    ->ArgNames({"users", "utf8"})
    ->Args({0, 0})
    ->Args({500, 0})
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) { return velmora::bench::runOffscreenBenchmarks(argc, argv); }
