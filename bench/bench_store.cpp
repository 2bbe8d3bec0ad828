// Record store costs on a database of 5,000 users with 10 alarms, 100 log
// entries and one reminder each (about 30 MB, built in a few seconds). Every store operation opens
// and closes its own connection; the Raw* benchmarks read the same rows
// through the SQLite C library on one connection that stays open, as the
// baseline for what the reads themselves cost.
//
// The database is built once per process (in one transaction) in a
// temporary directory, or taken from $VELMORA_BENCH_DB when that names an
// existing file built by an earlier run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store/record_store.h"
#include "store/startup.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kUsers = 5000;
constexpr int kAlarmsPerUser = 10;
constexpr int kLogPerUser = 100;
constexpr TimeValue kBase = 1735682400;  // 1.1.2025 00:00 Helsinki
constexpr SYSTEMTIME kToday = makeTime(2026, 12, 6, 9, 0);

struct BenchData {
    std::optional<velmora::testing::TempDir> temp;  // none when the database is given
    fs::path dir;
    fs::path db;

    BenchData() {
        const char* given = std::getenv("VELMORA_BENCH_DB");
        if (given != nullptr && *given != '\0') {
            db = given;
            dir = db.parent_path();
            if (fs::exists(db) && complete()) return;
        } else {
            dir = temp.emplace("velmora-bench").path();
            db = dir / kDatabaseFileName;
        }
        build();
    }

    bool complete() const {
        sqlite3* h = nullptr;
        bool ok = false;
        if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(h, "SELECT (SELECT count(*) FROM Profiles), (SELECT count(*) FROM Devices);", -1,
                                   &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                ok = sqlite3_column_int(st, 0) == kUsers && sqlite3_column_int(st, 1) == kUsers;
            sqlite3_finalize(st);
        }
        sqlite3_close(h);
        return ok;
    }

    void build() {
        auto started = std::chrono::steady_clock::now();
        fs::remove(db);
        RecordStore store(db);
        store.createDatabase();
        store.createReportsTable();
        store.createOwnerIndexes();
        store.createLogOwnerIndex();
        store.setVersion(kSoftwareVersion, kSchemaVersion);

        sqlite3* h = nullptr;
        sqlite3_open(db.c_str(), &h);
        sqlite3_exec(h, "PRAGMA synchronous = OFF; PRAGMA journal_mode = OFF; BEGIN;", nullptr, nullptr, nullptr);
        sqlite3_stmt* profile = nullptr;
        sqlite3_stmt* alarm = nullptr;
        sqlite3_stmt* device = nullptr;
        sqlite3_stmt* log = nullptr;
        sqlite3_prepare_v2(h, "INSERT INTO Profiles VALUES(?, 0, ?, ?, ?, ?, 0, 3600);", -1, &profile, nullptr);
        sqlite3_prepare_v2(h, "INSERT INTO Alarms VALUES(NULL, ?, ?, 0, 1, 0, ?, ?, ?);", -1, &alarm, nullptr);
        sqlite3_prepare_v2(h, "INSERT INTO Devices VALUES(?, 0, ?, ?, 500, ?);", -1, &device, nullptr);
        sqlite3_prepare_v2(h, "INSERT INTO Log VALUES(?, ?, ?, ?);", -1, &log, nullptr);
        const auto text = [](sqlite3_stmt* st, int i, const std::string& s) {
            sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        };
        const auto run = [](sqlite3_stmt* st) {
            sqlite3_step(st);
            sqlite3_reset(st);
        };
        const std::string ssn = FieldCipher::encipher("010101-1234");
        const std::string phone = FieldCipher::encipher("+358 40 123 4567");
        const std::string comment = FieldCipher::encipher("Aamulla ja illalla,\nruoan kanssa.");
        for (int u = 1; u <= kUsers; ++u) {
            char name[64];
            // Names whose order differs from the row order.
            std::snprintf(name, sizeof name, "Käyttäjä %05d", (u * 7919) % 100000);
            sqlite3_bind_int(profile, 1, u);
            text(profile, 2, FieldCipher::encipher(name));
            text(profile, 3, ssn);
            text(profile, 4, phone);
            text(profile, 5, comment);
            run(profile);
            for (int a = 0; a < kAlarmsPerUser; ++a) {
                sqlite3_bind_int(alarm, 1, kBase + a * 1800);
                sqlite3_bind_int(alarm, 2, kBase + a * 1800 + 400 * 86400);
                text(alarm, 3, "Lääke " + std::to_string(a));
                text(alarm, 4, "Ota vesilasillisen kanssa");
                sqlite3_bind_int(alarm, 5, u);
                run(alarm);
            }
            sqlite3_bind_int(device, 1, 100000 + u);
            sqlite3_bind_int(device, 2, kBase);
            sqlite3_bind_int(device, 3, kBase + 600 * 86400);
            sqlite3_bind_int(device, 4, u);
            run(device);
        }
        // Instant-major, as reminders are read back over the days.
        for (int k = 0; k < kLogPerUser; ++k) {
            TimeValue t = kBase + k * 43200;
            for (int u = 1; u <= kUsers; ++u) {
                sqlite3_bind_int(log, 1, t);
                sqlite3_bind_int(log, 2, k % 7 == 0 ? 3 : 4);
                sqlite3_bind_int(log, 3, k % 7 == 0 ? 0 : t + 120);
                sqlite3_bind_int(log, 4, u);
                run(log);
            }
        }
        for (sqlite3_stmt* st : {profile, alarm, device, log}) sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, "bench_store: built %s (%.0f MB) in %.1f s\n", db.c_str(),
                     static_cast<double>(fs::file_size(db)) / 1e6, seconds);
    }
};

