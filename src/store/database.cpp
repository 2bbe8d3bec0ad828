#include "store/database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/text.h"

namespace velmora {

namespace {

// The text of a value from sqlite3_column_value: one column call for the
// value, instead of one for the text and one for its length, each of which
// locks and checks for errors. SQLite calls such values unprotected; they
// may be read like any other on connections without its mutex, as every
// connection here is.
std::u16string_view text16(sqlite3_value* value) {
    const void* p = sqlite3_value_text16(value);
    const int n = sqlite3_value_bytes16(value);
    return p == nullptr ? std::u16string_view()
                        : std::u16string_view(static_cast<const char16_t*>(p), static_cast<std::size_t>(n) / 2);
}

std::string_view text8(sqlite3_value* value) {
    const unsigned char* p = sqlite3_value_text(value);
    const int n = sqlite3_value_bytes(value);
    return p == nullptr ? std::string_view()
                        : std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
}

}  // namespace

Database::Database(const std::string& path) : path_(path) {
    std::error_code ec;
    const bool fresh = !std::filesystem::exists(path, ec) || std::filesystem::file_size(path, ec) == 0;
    // SQLite would create the file (and its journals, which take the file's
    // rights) readable by everyone the umask allows: health data is not.
    if (fresh && path != ":memory:") {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    sqlite3* handle = nullptr;
    // A connection serves one operation on one thread: SQLite need not
    // lock it for every call.
    int rc = sqlite3_open_v2(path.c_str(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // A handle is returned even on failure; it is of no use.
        sqlite3_close(handle);
        return;
    }
    db_ = handle;
    // Another process (a backup tool, a second copy of the program) may
    // hold the file for a moment.
    sqlite3_busy_timeout(db_, 3000);
    // Databases have always been created in UTF-16le. The encoding can only
    // be chosen before the first table exists.
    if (fresh) sqlite3_exec(db_, "PRAGMA encoding = 'UTF-16le';", nullptr, nullptr, nullptr);
}

Database::Database(const std::string& path, ReadOnly) : path_(path) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(handle);
        return;
    }
    db_ = handle;
    sqlite3_busy_timeout(db_, 3000);
}

Database::~Database() { close(); }

int Database::copyInto(Database& destination) {
    if (db_ == nullptr || destination.db_ == nullptr) return kSqliteError;
    sqlite3_backup* b = sqlite3_backup_init(destination.db_, "main", db_, "main");
    if (b == nullptr) return sqlite3_errcode(destination.db_);
    int rc = SQLITE_OK;
    // Another process may hold a lock for a moment: wait up to 3 s, as the
    // busy timeout does.
    for (int waits = 0; waits <= 60; ++waits) {
        rc = sqlite3_backup_step(b, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED && rc != SQLITE_OK) break;
        sqlite3_sleep(50);
    }
    const int finish = sqlite3_backup_finish(b);
    return rc == SQLITE_DONE ? finish : rc;
}

void Database::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int Database::execute(const std::string& sql, RowCallback callback, void* arg) {
    if (db_ == nullptr) return kSqliteError;
    return sqlite3_exec(db_, sql.c_str(), callback, arg, nullptr);
}

void Database::mapForReading(std::int64_t bytes) {
    if (db_ != nullptr) sqlite3_file_control(db_, "main", SQLITE_FCNTL_MMAP_SIZE, &bytes);
}

std::string Database::errorText() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : "not opened";
}

std::int64_t Database::getLastInsertId() {
    if (db_ == nullptr) return kSqliteError;
    return sqlite3_last_insert_rowid(db_);
}

// ---- Statement ----

Statement::Statement(Database& db, const std::string& sql) : db_(db) {
    if (db_.handle() == nullptr) return;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_.handle(), sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        stmt != nullptr) {
        stmt_ = stmt;
        columns_ = sqlite3_column_count(stmt_);
    } else {
        sqlite3_finalize(stmt);
    }
}

Statement::~Statement() { finalize(); }

int Statement::bind(int index, const Text& value) {
    if (stmt_ == nullptr) return kSqliteError;
    return sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                             SQLITE_TRANSIENT);
}

int Statement::bind(int index, int value) {
    if (stmt_ == nullptr) return kSqliteError;
    return sqlite3_bind_int(stmt_, index, value);
}

int Statement::executeNonQuery() {
    Cursor c(*this);
    return c.step();
}

Cursor Statement::query() { return Cursor(*this); }

int Statement::finalize() {
    if (stmt_ == nullptr) return kSqliteOk;
    int rc = sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    columns_ = 0;
    return rc;
}

void Statement::release() {
    if (shares_ > 0 && --shares_ == 0 && stmt_ != nullptr) sqlite3_reset(stmt_);
}

// ---- Cursor ----

