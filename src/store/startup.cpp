#include "store/startup.h"

#include "core/datetime.h"
#include "core/whole_file.h"
#include "store/record_store.h"

namespace velmora {

StartupResult openDatabaseAtStartup(RecordStore& store, const std::filesystem::path& dataDirectory,
                                    CurrentUser& user, const SYSTEMTIME& today, ImportStepHook onStep) {
    StartupResult result;
    user.setProfile(Profile{});
    user.connected_sn = 0;
    user.daylight = buildDaylightTable(today);
    // Before SQLite opens it: its journals take the file's rights.
    result.stillShared = !keepToOwner(store.databasePath());

    const RecordStore::SchemaOutcome schema = store.prepareSchema();
    using State = RecordStore::SchemaOutcome::State;
    if (schema.state == State::TooNew) {
        result.tooNew = true;
        result.newerSettings = schema.found;
        return result;
    }
    if (schema.state == State::WrongShape) {
        result.wrongTable = schema.table;
        return result;
    }
    if (schema.state != State::Ready) return result;
    result.created = schema.created;
    result.migrated = schema.migrated;
    if (schema.created) {
        // A new or empty file. The settings copy keeps its empty texts.
        user.logged_in = false;
        SettingsRow check;
        result.opened = store.readSettings(check);
    } else {
        result.opened = store.readSettings(user.settings);
        user.logged_in = user.settings.logged_in;
    }
    if (result.opened) {
        store.createOwnerIndexes();
        store.createLogOwnerIndex();
        LegacyImportReport imports = importLegacyUsers(store, dataDirectory, onStep);
        result.importedUsers = imports.imported;
        result.importProblems = std::move(imports.problems);
    }
    return result;
}

}  // namespace velmora
