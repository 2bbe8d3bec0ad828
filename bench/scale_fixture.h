#pragma once
// Databases of realistic size for the benchmarks of what a person sees:
// `users` users, each with 4 daily alarms, 20 acknowledgements and an own
// reminder, and among them the person (id 1) with 50 alarms and 2,000
// acknowledgements. The acknowledgements are stored day by day for
// everyone, as reminders are read back. The texts are enciphered as the
// program stores them; the file keeps its texts as UTF-16 (the program's
// own files) or UTF-8 (files written by other tools).
//
// Each file is built once and kept in the temporary directory
// ("velmora-bench-<users>-<utf8|utf16>-v1/velmora.db") for later runs;
// the 50,000-user file takes a few seconds to build.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store/record_store.h"
#include "store/schema.h"
#include "store/startup.h"

namespace velmora::bench {

inline constexpr int kPerson = 1;
inline constexpr int kPersonAlarms = 50;
inline constexpr int kPersonLog = 2000;
inline constexpr int kAlarmsPerUser = 4;
inline constexpr int kLogPerUser = 20;
inline constexpr TimeValue kLogBase = 1704060000;  // 1.1.2024 00:00 Helsinki
inline constexpr SYSTEMTIME kBenchToday = makeTime(2026, 12, 7, 9, 0);

enum class Encoding { Utf16, Utf8 };

namespace detail {

inline bool complete(const std::filesystem::path& db, int users) {
    sqlite3* h = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, "SELECT count(*) FROM Devices;", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            ok = sqlite3_column_int(st, 0) == users;
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    return ok;
}

inline void build(const std::filesystem::path& db, int users, Encoding encoding) {
    const auto started = std::chrono::steady_clock::now();
    std::filesystem::remove(db);
    sqlite3* h = nullptr;
    sqlite3_open(db.c_str(), &h);
    const auto exec = [h](const std::string& sql) { sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr); };
    exec(encoding == Encoding::Utf8 ? "PRAGMA encoding = 'UTF-8';" : "PRAGMA encoding = 'UTF-16le';");
    exec("PRAGMA synchronous = OFF; PRAGMA journal_mode = OFF; BEGIN;");
    for (const char* sql : {kSettingsTableSql, kProfilesTableSql, kDevicesTableSql, kAlarmsTableSql, kLogTableSql,
                            kReportsTableSql})
        exec(sql);
    exec("INSERT INTO Settings VALUES(1, 'v1.7', 4, NULL, '" + logoutDigest() + "');");
    sqlite3_stmt* profile = nullptr;
    sqlite3_stmt* alarm = nullptr;
    sqlite3_stmt* device = nullptr;
    sqlite3_stmt* log = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO Profiles VALUES(?, 0, ?, ?, ?, ?, 0, 3600);", -1, &profile, nullptr);
    sqlite3_prepare_v2(h, "INSERT INTO Alarms VALUES(NULL, ?, ?, 1, 1, 0, ?, ?, ?);", -1, &alarm, nullptr);
    sqlite3_prepare_v2(h, "INSERT INTO Devices VALUES(?, 0, ?, ?, 500, ?);", -1, &device, nullptr);
    sqlite3_prepare_v2(h, "INSERT INTO Log VALUES(?, ?, ?, ?);", -1, &log, nullptr);
    const auto text = [](sqlite3_stmt* st, int i, const std::string& s) {
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    };
    const auto run = [](sqlite3_stmt* st) {
        sqlite3_step(st);
        sqlite3_reset(st);
    };
    const std::string phone = FieldCipher::encipher("+358 40 123 4567");
    const std::string comment = FieldCipher::encipher("Aamulla ja illalla, ruoan kanssa.");
    const TimeValue today = toTimeValue(kBenchToday);
    for (int u = 1; u <= users; ++u) {
        char name[64], ssn[32];
        // Names whose order differs from the row order.
        std::snprintf(name, sizeof name, "Käyttäjä %06d", (u * 7919) % 1000003);
        std::snprintf(ssn, sizeof ssn, "%06d-%03dA", 10000 + u % 280000, u % 1000);
        sqlite3_bind_int(profile, 1, u);
        text(profile, 2, FieldCipher::encipher(name));
        text(profile, 3, FieldCipher::encipher(ssn));
        text(profile, 4, phone);
        text(profile, 5, comment);
        run(profile);
        const int alarms = u == kPerson ? kPersonAlarms : kAlarmsPerUser;
        for (int a = 0; a < alarms; ++a) {
            const TimeValue start = toTimeValue(makeTime(2026, 1, 1 + a % 28, 6 + a % 16, (a * 7) % 60));
            sqlite3_bind_int(alarm, 1, start);
            sqlite3_bind_int(alarm, 2, start);
            text(alarm, 3, "Lääke " + std::to_string(a));
            text(alarm, 4, "Ota vesilasillisen kanssa");
            sqlite3_bind_int(alarm, 5, u);
            run(alarm);
        }
        sqlite3_bind_int(device, 1, 100000 + u);
        sqlite3_bind_int(device, 2, today - 20 * 86400 + u % 1000);
        sqlite3_bind_int(device, 3, today + (u % 40) * 86400);
        sqlite3_bind_int(device, 4, u);
        run(device);
    }
    const auto logRow = [&](TimeValue t, int k, int owner) {
        const int status = k % 9 == 0 ? 3 : (k % 5 == 0 ? 5 : 4);
        sqlite3_bind_int(log, 1, t);
        sqlite3_bind_int(log, 2, status);
        sqlite3_bind_int(log, 3, status == 3 ? 0 : t + 120 + (status == 5 ? 1800 : 0));
        sqlite3_bind_int(log, 4, owner);
        run(log);
    };
    // Day by day for everyone: the person three doses a day, the others
    // one a day on their last days.
    for (int k = 0; k < kPersonLog; ++k) {
        const TimeValue t = today - (kPersonLog - k) * 28800;
        logRow(t, k, kPerson);
        if (k % 3 != 0 || k / 3 <= kPersonLog / 3 - kLogPerUser) continue;
        for (int u = 2; u <= users; ++u) logRow(t + u % 3600, k / 3, u);
    }
    for (sqlite3_stmt* st : {profile, alarm, device, log}) sqlite3_finalize(st);
    exec("COMMIT;");
    sqlite3_close(h);
    // Opened once as the program opens it (indexes, version).
    RecordStore store(db);
    CurrentUser scratch;
    openDatabaseAtStartup(store, db.parent_path() / "no-legacy-files", scratch, kBenchToday);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "built %s (%.0f MB) in %.1f s\n", db.c_str(),
                 static_cast<double>(std::filesystem::file_size(db)) / 1e6, seconds);
}

}  // namespace detail

// The data directory holding the database of `users` users (0: an empty
// directory, where the program makes a new database at its start).
inline std::filesystem::path scaleDirectory(int users, Encoding encoding = Encoding::Utf16) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         ("velmora-bench-" + std::to_string(::getuid()) + "-" + std::to_string(users) + "-" +
                          (encoding == Encoding::Utf8 ? "utf8" : "utf16") + "-v1");
    fs::create_directories(dir);
    const fs::path db = dir / kDatabaseFileName;
    if (users == 0) {
        fs::remove(db);
    } else if (!detail::complete(db, users)) {
        detail::build(db, users, encoding);
    }
    return dir;
}

}  // namespace velmora::bench
