#pragma once
// Thin layer over the SQLite 3 C library: a connection, a prepared
// statement, a row cursor sharing a statement, and a transaction scope.
// Nothing above this layer calls SQLite directly. Failures come back as
// SQLite result codes (0 ok, 100 row ready, 101 done) and booleans; this
// layer never throws and never shows anything.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "core/types.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace velmora {

inline constexpr int kSqliteOk = 0;
inline constexpr int kSqliteError = 1;  // also: no connection / no statement
inline constexpr int kSqliteRow = 100;
inline constexpr int kSqliteDone = 101;

// True for the results of a single-step write that succeeded (0 or 101).
inline bool stepSucceeded(int rc) { return rc == kSqliteOk || rc == kSqliteDone; }

class Database {
public:
    // Opens (creating when missing) the database file at `path` (UTF-8 file
    // name). A file created here is readable by its owner only and gets the
    // UTF-16le text encoding that the stored databases have always used.
    explicit Database(const std::string& path);
    // Opens an existing file without writing to it (never creates one).
    enum class ReadOnly { Yes };
    Database(const std::string& path, ReadOnly);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    void close();
    const std::string& path() const { return path_; }

    // Runs one or more complete statements (sqlite3_exec). The callback,
    // when given, receives every result row. 1 when not open.
    using RowCallback = int (*)(void* arg, int columns, char** values, char** names);
    int execute(const std::string& sql, RowCallback callback = nullptr, void* arg = nullptr);

    // SQLite's text for the last failure on this connection.
    std::string errorText() const;

    // Row id of the last row inserted on this connection; 1 when not open
    // (callers keep the low 32 bits).
    std::int64_t getLastInsertId();

    // Copies the whole database into `destination` with SQLite's online
    // backup: a consistent snapshot even while another connection writes.
    // The SQLite result code of the copy (0 when complete).
    int copyInto(Database& destination);
    // Lets SQLite read up to `bytes` of the file through a memory map
    // instead of copying every page (a setting of this connection only).
    void mapForReading(std::int64_t bytes);

    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

class Cursor;

// A column value as SQLite orders it with the BINARY collation: NULL first,
// then numbers by value, then texts, then blobs, both by their stored bytes
// (in the database's own text encoding).
struct OrderKey {
    int storageClass = 0;  // 0 NULL, 1 number, 2 text, 3 blob
    double number = 0;
    std::string_view bytes;  // read from a cursor: lasts until its next step
    bool operator<(const OrderKey& other) const;
};

class Statement {
public:
    // Prepares the first statement of `sql`. A text that does not prepare
    // leaves the statement without a handle and with 0 columns.
    Statement(Database& db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isPrepared() const { return stmt_ != nullptr; }
    int columnCount() const { return columns_; }

    // Binds a value to the 1-based parameter `index` ("?" in the text).
    // Text is bound as UTF-8 and stored as the value itself. Returns the
    // SQLite result code (1 without a statement).
    int bind(int index, const Text& value);
    int bind(int index, int value);

    // Steps once (INSERT, UPDATE, REPLACE, DELETE); 0 or 101 is success.
    int executeNonQuery();
    // A cursor over the result rows.
    Cursor query();
    // Finalises the statement; returns the result code.
    int finalize();

private:
    friend class Cursor;
    void acquire() { ++shares_; }
    void release();

    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
    int shares_ = 0;
    int columns_ = 0;
    int textEncoding_ = 0;  // of the database's texts, once a text was read; 0 before
};

class Cursor {
public:
    Cursor() = default;
    explicit Cursor(Statement& s);
    ~Cursor() { release(); }
    Cursor(Cursor&& other) noexcept;
    Cursor& operator=(Cursor&& other) noexcept;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // sqlite3_step; 1 when the cursor has no statement.
    int step();
    // False when there is no statement or the column is out of range (the
    // output is then untouched). A NULL column reads as 0 / empty text.
    bool getInt(int column, int& out) const;
    bool getInt64(int column, std::int64_t& out) const;
    bool getString(int column, Text& out) const;
    // The column as UTF-16 (converted by SQLite when the database is in
    // UTF-8); the view lasts until the next step. NULL reads as empty.
    bool getString16(int column, std::u16string_view& out) const;
    // The key SQLite's "ORDER BY column" sorts the row by. Read it before
    // any other read of the column, which may convert the stored text.
    bool getOrderKey(int column, OrderKey& out) const;
    // True when the column holds a text that the database stores as UTF-16
    // in this machine's byte order: `out` is then the text as stored, with
    // the bytes its order key holds, and lasts until the next step. False
    // (nothing read, nothing converted) for any other value or database.
    bool getStoredUtf16(int column, std::u16string_view& out) const;
    // The same for a database that stores its texts as UTF-8.
    bool getStoredUtf8(int column, std::string_view& out) const;
    // The column as UTF-8 (converted by SQLite when the database is in
    // UTF-16); the view lasts until the next step. NULL reads as empty.
    bool getString8(int column, std::string_view& out) const;
    // Lowers the statement's share count; the last release resets it.
    void release();

private:
    sqlite3_stmt* readable(int column) const;
    sqlite3_value* storedText(int column, int encoding) const;
    Statement* stmt_ = nullptr;
};

class Transaction {
public:
    // Executes "begin;" at once when `begin` is set.
    Transaction(Database& db, bool begin);
    ~Transaction();  // rolls back when still active
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return active_; }
    int begin();     // 1 at once when already active
    int commit();    // 1 at once when not active
    int rollback();  // whatever the state

private:
    Database& db_;
    bool active_ = false;
};

// The names of the file's tables in lower case (SQLite's names ignore
// case); false when the file is not a database.
bool tableNames(Database& db, std::set<std::string>& names);

}  // namespace velmora
