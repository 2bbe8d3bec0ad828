#pragma once
// Opening the database when the program starts: create it when new,
// migrate an older schema, rewrite the version, read the settings row and
// build the daylight table into the CurrentUser, then import legacy user
// files. No step stops the program: a database that cannot be opened
// leaves the CurrentUser with defaults and an empty settings copy.
#include <filesystem>

#include "core/records.h"
#include "core/types.h"

namespace velmora {

class RecordStore;

struct StartupResult {
    bool opened = false;         // the settings row could be read at the end
    bool created = false;        // a new database was created
    bool migrated = false;       // an older schema got its missing columns
    int importedUsers = 0;       // legacy user files imported (and deleted)
};

// `dataDirectory` holds the legacy files ("profiles/*.vel"); `today` is the
// present local date-time (for the daylight table).
StartupResult openDatabaseAtStartup(RecordStore& store, const std::filesystem::path& dataDirectory,
                                    CurrentUser& user, const SYSTEMTIME& today);

}  // namespace velmora
