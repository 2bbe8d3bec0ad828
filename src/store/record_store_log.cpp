// The acknowledgement log (table Log, and merging entries into a history)
// and the stored programming reports (table Reports).
#include "store/record_store.h"

#include "store/credentials.h"
#include "store/database.h"
#include "store/record_rows.h"
#include "store/schema.h"

namespace velmora {

using namespace detail;

namespace {

LogEntry logFromRow(const Cursor& c) {
    LogEntry e;
    e.alarm_time = intColumn(c, 0);
    e.log_status = intColumn(c, 1);
    e.ack = intColumn(c, 2);
    return e;
}

}  // namespace

namespace detail {

bool saveLogEntryOn(Database& db, const LogEntry& e, int owner) {
    Statement st(db, sqlf("REPLACE INTO Log VALUES(%d, %d, %d, %d);", e.alarm_time, e.log_status,
                          e.ack, owner));
    return stepSucceeded(st.executeNonQuery());
}

}  // namespace detail

void mergeLogEntries(std::map<TimeValue, LogEntry>& history, const std::vector<LogEntry>& entries) {
    for (const LogEntry& e : entries) {
        auto [it, inserted] = history.try_emplace(e.alarm_time, e);
        if (inserted) continue;
        LogEntry& h = it->second;
        if (h.log_status == kStatusNotAlarmed && e.log_status != kStatusNotAlarmed) {
            h.ack = e.ack;
            h.log_status = e.log_status;
        } else if ((h.log_status == kStatusForgottenAlt || h.log_status == kStatusAcknowledgedLate) &&
                   e.log_status == kStatusAcknowledged) {
            h.ack = e.ack;
            h.log_status = kStatusAcknowledged;
        }
    }
}

// ---- Log and reports ----

bool RecordStore::saveLogEntries(const std::vector<LogEntry>& entries, int owner) {
    if (owner < 0) return false;
    Database db(pathText());
    if (!db.isOpen()) return false;
    Transaction tr(db, true);
    tr.begin();
    bool all = tr.isActive();
    for (const LogEntry& e : entries) all = saveLogEntryOn(db, e, owner) && all;
    return tr.commit() == kSqliteOk && all;
}

bool RecordStore::saveLogEntries(const std::map<TimeValue, LogEntry>& history, int owner) {
    std::vector<LogEntry> entries;
    entries.reserve(history.size());
    for (const auto& [t, e] : history) entries.push_back(e);
    return saveLogEntries(entries, owner);
}

bool RecordStore::loadLog(int owner, std::vector<LogEntry>& list) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Log WHERE owner_id = %d;", owner));
    Cursor c = st.query();
    while (c.step() == kSqliteRow) list.push_back(logFromRow(c));
    return true;
}

bool RecordStore::saveReport(int owner, const Text& text) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    db.execute(kReportsTableSql);
    Statement st(db, sqlf("REPLACE INTO Reports VALUES(%d, '%s');", owner,
                          FieldCipher::encipher(text).c_str()));
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::loadReport(int owner, Text& text) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Reports WHERE owner_id = %d;", owner));
    Cursor c = st.query();
    if (c.step() == kSqliteRow) text = FieldCipher::decipher(textColumn(c, 1));
    return true;
}

}  // namespace velmora
