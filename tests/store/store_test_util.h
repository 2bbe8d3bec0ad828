#pragma once
// Helpers for the store tests: a temporary directory that removes itself,
// raw file reading, and direct SQL on a database file through the SQLite C
// library (to look at what the store really wrote).
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmora::testing {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-store-XXXXXX").string();
        char* made = ::mkdtemp(tmpl.data());
        path_ = made != nullptr ? std::filesystem::path(made) : std::filesystem::path();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path db() const { return path_ / "velmora.db"; }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// Runs SQL directly; every row comes back as its column texts ("NULL" for NULL).
using Rows = std::vector<std::vector<std::string>>;
inline Rows rawQuery(const std::filesystem::path& db, const std::string& sql) {
    Rows rows;
    sqlite3* h = nullptr;
    if (sqlite3_open(db.c_str(), &h) != SQLITE_OK) {
        sqlite3_close(h);
        return rows;
    }
    sqlite3_exec(
        h, sql.c_str(),
        [](void* arg, int n, char** values, char**) {
            auto* out = static_cast<Rows*>(arg);
            std::vector<std::string> row;
            for (int i = 0; i < n; ++i) row.emplace_back(values[i] != nullptr ? values[i] : "NULL");
            out->push_back(std::move(row));
            return 0;
        },
        &rows, nullptr);
    sqlite3_close(h);
    return rows;
}

inline int rawExec(const std::filesystem::path& db, const std::string& sql) {
    sqlite3* h = nullptr;
    if (sqlite3_open(db.c_str(), &h) != SQLITE_OK) {
        sqlite3_close(h);
        return -1;
    }
    int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return rc;
}

inline std::string rawScalar(const std::filesystem::path& db, const std::string& sql) {
    Rows r = rawQuery(db, sql);
    return r.empty() || r[0].empty() ? std::string("<none>") : r[0][0];
}

}  // namespace velmora::testing
