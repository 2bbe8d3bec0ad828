// Start-up of the program to the main window shown, on Qt's offscreen
// platform: the resource module is chosen, the database is opened (and
// its version row rewritten), the users are loaded, the window is built,
// initialised, shown and the start-up message handled. Measured with an
// empty database and with 5,000 users.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "startup.h"
#include "store/credentials.h"
#include "store/startup.h"
#include "offscreen_app.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

QApplication& app() { return bench::offscreenApp(); }

// A data directory with a database of `users` users (enciphered as the
// program stores them), made once per size.
fs::path dataDirectory(int users) {
    static std::map<int, velmora::testing::TempDir> made;  // removed when the program ends
    auto it = made.find(users);
    if (it != made.end()) return it->second.path();
    const fs::path dir = made.try_emplace(users, "velmora-bench-startup").first->second.path();
    RecordStore store(dir / kDatabaseFileName);
    CurrentUser scratch;
    openDatabaseAtStartup(store, dir, scratch, SystemClock().localNow());
    if (users > 0) {
        sqlite3* h = nullptr;
        sqlite3_open((dir / kDatabaseFileName).c_str(), &h);
        sqlite3_exec(h, "BEGIN;", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, "INSERT INTO Profiles VALUES(NULL, 1, ?, ?, ?, ?, 0, 600);", -1, &st, nullptr);
        for (int i = 0; i < users; ++i) {
            const std::string fields[] = {FieldCipher::encipher("Käyttäjä " + std::to_string(i)),
                                          FieldCipher::encipher(std::to_string(100000 + i) + "-123A"),
                                          FieldCipher::encipher("040 " + std::to_string(i)),
                                          FieldCipher::encipher("")};
            for (int f = 0; f < 4; ++f)
                sqlite3_bind_text(st, f + 1, fields[f].c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(h);
    }
    return dir;
}

void BM_StartToMainWindowShown(benchmark::State& state) {
    app();
    const int users = static_cast<int>(state.range(0));
    const fs::path dir = dataDirectory(users);
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
    state.counters["users"] = static_cast<double>(loaded);
}
BENCHMARK(BM_StartToMainWindowShown)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmora
