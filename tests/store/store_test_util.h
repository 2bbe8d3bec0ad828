#pragma once
// Helpers for the store tests: raw file access, direct SQL on a
// database file through the SQLite C library (to look at what the store really wrote), and a fixture with a
// fresh database.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/datetime.h"
#include "support/temp_dir.h"
#include "store/record_store.h"

namespace velmora::testing {

// The store's database file inside a test's temporary directory.
inline std::filesystem::path dbIn(const TempDir& dir) { return dir.path() / "velmora.db"; }

using Rows = std::vector<std::vector<std::string>>;

// Runs SQL directly and gives SQLite's result code (-1 when the file does not open). Rows, when asked
// for, come back as their column texts ("NULL" for NULL).
inline int rawExec(const std::filesystem::path& db, const std::string& sql, Rows* rows = nullptr) {
    auto collect = [](void* arg, int n, char** values, char**) {
        std::vector<std::string>& row = static_cast<Rows*>(arg)->emplace_back();
        for (int i = 0; i < n; ++i) row.emplace_back(values[i] != nullptr ? values[i] : "NULL");
        return 0;
    };
    sqlite3* h = nullptr;
    int rc = sqlite3_open(db.c_str(), &h) == SQLITE_OK
                 ? sqlite3_exec(h, sql.c_str(), rows != nullptr ? +collect : nullptr, rows, nullptr)
                 : -1;
    sqlite3_close(h);
    return rc;
}

inline Rows rawQuery(const std::filesystem::path& db, const std::string& sql) {
    Rows rows;
    rawExec(db, sql, &rows);
    return rows;
}

inline std::string rawScalar(const std::filesystem::path& db, const std::string& sql) {
    Rows r = rawQuery(db, sql);
    return r.empty() || r[0].empty() ? std::string("<none>") : r[0][0];
}

// An alarm from `start` on, every day (or by another repeat pattern), forever or until `end`.
inline Alarm dailyAlarm(const SYSTEMTIME& start, bool endless = true, SYSTEMTIME end = {}, int pattern = 1) {
    Alarm a;
    a.alarm_start = start;
    a.alarm_end = endless || end.wYear == 0 ? start : end;
    a.repeat_forever = endless;
    a.repeat_pattern = static_cast<std::uint8_t>(pattern);
    a.title = "Hälytys";
    return a;
}

// Whole records as tuples, so that one assertion compares (and prints) every stored field.
inline auto fields(const Profile& p) {
    return std::tuple(p.name, p.ssn, p.phone, p.comment, p.is_programming_needed, p.program_type, p.window);
}
inline auto fields(const DeviceRecord& d) {
    return std::tuple(d.sn, d.device_type, d.programming_time, d.last_alarm, d.alarm_amount);
}
inline auto fields(const Alarm& a) {
    return std::tuple(a.title, a.description, toTimeValue(a.alarm_start), toTimeValue(a.alarm_end), a.repeat_forever,
                      int{a.repeat_pattern}, a.alarm_type);
}

// A new database with all six tables in a directory of its own.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.createDatabase());
        ASSERT_TRUE(store.createReportsTable());
    }
    int rows(const std::string& table, const std::string& where = "1") {
        return std::stoi(rawScalar(dbIn(dir), "SELECT count(*) FROM " + table + " WHERE " + where + ";"));
    }
    // Rows of one user: the user's own row in Profiles, the owned rows elsewhere.
    int owned(const std::string& table, int owner) {
        return rows(table, (table == "Profiles" ? "id = " : "owner_id = ") + std::to_string(owner));
    }
    Profile profileOf(int id) {
        Profile p;
        EXPECT_TRUE(store.loadProfile(id, p));
        return p;
    }
    std::vector<Alarm> alarmsOf(int owner) {
        std::vector<Alarm> list;
        EXPECT_TRUE(store.loadAlarms(owner, list));
        return list;
    }
    // The owner's log as (instant, acknowledgement, status) in time order.
    std::vector<std::tuple<TimeValue, TimeValue, int>> logOf(int owner) {
        std::vector<LogEntry> log;
        EXPECT_TRUE(store.loadLog(owner, log));
        std::vector<std::tuple<TimeValue, TimeValue, int>> out;
        for (const LogEntry& e : log) out.emplace_back(e.alarm_time, e.ack, e.log_status);
        std::sort(out.begin(), out.end());
        return out;
    }
    TempDir dir;
    RecordStore store{dbIn(dir)};
};

}  // namespace velmora::testing
