#include "store/alarm_edits.h"

#include "store/alarm_statements.h"
#include "store/database.h"

namespace velmora {

bool writeAlarmEdits(const RecordStore& store, AlarmEdits& edits, int owner) {
    Database db(store.databasePath().string());
    if (!db.isOpen()) return false;
    Transaction tr(db, true);
    if (!tr.isActive()) return false;
    // Any failure returns with the transaction still active: it rolls back.
    for (int id : edits.deleted)
        if (!deleteAlarmOn(db, id)) return false;
    for (const Alarm& a : edits.updated)
        if (a.id <= 0 || !updateAlarmOn(db, a)) return false;
    std::vector<int> ids;
    ids.reserve(edits.inserted.size());
    for (const Alarm& a : edits.inserted) {
        if (!insertAlarmOn(db, a, owner)) return false;
        ids.push_back(static_cast<int>(db.getLastInsertId()));
    }
    if (tr.commit() != kSqliteOk) return false;
    for (std::size_t i = 0; i < ids.size(); ++i) edits.inserted[i].id = ids[i];
    return true;
}

}  // namespace velmora
