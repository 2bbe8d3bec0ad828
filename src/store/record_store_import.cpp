// Storing the users of legacy files, and the import mark.
#include "store/record_store.h"

#include "store/alarm_statements.h"
#include "store/database.h"
#include "store/record_rows.h"

namespace velmora {

using namespace detail;

// ---- Legacy import ----

namespace {

// One imported user inside the caller's transaction; the new id or -1.
int insertImportedUserOn(Database& db, const Profile& p, const std::vector<DeviceRecord>& devices,
                         const std::vector<Alarm>& alarms,
                         const std::map<TimeValue, LogEntry>& history) {
    int owner = insertProfileOn(db, p.is_programming_needed, p.name, p.ssn, p.phone, p.comment);
    if (owner < 0) return -1;
    for (const DeviceRecord& d : devices)
        if (!saveDeviceOn(db, d, owner)) return -1;
    for (const Alarm& a : alarms)
        if (!insertAlarmOn(db, a, owner)) return -1;
    for (const auto& [t, e] : history)
        if (!saveLogEntryOn(db, e, owner)) return -1;
    return owner;
}

}  // namespace

bool RecordStore::insertImportedUsers(const std::vector<ImportedUser>& users, int mark, Text* reason) {
    Database db(pathText());
    auto failed = [&] {
        if (reason != nullptr) *reason = db.errorText();
        return false;  // the transaction rolls back: none of the file is stored
    };
    if (!db.isOpen()) return failed();
    Transaction tr(db, true);
    if (!tr.isActive()) return failed();
    for (const ImportedUser& u : users)
        if (insertImportedUserOn(db, u.profile, u.devices, u.alarms, u.profile.history) < 0) return failed();
    if (mark > 0 && db.execute(sqlf("PRAGMA user_version = %d;", mark)) != kSqliteOk) return failed();
    return tr.commit() == kSqliteOk || failed();
}

int RecordStore::importMark() {
    Database db(pathText());
    if (!db.isOpen()) return -1;
    Statement st(db, "PRAGMA user_version;");
    Cursor c = st.query();
    int mark = -1;
    return c.step() == kSqliteRow && c.getInt(0, mark) ? mark : -1;
}

}  // namespace velmora