BenchData& data() {
    static BenchData d;
    return d;
}

// A connection kept open across iterations, for the raw baselines.
struct RawConnection {
    sqlite3* h = nullptr;
    RawConnection() { sqlite3_open_v2(data().db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr); }
    ~RawConnection() { sqlite3_close(h); }
};

// Steps a statement to its end, touching every column of every row.
std::int64_t drain(sqlite3_stmt* st) {
    std::int64_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_TEXT)
                sum += sqlite3_column_bytes(st, i) + (sqlite3_column_text(st, i) != nullptr);
            else
                sum += sqlite3_column_int(st, i);
        }
    }
    sqlite3_reset(st);
    return sum;
}

std::int64_t rawQuery(sqlite3* h, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr);
    std::int64_t sum = drain(st);
    sqlite3_finalize(st);
    return sum;
}

// ---- Start-up opening ----

void BM_StartupOpening(benchmark::State& state) {
    RecordStore store(data().db);
    fs::path legacy = data().dir / "no-legacy-here";
    for (auto _ : state) {
        CurrentUser user;
        StartupResult r = openDatabaseAtStartup(store, legacy, user, kToday);
        benchmark::DoNotOptimize(r.opened);
    }
}
BENCHMARK(BM_StartupOpening)->Unit(benchmark::kMillisecond);

void BM_RawStartupReads(benchmark::State& state) {
    RawConnection c;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Settings WHERE id = 1;"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Settings WHERE id = 1;"));
    }
}
BENCHMARK(BM_RawStartupReads)->Unit(benchmark::kMillisecond);

// ---- LoadProfiles ----

void BM_LoadProfiles(benchmark::State& state) {
    RecordStore store(data().db);
    for (auto _ : state) {
        std::vector<Profile> users;
        store.loadProfiles(users);
        if (users.size() != kUsers) state.SkipWithError("wrong user count");
        benchmark::DoNotOptimize(users.data());
    }
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_LoadProfiles)->Unit(benchmark::kMillisecond);

void BM_RawSelectProfiles(benchmark::State& state) {
    RawConnection c;
    // The statement loadProfiles sends; it then deciphers and orders the users.
    for (auto _ : state) benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Profiles;"));
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_RawSelectProfiles)->Unit(benchmark::kMillisecond);

// ---- SelectUser ----

void BM_SelectUser(benchmark::State& state) {
    RecordStore store(data().db);
    CurrentUser user;
    int ids[2] = {1234, 4321};
    int k = 0;
    for (auto _ : state) {
        // Alternate, since selecting the current user again does nothing.
        bool ok = store.selectUser(user, ids[k++ & 1], kBase, nullptr);
        if (!ok || user.alarms.size() != kAlarmsPerUser || user.history.size() != kLogPerUser)
            state.SkipWithError("selection incomplete");
    }
}
BENCHMARK(BM_SelectUser)->Unit(benchmark::kMillisecond);

void BM_RawSelectUserRows(benchmark::State& state) {
    RawConnection c;
    int ids[2] = {1234, 4321};
    int k = 0;
    for (auto _ : state) {
        std::string id = std::to_string(ids[k++ & 1]);
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Profiles WHERE id = " + id + ";"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Alarms WHERE owner_id = " + id + ";"));
        benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Log WHERE owner_id = " + id + ";"));
        benchmark::DoNotOptimize(
            rawQuery(c.h, "SELECT * FROM Devices WHERE owner_id = " + id + " AND device_type = 0;"));
    }
}
BENCHMARK(BM_RawSelectUserRows)->Unit(benchmark::kMillisecond);

