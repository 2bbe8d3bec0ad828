// The users: table Profiles, their enciphered texts, and deleting a user
// with everything that belongs to her.
#include "store/record_store.h"

#include <sqlite3.h>

#include "store/credentials.h"
#include "store/database.h"
#include "store/record_rows.h"
#include "store/sealed_profiles.h"

namespace velmora {

using namespace detail;

namespace {

// A personal text, deciphered from the stored form as SQLite holds it (the
// databases are UTF-16): the same as deciphering the UTF-8 text, without
// SQLite converting it first. At most kMaxRecordTextChars long.
Text decipheredColumn(const Cursor& c, int column, std::size_t& cut) {
    std::u16string_view stored;
    c.getString16(column, stored);
    return FieldCipher::decipher(bounded(stored, kMaxEncipheredChars, cut));
}

Profile profileFromRow(const Cursor& c, std::size_t& cut) {
    Profile p;
    p.id = intColumn(c, 0);
    p.is_programming_needed = intColumn(c, 1) != 0;
    p.setName(decipheredColumn(c, 2, cut));
    p.setSsn(decipheredColumn(c, 3, cut));
    p.setPhone(decipheredColumn(c, 4, cut));
    p.setComment(decipheredColumn(c, 5, cut));
    p.program_type = intColumn(c, 6);
    p.window = intColumn(c, 7);
    return p;
}

}  // namespace

namespace detail {

int insertProfileOn(Database& db, bool needed, const Text& name, const Text& ssn,
                    const Text& phone, const Text& comment) {
    Statement st(db, sqlf("INSERT INTO Profiles ('is_programming_needed', 'name', 'ssn', 'phone', "
                          "'comment', 'program_type', 'window') VALUES (%d, '%s', '%s', '%s', "
                          "'%s', %d, %d);",
                          needed ? 1 : 0, FieldCipher::encipher(name).c_str(),
                          FieldCipher::encipher(ssn).c_str(), FieldCipher::encipher(phone).c_str(),
                          FieldCipher::encipher(comment).c_str(), 0, 600));
    if (!stepSucceeded(st.executeNonQuery())) return -1;
    return static_cast<int>(db.getLastInsertId());
}

}  // namespace detail

// ---- Users ----
bool RecordStore::readProfiles(SealedProfiles& sealed) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    db.mapForReading(std::int64_t{64} << 20);
    // Files written by other tools may keep their texts as UTF-8: they are
    // read as stored, as UTF-16 ones are, without a conversion per text.
    Text encoding;
    {
        Statement pragma(db, "PRAGMA encoding;");
        Cursor e = pragma.query();
        if (e.step() == kSqliteRow) e.getString(0, encoding);
    }
    Statement st(db, "SELECT * FROM Profiles;");
    Cursor c = st.query();
    sealed.read(c, encoding == "UTF-8");
    textsCut_ += sealed.cut();
    return true;
}

bool RecordStore::loadProfiles(std::vector<Profile>& list) {
    SealedProfiles sealed;
    if (!readProfiles(sealed)) return false;
    sealed.open(list);
    return true;
}

bool RecordStore::loadProfile(int id, Profile& profile) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Profiles WHERE id = %d;", id));
    Cursor c = st.query();
    if (c.step() == kSqliteRow) profile = profileFromRow(c, textsCut_);
    return true;
}

bool RecordStore::loadUserReminderStates(std::vector<UserReminderState>& list,
                                         const std::function<bool(const UserReminderState&)>& keep) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    // Both go by the owner indexes. A user with several own reminders comes
    // once per reminder, in serial order: the last one counts.
    Statement st(db, sqlf("SELECT p.id, p.is_programming_needed, d.sn IS NOT NULL, d.programming_time, "
                          "d.last_alarm, (SELECT l.alarm_time FROM Log l WHERE l.owner_id = p.id AND "
                          "l.log_status <> %d ORDER BY l.alarm_time DESC LIMIT 1), p.name, p.ssn FROM "
                          "Profiles p LEFT JOIN Devices d ON d.owner_id = p.id AND d.device_type = %d "
                          "ORDER BY p.id, d.sn;",
                          static_cast<int>(kStatusNotAlarmed), static_cast<int>(DeviceRecord::kOwn)));
    Cursor c = st.query();
    const std::size_t first = list.size();
    int lastId = 0;
    bool lastKept = false;
    while (c.step() == kSqliteRow && list.size() - first < kMaxUserReminderStates) {
        UserReminderState u;
        u.id = intColumn(c, 0);
        u.is_programming_needed = intColumn(c, 1) != 0;
        u.hasOwnReminder = intColumn(c, 2) != 0;
        u.programming_time = intColumn(c, 3);
        u.last_alarm = intColumn(c, 4);
        u.newestAlarmedLog = intColumn(c, 5);
        if (u.id == lastId && lastKept) list.pop_back();
        lastId = u.id;
        lastKept = !keep || keep(u);
        // Deciphering is most of the work: only for the users kept.
        if (!lastKept) continue;
        u.name = withoutLineFeeds(decipheredColumn(c, 6, textsCut_));
        u.ssn = withoutLineFeeds(decipheredColumn(c, 7, textsCut_));
        list.push_back(std::move(u));
    }
    return true;
}

int RecordStore::insertProfile(bool isProgrammingNeeded, const Text& name, const Text& ssn,
                               const Text& phone, const Text& comment) {
    Database db(pathText());
    if (!db.isOpen()) return -1;
    return insertProfileOn(db, isProgrammingNeeded, name, ssn, phone, comment);
}

bool RecordStore::updateProfile(const Profile& p) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("UPDATE Profiles SET is_programming_needed = %d, name = '%s', ssn = '%s', "
                          "phone = '%s', comment = '%s', program_type = %d, window = %d WHERE id = "
                          "%d;",
                          p.is_programming_needed ? 1 : 0, FieldCipher::encipher(p.name).c_str(),
                          FieldCipher::encipher(p.ssn).c_str(),
                          FieldCipher::encipher(p.phone).c_str(),
                          FieldCipher::encipher(p.comment).c_str(), p.program_type, p.window, p.id));
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::updateUserDetails(int id, const Text& name, const Text& ssn, const Text& phone) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Transaction tr(db, true);
    if (!tr.isActive()) return false;
    Statement st(db, sqlf("UPDATE Profiles SET name = '%s', ssn = '%s', phone = '%s' WHERE id = %d;",
                          FieldCipher::encipher(name).c_str(), FieldCipher::encipher(ssn).c_str(),
                          FieldCipher::encipher(phone).c_str(), id));
    if (!stepSucceeded(st.executeNonQuery()) || sqlite3_changes(db.handle()) != 1) return false;
    st.finalize();
    return tr.commit() == kSqliteOk;
}

bool RecordStore::deleteProfile(int id) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Transaction tr(db, true);
    if (!tr.isActive()) return false;
    static const char* const kDeletes[] = {
        "DELETE FROM Profiles WHERE id = %d;",      "DELETE FROM Alarms WHERE owner_id = %d;",
        "DELETE FROM Log WHERE owner_id = %d;",     "DELETE FROM Devices WHERE owner_id = %d;",
        "DELETE FROM Reports WHERE owner_id = %d;",
    };
    for (const char* format : kDeletes) {
        int rc = db.execute(sqlf(format, id));
        if (rc == kSqliteOk) continue;
        // A database from before stored reports has no Reports table:
        // nothing to delete there.
        if (format == kDeletes[4] && rc == kSqliteError) continue;
        return false;  // the transaction rolls back
    }
    return tr.commit() == kSqliteOk;
}

}  // namespace velmora
