// The schema: creating, migrating and checking the tables, the versions,
// and the settings row with the account stored in it.
#include "store/record_store.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "store/credentials.h"
#include "store/database.h"
#include "store/record_rows.h"
#include "store/schema.h"

namespace velmora {

using namespace detail;

namespace {

std::string settingsRowSql() {
    return sqlf("INSERT INTO Settings ('id', 'sw_version', 'db_version', 'password') "
                "VALUES(1, '%s', %d, '%s');",
                kSoftwareVersion, kSchemaVersion, logoutDigest().c_str());
}

bool setVersionOn(Database& db, const Text& swVersion, int dbVersion) {
    Statement st(db, "UPDATE Settings SET sw_version=?, db_version=? WHERE id=1;");
    st.bind(1, swVersion);
    st.bind(2, dbVersion);
    return st.executeNonQuery() == kSqliteDone;
}

bool readSettingsOn(Database& db, SettingsRow& row) {
    Statement st(db, "SELECT * FROM Settings WHERE id = 1;");
    Cursor c = st.query();
    if (c.step() != kSqliteRow) return false;
    row.sw_version = textColumn(c, 1);
    row.db_version = intColumn(c, 2);
    row.username = textColumn(c, 3);
    row.password = textColumn(c, 4);
    row.logged_in = row.password != logoutDigest();
    return true;
}

// A table's columns as SQLite describes them: name, type, not-null,
// default and key position.
std::vector<std::string> columnsOf(Database& db, const char* table) {
    Statement info(db, std::string("PRAGMA table_info(") + table + ");");
    Cursor c = info.query();
    std::vector<std::string> out;
    while (c.step() == kSqliteRow) {
        std::string column;
        for (int i = 1; i <= 5; ++i) column += textColumn(c, i) + '\x1f';
        out.push_back(std::move(column));
    }
    return out;
}

// True when every table of `db` has the columns that the definitions
// give; else `table` names the first that differs.
bool sameShapes(Database& db, std::string& table) {
    Database model(":memory:");
    for (const SchemaTable& t : kSchemaTables) model.execute(t.sql);
    for (const SchemaTable& t : kSchemaTables) {
        if (columnsOf(db, t.name) != columnsOf(model, t.name)) {
            table = t.name;
            return false;
        }
    }
    return true;
}
}  // namespace

// ---- Schema ----

bool RecordStore::createDatabase() {
    Database db(pathText());
    if (!db.isOpen()) return false;
    db.execute(kSettingsTableSql);
    db.execute(settingsRowSql());
    db.execute(kProfilesTableSql);
    db.execute(kDevicesTableSql);
    db.execute(kAlarmsTableSql);
    db.execute(kLogTableSql);
    return true;
}

bool RecordStore::createReportsTable() {
    Database db(pathText());
    if (!db.isOpen()) return false;
    db.execute(kReportsTableSql);
    return true;
}

bool RecordStore::migrateProfiles() {
    Database db(pathText());
    if (!db.isOpen()) return false;
    db.execute("ALTER TABLE Profiles ADD COLUMN program_type INTEGER;");
    db.execute("ALTER TABLE Profiles ADD COLUMN window INTEGER;");
    return true;
}

bool RecordStore::createOwnerIndexes() {
    Database db(pathText());
    if (!db.isOpen()) return false;
    const bool devices = db.execute(kDevicesOwnerIndexSql) == kSqliteOk;
    return db.execute(kAlarmsOwnerIndexSql) == kSqliteOk && devices;
}

bool RecordStore::createLogOwnerIndex() {
    Database db(pathText());
    return db.isOpen() && db.execute(kLogOwnerIndexSql) == kSqliteOk;
}

bool RecordStore::setVersion(const Text& swVersion, int dbVersion) {
    Database db(pathText());
    return db.isOpen() && setVersionOn(db, swVersion, dbVersion);
}

bool RecordStore::readSettings(SettingsRow& row) {
    Database db(pathText());
    return db.isOpen() && readSettingsOn(db, row);
}

RecordStore::SchemaOutcome RecordStore::prepareSchema() {
    SchemaOutcome out;
    Database db(pathText());
    if (!db.isOpen()) return out;
    Transaction tr(db, true);
    std::set<std::string> present;
    if (!tr.isActive() || !tableNames(db, present)) return out;  // not a database

    SettingsRow row;
    const bool hasRow = present.count("settings") != 0 && readSettingsOn(db, row);
    if (hasRow && row.db_version > kSchemaVersion) {
        out.state = SchemaOutcome::State::TooNew;
        out.found = row;
        return out;  // rolled back: nothing was written
    }
    if (hasRow && row.db_version < kSchemaVersion) {
        db.execute("ALTER TABLE Profiles ADD COLUMN program_type INTEGER;");
        db.execute("ALTER TABLE Profiles ADD COLUMN window INTEGER;");
        out.migrated = true;
    }
    for (const SchemaTable& t : kSchemaTables)
        if (present.count(lowerAscii(t.name)) == 0 && db.execute(t.sql) != kSqliteOk) return out;
    if (!hasRow) {
        if (db.execute(settingsRowSql()) != kSqliteOk) return out;
        out.created = true;
    }
    if (!sameShapes(db, out.table)) {
        out.state = SchemaOutcome::State::WrongShape;
        return out;
    }
    if (hasRow && (row.sw_version != kSoftwareVersion || row.db_version != kSchemaVersion) &&
        !setVersionOn(db, kSoftwareVersion, kSchemaVersion))
        return out;
    if (tr.commit() != kSqliteOk) return out;
    out.state = SchemaOutcome::State::Ready;
    return out;
}

// ---- Account ----

bool RecordStore::storeAccount(const Text& username, const std::string& passwordDigest) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("UPDATE Settings SET id = 1, username = ?, password = '%s'",
                          passwordDigest.c_str()));
    st.bind(1, username);
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::storePassword(const std::string& passwordDigest) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("UPDATE Settings SET id = 1, password = '%s'", passwordDigest.c_str()));
    return stepSucceeded(st.executeNonQuery());
}

}  // namespace velmora
