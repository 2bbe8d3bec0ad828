#include "store/database_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <system_error>

#include "core/text.h"
#include "store/database.h"
#include "store/record_store.h"
#include "store/schema.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr char kSqliteHeader[] = "SQLite format 3";  // and its closing zero byte: 16 bytes

// A file made with mkstemp from `pattern` (ending in XXXXXX), removed when
// the object goes unless it was kept.
class TempFile {
public:
    explicit TempFile(const fs::path& pattern) {
        std::string name = pattern.string();
        fd_ = ::mkstemp(name.data());
        if (fd_ >= 0) path_ = name;
    }
    ~TempFile() {
        closeFile();
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool made() const { return !path_.empty(); }
    const fs::path& path() const { return path_; }
    int fd() const { return fd_; }
    bool closeFile() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }
    void keep() { path_.clear(); }

private:
    fs::path path_;
    int fd_ = -1;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool syncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Reads a whole file of fewer than `limit` bytes; false when it cannot be
// read or is not smaller.
bool readSmallFile(const fs::path& file, std::size_t limit, std::string& bytes) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size >= limit) return false;
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) return false;
    std::string out(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done != out.size()) return false;
    bytes = std::move(out);
    return true;
}

bool hasSqliteHeader(const char* data, std::size_t size) {
    return size >= sizeof kSqliteHeader && std::memcmp(data, kSqliteHeader, sizeof kSqliteHeader) == 0;
}

bool integrityOk(Database& db) {
    Statement check(db, "PRAGMA integrity_check;");
    Cursor c = check.query();
    Text first;
    if (c.step() != kSqliteRow || !c.getString(0, first) || first != "ok") return false;
    return c.step() == kSqliteDone;  // "ok" is the only row
}

bool hasOurTables(Database& db) {
    std::set<std::string> names;
    if (!tableNames(db, names)) return false;
    for (const SchemaTable& table : kSchemaTables) {
        if (names.count(lowerAscii(table.name)) == 0) return false;
    }
    return true;
}

bool versionNotNewer(Database& db) {
    Statement version(db, "SELECT db_version FROM Settings WHERE id = 1;");
    Cursor c = version.query();
    int v = 0;
    return c.step() == kSqliteRow && c.getInt(0, v) && v <= kSchemaVersion;
}

std::string stamp(const SYSTEMTIME& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04u%02u%02u-%02u%02u%02u", unsigned{t.wYear}, unsigned{t.wMonth},
                  unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute}, unsigned{t.wSecond});
    return buf;
}

// Rolls back a journal that a crash left beside the database, so that it
// cannot be played into the file that replaces it.
void settle(const fs::path& database) {
    Database db(database.string());
    if (db.isOpen()) db.execute("SELECT count(*) FROM sqlite_master;");
}

// Keeps `database` as it is now under a dated name beside it: a second
// name for the same file where the file system allows it, else a copy.
bool keepDatedCopy(const fs::path& database, const SYSTEMTIME& localNow, fs::path& copy) {
    const std::string base = database.filename().string() + kDatedCopyMarker + stamp(localNow);
    std::error_code ec;
    copy = database.parent_path() / base;
    for (int n = 2; fs::exists(copy, ec); ++n)
        copy = database.parent_path() / (base + "-" + std::to_string(n));
    if (::link(database.c_str(), copy.c_str()) == 0) return true;
    if (!fs::copy_file(database, copy, ec)) return false;
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, ec);
    const int fd = ::open(copy.c_str(), O_RDONLY);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced) fs::remove(copy, ec);
    return synced;
}

void pruneDatedCopies(const fs::path& database) {
    std::vector<fs::path> copies = datedCopies(database);
    std::error_code ec;
    while (copies.size() > kKeptDatabaseCopies) {
        fs::remove(copies.front(), ec);
        copies.erase(copies.begin());
    }
}

}  // namespace

bool isUsableDatabase(const fs::path& file) {
    char header[sizeof kSqliteHeader] = {};
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) return false;
    const std::size_t n = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    if (!hasSqliteHeader(header, n)) return false;
    Database db(file.string(), Database::ReadOnly::Yes);
    return db.isOpen() && integrityOk(db) && hasOurTables(db) && versionNotNewer(db);
}

SnapshotResult snapshotDatabase(const fs::path& database, std::string& bytes) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(database, ec);
    if (ec) return SnapshotResult::Unreadable;
    // The local indexes cannot double the file: one this large is refused
    // without copying it.
    if (size >= 2 * kBackupSizeLimit) return SnapshotResult::TooLarge;

    TempFile copy(fs::temp_directory_path(ec) / "velmora-snapshot-XXXXXX");
    if (!copy.made()) return SnapshotResult::Unreadable;
    copy.closeFile();
    {
        Database source(database.string(), Database::ReadOnly::Yes);
        Database target(copy.path().string());
        if (!source.isOpen() || !target.isOpen() || source.copyInto(target) != kSqliteOk)
            return SnapshotResult::Unreadable;
        // A database from before the report table gets it, so that the
        // backup is one that a restore accepts.
        target.execute(kReportsTableSql);
        // The file sent holds the six tables only; opening makes the
        // indexes again after a restore.
        for (const char* index : kLocalIndexNames) target.execute(std::string("DROP INDEX IF EXISTS ") + index + ";");
        if (target.execute("VACUUM;") != kSqliteOk) return SnapshotResult::Unreadable;
    }
    if (!isUsableDatabase(copy.path())) return SnapshotResult::Unreadable;
    if (fs::file_size(copy.path(), ec) >= kBackupSizeLimit) return SnapshotResult::TooLarge;
    return readSmallFile(copy.path(), kBackupSizeLimit, bytes) ? SnapshotResult::Ok
                                                                : SnapshotResult::Unreadable;
}

RestoreResult replaceDatabase(const fs::path& database, const std::string& bytes, const SYSTEMTIME& localNow) {
    if (bytes.size() < kMinimumRestoreBytes || !hasSqliteHeader(bytes.data(), bytes.size()))
        return RestoreResult::NotADatabase;
    const fs::path dir = database.parent_path();
    TempFile incoming(dir / (database.filename().string() + ".restore-XXXXXX"));
    if (!incoming.made() || !writeAll(incoming.fd(), bytes.data(), bytes.size()) ||
        ::fsync(incoming.fd()) != 0 || !incoming.closeFile())
        return RestoreResult::NotWritten;
    if (!isUsableDatabase(incoming.path())) return RestoreResult::NotADatabase;

    std::error_code ec;
    fs::path copy;
    if (fs::exists(database, ec)) {
        settle(database);
        if (!keepDatedCopy(database, localNow, copy)) return RestoreResult::NotWritten;
    }
    if (::rename(incoming.path().c_str(), database.c_str()) != 0) {
        if (!copy.empty()) fs::remove(copy, ec);
        return RestoreResult::NotWritten;
    }
    incoming.keep();
    syncDirectory(dir);
    pruneDatedCopies(database);
    return RestoreResult::Replaced;
}

std::vector<fs::path> datedCopies(const fs::path& database) {
    const std::string prefix = database.filename().string() + kDatedCopyMarker;
    std::vector<fs::path> copies;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(database.parent_path(), ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && e.is_regular_file(ec)) copies.push_back(e.path());
    }
    // The stamp sorts by time; a second copy of the same second ("-2") after the first.
    std::sort(copies.begin(), copies.end());
    return copies;
}

}  // namespace velmora
