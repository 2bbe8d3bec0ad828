#pragma once
// Opening the database when the program starts: create it when new,
// migrate an older schema, set the version, read the settings row and
// build the daylight table into the CurrentUser, then import legacy user
// files. A database that cannot be opened leaves the CurrentUser with
// defaults and an empty settings copy; one written by a newer version, or
// with tables of another shape, is left exactly as it is.
#include <filesystem>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/types.h"
#include "store/legacy_import.h"

namespace velmora {

class RecordStore;

struct StartupResult {
    bool opened = false;         // the settings row could be read at the end
    bool created = false;        // a new database was created
    bool migrated = false;       // an older schema got its missing columns
    int importedUsers = 0;       // legacy user files imported (and deleted)
    // The database was left alone: written by a newer version (its
    // settings row as found), or a table (named) has other columns.
    bool tooNew = false;
    SettingsRow newerSettings;
    std::string wrongTable;
    // The database was readable by others and could not be narrowed.
    bool stillShared = false;
    // Legacy user files that were not imported and why.
    std::vector<ImportProblem> importProblems;

    bool refused() const { return tooNew || !wrongTable.empty(); }
};

// `dataDirectory` holds the legacy files ("profiles/*.vel"); `today` is the
// present local date-time (for the daylight table). `onStep`, when given,
// is told of each step of the legacy import (see importLegacyUsers).
StartupResult openDatabaseAtStartup(RecordStore& store, const std::filesystem::path& dataDirectory,
                                    CurrentUser& user, const SYSTEMTIME& today,
                                    ImportStepHook onStep = nullptr);

}  // namespace velmora
