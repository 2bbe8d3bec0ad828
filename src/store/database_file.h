#pragma once
// The database file as a whole: the consistent, checked snapshot that a
// backup sends, and the checked, crash-safe replacement that a restore
// makes. A damaged file is never sent (so a good backup on the service is
// not replaced by a bad one) and never put in place of the database.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/types.h"

namespace velmora {

// A backup must be smaller than this.
inline constexpr std::size_t kBackupSizeLimit = 10000000;
// A restore reply shorter than this is a message of the service, not a database.
inline constexpr std::size_t kMinimumRestoreBytes = 1000;
// Dated copies of replaced databases kept beside the database.
inline constexpr std::size_t kKeptDatabaseCopies = 5;
inline constexpr char kDatedCopyMarker[] = ".bak-";

enum class SnapshotResult { Ok, TooLarge, Unreadable };

// Copies the database with SQLite's online backup into a temporary file
// (adding the report table when an old database lacks it), drops the
// local indexes of schema.h from the copy and compacts it (VACUUM), so
// that it holds the six tables only; checks the copy as isUsableDatabase
// does and reads it into `bytes`. TooLarge when the copy has
// kBackupSizeLimit bytes or more (or the file twice that); Unreadable when
// the database is missing, not a database or damaged. `bytes` is filled
// only for Ok.
SnapshotResult snapshotDatabase(const std::filesystem::path& database, std::string& bytes);

// A database of this program: the SQLite header, "ok" from the integrity
// check, the six tables, and a settings row whose schema version is not
// newer than the program's.
bool isUsableDatabase(const std::filesystem::path& file);

enum class RestoreResult { Replaced, NotADatabase, NotWritten };

// Puts `bytes` in place of `database` when they are at least
// kMinimumRestoreBytes long and a usable database: written to a temporary
// file in the database's folder and flushed to disk, the previous database
// kept beside it as "<name>.bak-YYYYMMDD-HHMMSS" (`localNow`; the newest
// kKeptDatabaseCopies copies are kept), then renamed into place. Otherwise
// the database stays as it was: NotADatabase when the bytes are not a
// usable database, NotWritten when the folder could not take the files.
RestoreResult replaceDatabase(const std::filesystem::path& database, const std::string& bytes,
                              const SYSTEMTIME& localNow);

// The dated copies beside `database`, oldest first.
std::vector<std::filesystem::path> datedCopies(const std::filesystem::path& database);

}  // namespace velmora