// The parts of a selection, each with its own connection.
void BM_SelectUserParts(benchmark::State& state) {
    RecordStore store(data().db);
    const int part = static_cast<int>(state.range(0));
    for (auto _ : state) {
        switch (part) {
            case 0: {
                Profile p;
                store.loadProfile(1234, p);
                break;
            }
            case 1: {
                std::vector<Alarm> a;
                store.loadAlarms(1234, a);
                break;
            }
            case 2: {
                std::vector<LogEntry> l;
                store.loadLog(1234, l);
                break;
            }
            default: {
                DeviceRecord d;
                store.findOwnerDevice(1234, d);
                break;
            }
        }
    }
    static const char* const kNames[] = {"loadProfile", "loadAlarms", "loadLog", "findOwnerDevice"};
    state.SetLabel(kNames[part]);
}
BENCHMARK(BM_SelectUserParts)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// ---- The users-and-reminders report ----

// What the report dialog reads: every user's own reminder, on one connection.
void BM_LoadOwnReminders(benchmark::State& state) {
    RecordStore store(data().db);
    for (auto _ : state) {
        std::map<int, DeviceRecord> reminders;
        store.loadOwnReminders(reminders);
        if (reminders.size() != kUsers) state.SkipWithError("reminder missing");
    }
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_LoadOwnReminders)->Unit(benchmark::kMillisecond);

// The same statement on an open connection: the baseline of loadOwnReminders.
void BM_RawOwnReminders(benchmark::State& state) {
    RawConnection c;
    for (auto _ : state) benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Devices WHERE device_type = 0;"));
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_RawOwnReminders)->Unit(benchmark::kMillisecond);

// What the report did before: one findOwnerDevice (one connection) per user.
void BM_FindOwnerDeviceAllUsers(benchmark::State& state) {
    RecordStore store(data().db);
    for (auto _ : state) {
        int found = 0;
        for (int u = 1; u <= kUsers; ++u) {
            DeviceRecord d;
            found += store.findOwnerDevice(u, d);
        }
        if (found != kUsers) state.SkipWithError("reminder missing");
    }
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_FindOwnerDeviceAllUsers)->Unit(benchmark::kMillisecond);

// ---- The cost of a connection alone ----

void BM_OpenCloseOnly(benchmark::State& state) {
    RecordStore store(data().db);
    for (auto _ : state) {
        DeviceRecord d;
        benchmark::DoNotOptimize(store.findDevice(1, d));  // no such serial: open, one lookup, close
    }
}
BENCHMARK(BM_OpenCloseOnly)->Unit(benchmark::kMicrosecond);

void BM_RawFindDeviceBySerial(benchmark::State& state) {
    RawConnection c;
    for (auto _ : state) benchmark::DoNotOptimize(rawQuery(c.h, "SELECT * FROM Devices WHERE sn = 1;"));
}
BENCHMARK(BM_RawFindDeviceBySerial)->Unit(benchmark::kMicrosecond);

// What a connection costs by itself: open, prepare (which reads the
// schema), one indexed lookup, finalise, close, through the C library.
void BM_RawOpenQueryClose(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* h = nullptr;
        sqlite3_open_v2(data().db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
        benchmark::DoNotOptimize(rawQuery(h, "SELECT * FROM Devices WHERE sn = 1;"));
        sqlite3_close(h);
    }
}
BENCHMARK(BM_RawOpenQueryClose)->Unit(benchmark::kMicrosecond);

// Open and close alone, no statement (the schema is not read).
void BM_RawOpenCloseBare(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* h = nullptr;
        sqlite3_open_v2(data().db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_close(h);
    }
}
BENCHMARK(BM_RawOpenCloseBare)->Unit(benchmark::kMicrosecond);

// The deciphering share of LoadProfiles: four texts for each of 5,000 users.
void BM_DecipherProfileTexts(benchmark::State& state) {
    std::vector<std::string> stored;
    for (const char* t : {"Käyttäjä 01234", "010101-1234", "+358 40 123 4567", "Aamulla ja illalla,\nruoan kanssa."})
        stored.push_back(FieldCipher::encipher(t));
    for (auto _ : state) {
        std::size_t n = 0;
        for (int u = 0; u < kUsers; ++u)
            for (const std::string& s : stored) n += FieldCipher::decipher(s).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_DecipherProfileTexts)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
