// The alarms: table Alarms.
#include "store/record_store.h"

#include <utility>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "store/alarm_edits.h"
#include "store/alarm_statements.h"
#include "store/database.h"
#include "store/record_rows.h"

namespace velmora {

using namespace detail;

namespace {

// A title or description, at most kMaxRecordTextChars long.
Text boundedTextColumn(const Cursor& c, int column, std::size_t& cut) {
    std::u16string_view v;
    c.getString16(column, v);
    return utf16ToUtf8(std::u16string(bounded(v, kMaxRecordTextChars, cut)));
}

Alarm alarmFromRow(const Cursor& c, std::size_t& cut) {
    Alarm a;
    a.id = intColumn(c, 0);
    a.alarm_start = fromTimeValue(static_cast<TimeValue>(intColumn(c, 1)));
    a.alarm_end = fromTimeValue(static_cast<TimeValue>(intColumn(c, 2)));
    a.repeat_forever = intColumn(c, 3) != 0;
    a.repeat_pattern = static_cast<std::uint8_t>(intColumn(c, 4) & 0xFF);
    a.alarm_type = intColumn(c, 5);
    a.title = boundedTextColumn(c, 6, cut);
    a.description = boundedTextColumn(c, 7, cut);
    return a;
}

}  // namespace

bool insertAlarmOn(Database& db, const Alarm& a, int owner) {
    Statement st(db, sqlf("INSERT INTO Alarms ('alarm_start', 'alarm_end', 'repeat_forever', "
                          "'repeat_pattern', 'alarm_type', 'title', 'description', 'owner_id') "
                          "VALUES(%d, %d, %d, %d, %d, ?, ?, %d);",
                          toTimeValue(a.alarm_start), toTimeValue(a.alarm_end),
                          a.repeat_forever ? 1 : 0, static_cast<int>(a.repeat_pattern),
                          a.alarm_type, owner));
    st.bind(1, a.title);
    st.bind(2, a.description);
    return stepSucceeded(st.executeNonQuery());
}

bool deleteAlarmOn(Database& db, int id) {
    Statement st(db, sqlf("DELETE FROM Alarms WHERE id = %d;", id));
    return stepSucceeded(st.executeNonQuery());
}

bool updateAlarmOn(Database& db, const Alarm& alarm) {
    Statement st(db, sqlf("UPDATE Alarms SET alarm_start = %d, alarm_end = %d, repeat_forever = %d, "
                          "repeat_pattern = %d, alarm_type = %d, title = ?, description = ? WHERE "
                          "id = %d",
                          toTimeValue(alarm.alarm_start), toTimeValue(alarm.alarm_end),
                          alarm.repeat_forever ? 1 : 0, static_cast<int>(alarm.repeat_pattern),
                          alarm.alarm_type, alarm.id));
    st.bind(1, alarm.title);
    st.bind(2, alarm.description);
    return stepSucceeded(st.executeNonQuery());
}

// ---- Alarms ----

bool RecordStore::loadAlarms(int owner, std::vector<Alarm>& list) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Alarms WHERE owner_id = %d;", owner));
    Cursor c = st.query();
    while (c.step() == kSqliteRow) list.push_back(alarmFromRow(c, textsCut_));
    return true;
}

bool RecordStore::saveAlarm(Alarm& alarm, int owner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    if (alarm.id <= 0) {
        if (!insertAlarmOn(db, alarm, owner)) return false;
        alarm.id = static_cast<int>(db.getLastInsertId());
        return true;
    }
    return updateAlarmOn(db, alarm);
}

bool RecordStore::insertAlarms(const std::vector<Alarm>& alarms, int owner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Transaction tr(db, true);
    tr.begin();
    // A failed row leaves the others to be committed, but is reported.
    bool all = tr.isActive();
    for (const Alarm& a : alarms) all = insertAlarmOn(db, a, owner) && all;
    return tr.commit() == kSqliteOk && all;
}

bool RecordStore::deleteAlarm(int id) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    return deleteAlarmOn(db, id);
}

bool RecordStore::deleteAlarmsOfOwner(int owner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("DELETE FROM Alarms WHERE owner_id = %d;", owner));
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::replaceAlarms(const std::vector<int>& removedIds, std::vector<Alarm>& added,
                                int owner) {
    AlarmEdits edits{removedIds, {}, std::move(added)};
    const bool written = writeAlarmEdits(*this, edits, owner);
    added = std::move(edits.inserted);
    return written;
}

}  // namespace velmora
