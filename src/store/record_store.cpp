#include "store/record_store.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include <sqlite3.h>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "store/alarm_edits.h"
#include "store/alarm_statements.h"
#include "store/credentials.h"
#include "store/database.h"
#include "store/schema.h"

namespace velmora {

namespace {

// printf-style formatting of a statement text. Only integers and texts
// that cannot hold a quote (Base64, hex digests, fixed versions) are
// formatted in; every other text is bound.
std::string sqlf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string sqlf(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

int serial(std::uint32_t sn) { return static_cast<int>(sn); }

int intColumn(const Cursor& c, int column) {
    int v = 0;
    c.getInt(column, v);
    return v;
}

Text textColumn(const Cursor& c, int column) {
    Text v;
    c.getString(column, v);
    return v;
}

// `text` cut to `limit` UTF-16 units (a surrogate pair is not split);
// `cut` counts a text that was longer.
std::u16string_view bounded(std::u16string_view text, std::size_t limit, std::size_t& cut) {
    if (text.size() <= limit) return text;
    ++cut;
    if (limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF) --limit;
    return text.substr(0, limit);
}

// An enciphered text is Base64 of one byte per character: whole groups of
// four stored characters give the first kMaxRecordTextChars characters.
constexpr std::size_t kMaxEncipheredChars = kMaxRecordTextChars / 3 * 4;

// A stored enciphered text as its bytes (UTF-8, or UTF-16 in the
// machine's order), cut to kMaxEncipheredChars characters without
// splitting one; `cut` counts a text that was longer.
std::string_view boundedStored(std::string_view bytes, bool utf8, std::size_t& cut) {
    if (!utf8) {
        const std::u16string_view wide(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
        return bytes.substr(0, 2 * bounded(wide, kMaxEncipheredChars, cut).size());
    }
    if (bytes.size() <= kMaxEncipheredChars) return bytes;
    ++cut;
    std::size_t limit = kMaxEncipheredChars;
    while (limit > 0 && (static_cast<unsigned char>(bytes[limit]) & 0xC0) == 0x80) --limit;
    return bytes.substr(0, limit);
}

// A title or description, at most kMaxRecordTextChars long.
Text boundedTextColumn(const Cursor& c, int column, std::size_t& cut) {
    std::u16string_view v;
    c.getString16(column, v);
    return utf16ToUtf8(std::u16string(bounded(v, kMaxRecordTextChars, cut)));
}

// A personal text, deciphered from the stored form as SQLite holds it (the
// databases are UTF-16): the same as deciphering the UTF-8 text, without
// SQLite converting it first. At most kMaxRecordTextChars long.
Text decipheredColumn(const Cursor& c, int column, std::size_t& cut) {
    std::u16string_view stored;
    c.getString16(column, stored);
    return FieldCipher::decipher(bounded(stored, kMaxEncipheredChars, cut));
}

// Bytes from..from+7 of a text as a big-endian number, zeros past its end:
// numbers of two texts compare as the texts' bytes do, unless equal.
std::uint64_t bigEndianPrefix(std::string_view text, std::size_t from) {
    std::uint64_t v = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        v = (v << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return v;
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

DeviceRecord deviceFromRow(const Cursor& c) {
    DeviceRecord d;
    d.sn = static_cast<std::uint32_t>(intColumn(c, 0));
    d.device_type = intColumn(c, 1);
    d.programming_time = intColumn(c, 2);
    d.last_alarm = intColumn(c, 3);
    d.alarm_amount = intColumn(c, 4);
    return d;
}

LogEntry logFromRow(const Cursor& c) {
    LogEntry e;
    e.alarm_time = intColumn(c, 0);
    e.log_status = intColumn(c, 1);
    e.ack = intColumn(c, 2);
    return e;
}

// ---- Single statements on an open connection ----

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

namespace {

bool saveDeviceOn(Database& db, const DeviceRecord& d, int owner) {
    Statement st(db, sqlf("REPLACE INTO Devices VALUES(%d, %d, %d, %d, %d, %d);", serial(d.sn),
                          d.device_type, d.programming_time, d.last_alarm, d.alarm_amount, owner));
    return stepSucceeded(st.executeNonQuery());
}

bool saveLogEntryOn(Database& db, const LogEntry& e, int owner) {
    Statement st(db, sqlf("REPLACE INTO Log VALUES(%d, %d, %d, %d);", e.alarm_time, e.log_status,
                          e.ack, owner));
    return stepSucceeded(st.executeNonQuery());
}

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

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The tables' names in lower case (SQLite's names ignore case); false when
// the file is not a database.
bool tableNames(Database& db, std::set<std::string>& names) {
    Statement list(db, "SELECT name FROM sqlite_master WHERE type = 'table';");
    if (!list.isPrepared()) return false;
    Cursor c = list.query();
    Text name;
    int rc;
    while ((rc = c.step()) == kSqliteRow && c.getString(0, name)) names.insert(lowerCase(name));
    return rc == kSqliteDone;
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

void closeCurrentUser(CurrentUser& user) {
    user.setProfile(Profile{});
    user.alarm_table.clear();
    user.programmed_instants.clear();
    user.programmed_window = 0;
}

RecordStore::RecordStore(std::filesystem::path databasePath) : path_(std::move(databasePath)) {}

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
        if (present.count(lowerCase(t.name)) == 0 && db.execute(t.sql) != kSqliteOk) return out;
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

// ---- Users ----

// The rows of Profiles as read, the texts still enciphered. Deciphering
// them, most of the work of loading the users, waits until the users are
// first read (UserList); the users come out as deciphering each row when
// it was read would have given them. Rows and texts are kept in blocks that
// never move (growing one buffer for 5,000 users copied it again and again).
class SealedProfiles {
public:
    // `utf8`: the database stores its texts as UTF-8 (else as UTF-16).
    void read(Cursor& c, bool utf8);
    std::size_t size() const { return count_; }
    // Texts read cut to kMaxRecordTextChars.
    std::size_t cut() const { return cut_; }
    // Deciphers every row and appends the users, ordered by plain name.
    void open(std::vector<Profile>& list) const;

private:
    struct Row {
        int id = 0;
        int flag = 0;
        int programType = 0;
        int window = 0;
        // name, ssn, phone, comment: the bytes of each text in the
        // database's own encoding
        const char* texts[4] = {};
        std::uint32_t sizes[4] = {};
        // The stored name as SQLite orders it: the bytes of texts[0] when
        // the name is a text as stored, otherwise keys_[key].
        int key = -1;
        std::string_view text(int i) const { return {texts[i], sizes[i]}; }
    };
    struct StoredKey {  // an OrderKey that keeps its bytes
        int storageClass = 0;
        double number = 0;
        std::string bytes;
    };
    void keep(Row& r, const std::string_view (&texts)[4]);
    OrderKey keyOf(const Row& row) const;
    Text decipher(std::string_view bytes) const {
        if (utf8_) return FieldCipher::decipher(bytes);
        // UTF-16 texts have an even number of bytes and start at even
        // places of blocks of char16_t.
        return FieldCipher::decipher(
            std::u16string_view(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2));
    }

    static constexpr std::size_t kRowBlock = 256;
    static constexpr std::size_t kTextBlock = 32768;  // bytes
    std::vector<std::vector<Row>> rows_;
    std::vector<std::unique_ptr<char16_t[]>> texts_;
    char* next_ = nullptr;  // the free part of the last block
    std::size_t room_ = 0;
    std::vector<StoredKey> keys_;
    std::size_t count_ = 0;
    std::size_t cut_ = 0;
    bool utf8_ = false;
};

void SealedProfiles::keep(Row& r, const std::string_view (&texts)[4]) {
    // Each text starts at an even place, so that UTF-16 texts stay aligned.
    std::size_t total = 0;
    for (const std::string_view& t : texts) total += t.size() + (t.size() & 1);
    if (total > room_) {
        room_ = std::max(kTextBlock, total);
        texts_.push_back(std::make_unique_for_overwrite<char16_t[]>((room_ + 1) / 2));
        next_ = reinterpret_cast<char*>(texts_.back().get());
    }
    for (int i = 0; i < 4; ++i) {
        r.texts[i] = next_;
        r.sizes[i] = static_cast<std::uint32_t>(texts[i].size());
        next_ = std::copy(texts[i].begin(), texts[i].end(), next_) + (texts[i].size() & 1);
    }
    room_ -= total;
}

void SealedProfiles::read(Cursor& c, bool utf8) {
    utf8_ = utf8;
    const auto bytes = [](std::u16string_view t) {
        return std::string_view(reinterpret_cast<const char*>(t.data()), t.size() * 2);
    };
    const auto readText = [&](int column, std::string_view& out) {
        if (utf8) return c.getString8(column, out);
        std::u16string_view wide;
        const bool ok = c.getString16(column, wide);
        out = bytes(wide);
        return ok;
    };
    while (c.step() == kSqliteRow) {
        if (rows_.empty() || rows_.back().size() == kRowBlock) rows_.emplace_back().reserve(kRowBlock);
        Row& r = rows_.back().emplace_back();
        ++count_;
        r.id = intColumn(c, 0);
        r.flag = intColumn(c, 1);
        std::string_view t[4];
        std::u16string_view wide;
        const bool asStored = utf8 ? c.getStoredUtf8(2, t[0]) : c.getStoredUtf16(2, wide);
        if (!utf8) t[0] = bytes(wide);
        if (!asStored) {
            // Read before the text, which may convert the stored value.
            OrderKey key;
            c.getOrderKey(2, key);
            r.key = static_cast<int>(keys_.size());
            key.bytes = key.bytes.substr(0, 2 * kMaxEncipheredChars);
            keys_.push_back({key.storageClass, key.number, std::string(key.bytes)});
            readText(2, t[0]);
        }
        for (int i = 1; i < 4; ++i) readText(2 + i, t[i]);
        for (std::string_view& text : t) text = boundedStored(text, utf8, cut_);
        keep(r, t);
        r.programType = intColumn(c, 6);
        r.window = intColumn(c, 7);
    }
}

OrderKey SealedProfiles::keyOf(const Row& row) const {
    if (row.key < 0) return OrderKey{2, 0, row.text(0)};
    const StoredKey& key = keys_[static_cast<std::size_t>(row.key)];
    return OrderKey{key.storageClass, key.number, key.bytes};
}

void SealedProfiles::open(std::vector<Profile>& list) const {
    // The stored names are enciphered, so the order is made here, on the
    // plain names. Users of the same plain name keep the order the stored
    // names gave them when SQLite sorted by them: by stored name, then by
    // id. The first 16 bytes of each name, as two numbers, decide most
    // comparisons without reading the names; each user is then moved once.
    struct Entry {
        std::uint64_t head[2];
        std::string_view name;
        const Row* row;
        std::size_t index;
    };
    std::vector<Profile> opened(count_);
    std::vector<Entry> order;
    order.reserve(count_);
    std::size_t i = 0;
    for (const std::vector<Row>& block : rows_) {
        for (const Row& r : block) {
            Profile& p = opened[i];
            p.id = r.id;
            p.is_programming_needed = r.flag != 0;
            p.setName(decipher(r.text(0)));
            p.setSsn(decipher(r.text(1)));
            p.setPhone(decipher(r.text(2)));
            p.setComment(decipher(r.text(3)));
            p.program_type = r.programType;
            p.window = r.window;
            order.push_back({{bigEndianPrefix(p.name, 0), bigEndianPrefix(p.name, 8)}, p.name, &r, i});
            ++i;
        }
    }
    std::sort(order.begin(), order.end(), [this](const Entry& a, const Entry& b) {
        if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
        if (const int d = a.name.compare(b.name); d != 0) return d < 0;
        const OrderKey x = keyOf(*a.row), y = keyOf(*b.row);
        if (x < y || y < x) return x < y;
        return a.row->id < b.row->id;
    });
    list.reserve(list.size() + count_);
    for (const Entry& entry : order) list.push_back(std::move(opened[entry.index]));
}

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

// ---- Reminders ----

bool RecordStore::saveDevice(const DeviceRecord& record, int owner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    return saveDeviceOn(db, record, owner);
}

bool RecordStore::findDevice(std::uint32_t sn, DeviceRecord& record) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE sn = %d;", serial(sn)));
    Cursor c = st.query();
    if (c.step() == kSqliteRow) record = deviceFromRow(c);
    return true;
}

bool RecordStore::findOwnerDevice(int owner, DeviceRecord& record) {
    record = DeviceRecord{};
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE owner_id = %d AND device_type = %d;", owner,
                          0));
    Cursor c = st.query();
    bool found = false;
    while (c.step() == kSqliteRow) {
        record = deviceFromRow(c);
        found = true;
    }
    return found;
}

int RecordStore::getDeviceOwner(std::uint32_t sn) {
    Database db(pathText());
    if (!db.isOpen()) return -1;
    Statement st(db, sqlf("SELECT owner_id FROM Devices WHERE sn = %d;", serial(sn)));
    Cursor c = st.query();
    if (c.step() != kSqliteRow) return -1;
    return intColumn(c, 0);
}

bool RecordStore::setDeviceOwner(int owner, std::uint32_t sn) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("UPDATE Devices SET owner_id = %d WHERE sn = %d;", owner, serial(sn)));
    return stepSucceeded(st.executeNonQuery());
}

bool RecordStore::loadOwnReminders(std::map<int, DeviceRecord>& byOwner) {
    Database db(pathText());
    if (!db.isOpen()) return false;
    Statement st(db, sqlf("SELECT * FROM Devices WHERE device_type = %d;", 0));
    Cursor c = st.query();
    while (c.step() == kSqliteRow) byOwner[intColumn(c, 5)] = deviceFromRow(c);
    return true;
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

int RecordStore::insertImportedUser(const Profile& p, const std::vector<DeviceRecord>& devices,
                                    const std::vector<Alarm>& alarms,
                                    const std::map<TimeValue, LogEntry>& history) {
    Database db(pathText());
    if (!db.isOpen()) return -1;
    Transaction tr(db, true);
    if (!tr.isActive()) return -1;
    int owner = insertImportedUserOn(db, p, devices, alarms, history);
    if (owner < 0 || tr.commit() != kSqliteOk) return -1;  // the transaction rolls back
    return owner;
}

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

// ---- The current user ----

bool RecordStore::deleteUser(CurrentUser& user, const Profile& profile) {
    if (!deleteProfile(profile.id)) return false;
    if (user.id == profile.id) closeCurrentUser(user);
    std::erase_if(user.users.all(), [&](const Profile& p) { return p.id == profile.id; });
    return true;
}

bool RecordStore::reloadUsers(CurrentUser& user) {
    user.users.clear();
    auto sealed = std::make_shared<SealedProfiles>();
    if (!readProfiles(*sealed)) return false;
    const std::size_t count = sealed->size();
    user.users.appendSealed(count, [sealed = std::move(sealed)](std::vector<Profile>& list) { sealed->open(list); });
    return true;
}

bool RecordStore::selectUser(CurrentUser& user, int id, TimeValue now,
                             const AlarmTablePreparer& prepare, SaveCurrent save) {
    if (id < 1) return false;
    if (id == user.id) return true;
    Profile chosen;
    if (!loadProfile(id, chosen) || chosen.id != id) return false;
    if (save == SaveCurrent::Yes && user.id > 0) updateProfile(user.profile());

    // What the previous user's reminder was believed to hold is not this
    // user's; the preparer fills it again when the stored flag allows.
    closeCurrentUser(user);
    user.setProfile(chosen);
    loadAlarms(id, user.alarms);
    std::vector<LogEntry> log;
    loadLog(id, log);
    mergeLogEntries(user.history, log);

    if (!user.is_programming_needed) {
        if (prepare) prepare(user, now);
        if (reprogrammingDue(user, now)) user.is_programming_needed = true;
    }
    return true;
}

bool RecordStore::reprogrammingDue(const CurrentUser& user, TimeValue now) {
    return static_cast<std::int64_t>(lastAlarmOf(user)) <
           static_cast<std::int64_t>(now) + kReprogramLeadSeconds;
}

bool RecordStore::assignDevice(const CurrentUser& user, std::uint32_t sn) {
    if (getDeviceOwner(sn) == user.id) return true;
    DeviceRecord d;
    d.sn = sn;
    d.device_type = DeviceRecord::kNewlyTied;
    return saveDevice(d, user.id);  // the REPLACE writes the owner with the row
}

TimeValue RecordStore::programmingTimeOf(std::uint32_t sn) {
    DeviceRecord d;
    findDevice(sn, d);
    return d.programming_time;
}

TimeValue RecordStore::lastAlarmOf(const CurrentUser& user) {
    DeviceRecord d;
    if (user.id > 0)
        findOwnerDevice(user.id, d);
    else
        findDevice(user.connected_sn, d);
    return d.last_alarm;
}

bool RecordStore::isOwnReminder(std::uint32_t sn) {
    DeviceRecord d;
    d.device_type = -1;
    findDevice(sn, d);
    return d.device_type == DeviceRecord::kOwn;
}

}  // namespace velmora