Cursor::Cursor(Statement& s) : stmt_(&s) { s.acquire(); }

Cursor::Cursor(Cursor&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}

Cursor& Cursor::operator=(Cursor&& other) noexcept {
    if (this != &other) {
        release();
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

int Cursor::step() {
    if (stmt_ == nullptr || stmt_->stmt_ == nullptr) return kSqliteError;
    return sqlite3_step(stmt_->stmt_);
}

// The statement when `column` is one of its result columns, else null.
sqlite3_stmt* Cursor::readable(int column) const {
    if (stmt_ == nullptr || stmt_->stmt_ == nullptr || column < 0 || column >= stmt_->columns_)
        return nullptr;
    return stmt_->stmt_;
}

bool Cursor::getInt(int column, int& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    out = sqlite3_column_int(st, column);
    return true;
}

bool Cursor::getInt64(int column, std::int64_t& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    out = sqlite3_column_int64(st, column);
    return true;
}

bool Cursor::getString(int column, Text& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    const unsigned char* p = sqlite3_column_text(st, column);
    int n = sqlite3_column_bytes(st, column);
    if (p == nullptr)
        out.clear();
    else
        out.assign(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
    return true;
}

bool Cursor::getString16(int column, std::u16string_view& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    out = text16(sqlite3_column_value(st, column));
    return true;
}

bool Cursor::getOrderKey(int column, OrderKey& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    switch (sqlite3_column_type(st, column)) {
        case SQLITE_NULL: out = OrderKey{}; return true;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: out = OrderKey{1, sqlite3_column_double(st, column), {}}; return true;
        default: break;
    }
    out.storageClass = sqlite3_column_type(st, column) == SQLITE_TEXT ? 2 : 3;
    out.number = 0;
    // The bytes as stored, without a conversion of the text encoding.
    const void* p = sqlite3_column_blob(st, column);
    const int n = sqlite3_column_bytes(st, column);
    out.bytes = p == nullptr ? std::string_view() : std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n));
    return true;
}

// The column's value when it is a text stored in `encoding`, else null.
sqlite3_value* Cursor::storedText(int column, int encoding) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return nullptr;
    sqlite3_value* value = sqlite3_column_value(st, column);
    if (sqlite3_value_type(value) != SQLITE_TEXT) return nullptr;
    if (stmt_->textEncoding_ == 0) stmt_->textEncoding_ = sqlite3_value_encoding(value);
    return stmt_->textEncoding_ == encoding ? value : nullptr;
}

bool Cursor::getStoredUtf16(int column, std::u16string_view& out) const {
    constexpr int kNative = std::endian::native == std::endian::little ? SQLITE_UTF16LE : SQLITE_UTF16BE;
    sqlite3_value* value = storedText(column, kNative);
    if (value == nullptr) return false;
    out = text16(value);
    return true;
}

bool Cursor::getStoredUtf8(int column, std::string_view& out) const {
    sqlite3_value* value = storedText(column, SQLITE_UTF8);
    if (value == nullptr) return false;
    out = text8(value);
    return true;
}

bool Cursor::getString8(int column, std::string_view& out) const {
    sqlite3_stmt* st = readable(column);
    if (st == nullptr) return false;
    out = text8(sqlite3_column_value(st, column));
    return true;
}

bool OrderKey::operator<(const OrderKey& other) const {
    if (storageClass != other.storageClass) return storageClass < other.storageClass;
    if (storageClass == 1) return number < other.number;
    return bytes < other.bytes;  // memcmp, then the shorter first
}

void Cursor::release() {
    if (stmt_ != nullptr) {
        stmt_->release();
        stmt_ = nullptr;
    }
}

// ---- Transaction ----

Transaction::Transaction(Database& db, bool beginNow) : db_(db) {
    if (beginNow) active_ = db_.execute("begin;") == kSqliteOk;
}

Transaction::~Transaction() {
    if (active_) rollback();
}

int Transaction::begin() {
    if (active_) return kSqliteError;
    int rc = db_.execute("begin;");
    active_ = rc == kSqliteOk;
    return rc;
}

int Transaction::commit() {
    if (!active_) return kSqliteError;
    int rc = db_.execute("commit;");
    active_ = false;
    return rc;
}

int Transaction::rollback() {
    int rc = db_.execute("rollback;");
    active_ = false;
    return rc;
}

bool tableNames(Database& db, std::set<std::string>& names) {
    Statement list(db, "SELECT name FROM sqlite_master WHERE type = 'table';");
    if (!list.isPrepared()) return false;
    Cursor c = list.query();
    Text name;
    int rc;
    while ((rc = c.step()) == kSqliteRow && c.getString(0, name)) names.insert(lowerAscii(name));
    return rc == kSqliteDone;
}

}  // namespace velmora
