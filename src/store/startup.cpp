#include "store/startup.h"

#include "core/datetime.h"
#include "store/legacy_import.h"
#include "store/record_store.h"

namespace velmora {

StartupResult openDatabaseAtStartup(RecordStore& store, const std::filesystem::path& dataDirectory,
                                    CurrentUser& user, const SYSTEMTIME& today) {
    StartupResult result;
    user.setProfile(Profile{});
    user.connected_sn = 0;
    user.daylight = buildDaylightTable(today);

    if (store.readSettings(user.settings)) {
        if (user.settings.db_version < kSchemaVersion) {
            store.migrateProfiles();
            result.migrated = true;
        }
        user.logged_in = user.settings.logged_in;
        store.setVersion(kSoftwareVersion, kSchemaVersion);
        result.opened = store.readSettings(user.settings);
    } else {
        // A new or empty file. The settings copy keeps its empty texts.
        result.created = store.createDatabase();
        store.createReportsTable();
        user.logged_in = false;
        store.setVersion(kSoftwareVersion, kSchemaVersion);
        SettingsRow check;
        result.opened = store.readSettings(check);
    }
    if (result.opened) {
        store.createOwnerIndexes();
        store.createLogOwnerIndex();
        result.importedUsers = importLegacyUsers(store, dataDirectory);
    }
    return result;
}

}  // namespace velmora
