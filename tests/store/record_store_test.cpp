#include "store/record_store.h"

#include <gtest/gtest.h>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using namespace testing;
using RecordStoreTest = testing::StoreTest;

Alarm makeAlarm(const SYSTEMTIME& start, const Text& title, const Text& description = "") {
    Alarm a;
    a.alarm_start = start;
    a.alarm_end = addDays(start, 30);
    a.repeat_pattern = 1;
    a.title = title;
    a.description = description;
    return a;
}

TEST_F(RecordStoreTest, ProfileRoundTripAndOnlyEncipheredFormsInTheFile) {
    int id = store.insertProfile(true, "Äijälä Öhman", "131052-308T", "+358 40 1234567", "rivi 1\nrivi 2");
    ASSERT_GT(id, 0);
    EXPECT_EQ(fields(profileOf(id)), std::tuple("Äijälä Öhman", "131052-308T", "+358 40 1234567", "rivi 1\nrivi 2", true, 0, 600));

    // The raw file holds none of the personal texts, in either encoding.
    const std::string raw = testing::readBytes(dbIn(dir));
    for (const std::string plain : {"Öhman", "131052-308T", "1234567", "rivi 1", "hman"}) {
        std::string utf16;
        for (char c : plain) utf16 += {c, '\0'};
        EXPECT_EQ(raw.find(plain), std::string::npos) << plain;
        EXPECT_EQ(raw.find(utf16), std::string::npos) << plain;
    }
}

TEST_F(RecordStoreTest, LineFeedsAreRemovedFromNameSsnAndPhoneWhenRead) {
    // An older version could store a name with a line feed.
    ASSERT_EQ(rawExec(dbIn(dir), "INSERT INTO Profiles VALUES(9, 0, '" + FieldCipher::encipher("Aino\nAalto") + "', '" +
                                    FieldCipher::encipher("12\n34") + "', '" + FieldCipher::encipher("0\n40") + "', '" +
                                    FieldCipher::encipher("a\nb") + "', 1, 1200);"),
              0);
    EXPECT_EQ(fields(profileOf(9)), std::tuple("AinoAalto", "1234", "040", "a\nb", false, 1, 1200));
}

// Every field an update writes is read back by the flows that change it.
TEST_F(RecordStoreTest, AMissingIdLeavesTheProfile) {
    Profile keep;
    keep.name = "keep";
    ASSERT_TRUE(store.loadProfile(77, keep));
    EXPECT_EQ(keep.name, "keep");
}

TEST_F(RecordStoreTest, LoadProfilesOrdersByPlainName) {
    // Enciphered, "Cecilia" < "Aino" < "Bertta" would not hold; insert out of order too.
    for (const char* n : {"Cecilia", "Aino", "Bertta", "Ärjä", "Aino"}) ASSERT_GT(store.insertProfile(false, n, "", "", ""), 0);
    std::vector<Profile> list(1);  // appended to, not replaced
    ASSERT_TRUE(store.loadProfiles(list));
    std::vector<Text> names;
    for (const Profile& p : list) names.push_back(p.name);
    // Code point order: "Ä" after ASCII.
    EXPECT_EQ(names, (std::vector<Text>{"", "Aino", "Aino", "Bertta", "Cecilia", "Ärjä"}));
    EXPECT_LT(list[1].id, list[2].id) << "equal stored names go by id";
}

// Makes the tables in a new file that keeps its texts in `encoding`.
static void createDatabaseIn(const TempDir& dir, const char* encoding) {
    ASSERT_EQ(rawExec(dbIn(dir), std::string("PRAGMA encoding = '") + encoding + "'; CREATE TABLE Other(a);"), 0);
    ASSERT_TRUE(RecordStore(dbIn(dir)).createDatabase());
}

// The list read at start-up is deciphered when first read (here through a
// copy, after a user was added), in files of every text encoding: names
// that decipher alike keep SQLite's order of the stored names, which
// differs between the encodings for "ä" and "€"; overlong texts are cut.
TEST(SealedUserListTest, ComesOutAsSqliteOrdersTheStoredNamesInEveryEncoding) {
    const std::string aino = FieldCipher::encipher("Aino");
    const std::size_t n = kMaxRecordTextChars;
    for (const char* encoding : {"UTF-16le", "UTF-16be", "UTF-8"}) {
        SCOPED_TRACE(encoding);
        TempDir dir;
        ASSERT_NO_FATAL_FAILURE(createDatabaseIn(dir, encoding));
        RecordStore store(dbIn(dir));
        for (const std::string& name : {std::string("NULL"), "'" + FieldCipher::encipher("Bertta") + "'", "'" + aino + "ä'",
                                        "'" + FieldCipher::encipher("Ai\nno") + "'", "'" + aino + "€'", "'" + aino + "'"})
            ASSERT_EQ(rawExec(dbIn(dir), "INSERT INTO Profiles VALUES(NULL, 1, " + name + ", '" +
                                             FieldCipher::encipher("010101-123A") + "', '" +
                                             FieldCipher::encipher("040 1") + "', NULL, 1, 1200);"),
                      0);
        const int overlong = store.insertProfile(false, Text(n + 5, 'N'), Text(n, 's'), "040", Text(3 * n, 'c'));
        CurrentUser user;
        ASSERT_TRUE(store.reloadUsers(user));
        Profile added;
        added.name = "Ö";
        user.users.push_back(added);
        const UserList copy = user.users;
        std::vector<std::string> order;
        for (const Profile& p : copy) order.push_back(std::to_string(p.id) + ":" + p.name.substr(0, 6));
        Rows tied = rawQuery(dbIn(dir), "SELECT id FROM Profiles WHERE id > 2 AND id < 7 ORDER BY name, id;");
        ASSERT_EQ(tied.size(), 4u);
        EXPECT_EQ(order, (std::vector<std::string>{"1:", tied[0][0] + ":Aino", tied[1][0] + ":Aino", tied[2][0] + ":Aino",
                                                   tied[3][0] + ":Aino", "2:Bertta", "7:NNNNNN", "0:Ö"}));
        EXPECT_EQ(fields(user.users[1]), std::tuple("Aino", "010101-123A", "040 1", "", true, 1, 1200));
        const Profile& cut = user.users[6];
        EXPECT_EQ(std::tuple(cut.id, cut.name.size(), cut.ssn.size(), cut.comment.size()), std::tuple(overlong, n, n, n));
        EXPECT_EQ(store.textsCut(), 2u);
    }
}

// Texts longer than any real one (a damaged or hostile file) are read cut
// to their bound when one user and her alarms are read, and counted; a
// surrogate pair at the cut is not split. A text at the bound is whole.
TEST_F(RecordStoreTest, OverlongTextsAreReadCutToTheBoundAndCounted) {
    const std::size_t n = kMaxRecordTextChars;
    const int id = store.insertProfile(false, Text(n + 5, 'N'), Text(n, 's'), "040", Text(3 * n, 'c'));
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 8, 0), Text(n - 1, 't') + "\xF0\x9F\x98\x80", Text(n, 'd'));
    ASSERT_TRUE(store.saveAlarm(a, id));
    const auto lengths = [](const Profile& p) { return std::tuple(p.name.size(), p.ssn.size(), p.comment.size()); };
    EXPECT_EQ(lengths(profileOf(id)), std::tuple(n, n, n));
    EXPECT_EQ(store.textsCut(), 2u);
    const std::vector<Alarm> alarms = alarmsOf(id);
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0].title, Text(n - 1, 't'));
    EXPECT_EQ(alarms[0].description, Text(n, 'd'));
    EXPECT_EQ(store.textsCut(), 3u);
}

TEST_F(RecordStoreTest, SaveAlarmInsertsThenUpdatesTheSameRow) {
    int owner = store.insertProfile(false, "Aino", "", "", "");
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 8, 0), "Aamulääke", "Ota ruoan kanssa");
    a.alarm_end = SYSTEMTIME{};  // all zero: stored as 0
    ASSERT_TRUE(store.saveAlarm(a, owner));
    ASSERT_GT(a.id, 0);
    const int firstId = a.id;
    a.title = "Aamu";
    a.repeat_forever = true;
    a.repeat_pattern = 6;
    a.alarm_type = 1;
    ASSERT_TRUE(store.saveAlarm(a, owner + 100));  // the owner of a stored alarm stays
    EXPECT_EQ(a.id, firstId);
    std::vector<Alarm> list = alarmsOf(owner);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(fields(list[0]),
              std::tuple("Aamu", "Ota ruoan kanssa", toTimeValue(makeTime(2026, 12, 7, 8, 0)), 0, true, 6, 1));
    EXPECT_EQ(rawScalar(dbIn(dir), "SELECT alarm_end FROM Alarms;"), "0");
}

// Alarm texts are not enciphered: even characters outside code page 1252 stay. That quotes cannot
// break the statement is the statement log test's (the texts are bound).
TEST_F(RecordStoreTest, ForeignLettersInAlarmTextsAreStoredAsThemselves) {
    ASSERT_TRUE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 9, 8, 0), "Äidin 'Ωmega'", "'漢字")}, 1));
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT title, description FROM Alarms;"), (Rows{{"Äidin 'Ωmega'", "'漢字"}}));
}

TEST_F(RecordStoreTest, ReplaceAlarmsIsAllOrNothing) {
    std::vector<Alarm> first = {makeAlarm(makeTime(2026, 12, 1, 8, 0), "a"), makeAlarm(makeTime(2026, 12, 2, 8, 0), "b")};
    ASSERT_TRUE(store.replaceAlarms({}, first, 5));
    ASSERT_TRUE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 1, 9, 0), "kept")}, 5));

    // A refused insert after the deletes leaves every row as it was (the pouch tests refuse a delete).
    ASSERT_EQ(rawExec(dbIn(dir), "CREATE TRIGGER refuse BEFORE INSERT ON Alarms WHEN new.title = 'refused' "
                                "BEGIN SELECT RAISE(ABORT, 'no'); END;"),
              0);
    std::vector<Alarm> refused = {makeAlarm(makeTime(2026, 12, 3, 8, 0), "c"),
                                  makeAlarm(makeTime(2026, 12, 4, 8, 0), "refused")};
    EXPECT_FALSE(store.replaceAlarms({first[0].id, first[1].id}, refused, 5));
    EXPECT_EQ(refused[0].id, 0) << "no id for a row that was rolled back";
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT title FROM Alarms ORDER BY id;"), (Rows{{"a"}, {"b"}, {"kept"}}));

    std::vector<Alarm> next = {makeAlarm(makeTime(2026, 12, 3, 8, 0), "c")};
    ASSERT_TRUE(store.replaceAlarms({first[0].id, first[1].id}, next, 5));
    EXPECT_EQ(rawQuery(dbIn(dir), "SELECT title, id = " + std::to_string(next[0].id) + " FROM Alarms ORDER BY id;"),
              (Rows{{"kept", "0"}, {"c", "1"}}));
    EXPECT_EQ(owned("Alarms", 5), 2);
}

// That a later entry replaces an instant's, and only the same owner's, every
// read-back of the reminder flows' tests sees; a negative owner is refused.
TEST_F(RecordStoreTest, LogEntriesOfANegativeOwnerAreRefused) {
    EXPECT_FALSE(store.saveLogEntries(std::vector<LogEntry>{{5000, 0, 1}}, -1));
    EXPECT_EQ(owned("Log", -1), 0);
    EXPECT_TRUE(store.saveLogEntries(std::vector<LogEntry>{}, 3));
}

// That a reminder's row is replaced whole, owner too, and that only an own
// reminder is found for its owner, the reminder flows' and rules' tests see.
TEST_F(RecordStoreTest, DeviceLookupsOfUnknownSerialsAndSerialsAbove2To31) {
    // An unknown serial: found or not, the database opened (that the record is left is isOwnReminder's test).
    DeviceRecord untouched;
    EXPECT_TRUE(store.findDevice(999, untouched));
    EXPECT_EQ(store.getDeviceOwner(999), -1);
    // Nothing of the owner's: the record is cleared.
    DeviceRecord own{1, 1, 1, 1, 1};
    EXPECT_FALSE(store.findOwnerDevice(8, own));
    EXPECT_EQ(fields(own), fields(DeviceRecord{}));

    // Serial numbers above 2^31 survive the signed column.
    DeviceRecord d;
    ASSERT_TRUE(store.saveDevice({0xF0000001u, 0, 1, 2, 3}, 10));
    ASSERT_TRUE(store.findDevice(0xF0000001u, d));
    EXPECT_EQ(d.sn, 0xF0000001u);
    EXPECT_EQ(store.getDeviceOwner(0xF0000001u), 10);
}

TEST_F(RecordStoreTest, ReportsAreEncipheredAndReplaced) {
    Text text = "unchanged";
    ASSERT_TRUE(store.loadReport(2, text));
    EXPECT_EQ(text, "unchanged");
    ASSERT_TRUE(store.saveReport(2, "Ensimmäinen\r\nraportti"));
    ASSERT_TRUE(store.saveReport(2, "Toinen 'raportti'\r\n"));
    ASSERT_TRUE(store.loadReport(2, text));
    EXPECT_EQ(text, "Toinen 'raportti'\r\n");
    EXPECT_EQ(owned("Reports", 2), 1);
}

TEST_F(RecordStoreTest, DeleteProfileRemovesTheUserFromAllFiveTablesOrNothing) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    int b = store.insertProfile(false, "Bertta", "", "", "");
    // Bertta's rows first, so that Aino's id is the id of Bertta's alarm, not of her own.
    for (int owner : {b, a}) {
        Alarm al = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
        ASSERT_TRUE(store.saveAlarm(al, owner));
        ASSERT_TRUE(store.saveLogEntries(std::vector<LogEntry>{{1000, 0, 2}}, owner));
        ASSERT_TRUE(store.saveDevice({static_cast<std::uint32_t>(100 + owner), 0, 0, 0, 0}, owner));
        ASSERT_TRUE(store.saveReport(owner, "r"));
    }
    // A damaged file without the Log table: the delete fails half-way and leaves everything.
    const std::string log = rawScalar(dbIn(dir), "SELECT sql FROM sqlite_master WHERE name = 'Log';");
    ASSERT_EQ(rawExec(dbIn(dir), "ALTER TABLE Log RENAME TO Kept;"), 0);
    EXPECT_FALSE(store.deleteProfile(a));
    for (const char* t : {"Profiles", "Alarms", "Devices", "Reports"}) EXPECT_EQ(owned(t, a), 1) << t;
    ASSERT_EQ(rawExec(dbIn(dir), "ALTER TABLE Kept RENAME TO Log;"), 0);

    ASSERT_TRUE(store.deleteProfile(a));
    for (const char* t : {"Profiles", "Alarms", "Log", "Devices", "Reports"}) {
        EXPECT_EQ(owned(t, a), 0) << t;
        EXPECT_EQ(owned(t, b), 1) << t;
    }
    // A database from before stored reports has no Reports table.
    ASSERT_EQ(rawExec(dbIn(dir), "DROP TABLE Reports;"), 0);
    EXPECT_TRUE(store.deleteProfile(b));
    EXPECT_EQ(rows("Profiles"), 0);
}

// A log that cannot be stored is the device read-back's test.
TEST_F(RecordStoreTest, FailedWritesAreReportedNotHidden) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dbIn(dir), "DROP TABLE Alarms; DROP TABLE Devices; DROP TABLE Reports;"), 0);
    EXPECT_FALSE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 7, 8, 0), "t")}, a));
    EXPECT_FALSE(store.setDeviceOwner(a, 42));
    EXPECT_FALSE(store.saveDevice({42, 0, 0, 0, 0}, a));
    Alarm al = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
    EXPECT_FALSE(store.saveAlarm(al, a));
    EXPECT_EQ(al.id, 0);
    // The report table is created on demand, so storing a report works.
    EXPECT_TRUE(store.saveReport(a, "r"));
    ASSERT_EQ(rawExec(dbIn(dir), "ALTER TABLE Profiles RENAME TO Old;"), 0);
    Profile p;
    p.id = a;
    EXPECT_FALSE(store.updateProfile(p));
    EXPECT_EQ(store.insertProfile(false, "x", "", "", ""), -1);
}

// Failed writes to an open file are the test above; reads tell a missing file from a missing row.
TEST(RecordStoreFailure, OperationsReportAMissingDatabaseAndCreateNothing) {
    TempDir dir;
    RecordStore store(dir.path() / "missing" / "velmora.db");
    Profile p;
    DeviceRecord d{5, 1, 2, 3, 4};
    std::vector<Profile> users;
    EXPECT_FALSE(store.loadProfiles(users));
    EXPECT_FALSE(store.loadProfile(1, p));
    EXPECT_EQ(store.insertProfile(false, "a", "", "", ""), -1);
    EXPECT_FALSE(store.findDevice(5, d));
    EXPECT_EQ(d.alarm_amount, 4);
    EXPECT_EQ(store.getDeviceOwner(5), -1);
    CurrentUser user;
    EXPECT_FALSE(saveAccount(store, user, "pw"));
    EXPECT_FALSE(store.createDatabase());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST(MergeLogEntries, FollowsTheAcknowledgementRules) {
    std::map<TimeValue, LogEntry> h = {
        {100, {100, 0, kStatusNotAlarmed}},         {200, {200, 0, kStatusForgottenAlt}},
        {300, {300, 350, kStatusAcknowledgedLate}}, {400, {400, 410, kStatusAcknowledged}},
        {500, {500, 0, kStatusForgotten}},
    };
    mergeLogEntries(h, {{100, 120, kStatusAcknowledged},
                        {200, 210, kStatusAcknowledged},
                        {300, 305, kStatusAcknowledged},
                        {400, 0, kStatusForgottenAlt},
                        {500, 505, kStatusAcknowledged},
                        {600, 0, kStatusNotAlarmed}});
    std::vector<std::tuple<TimeValue, TimeValue, int>> merged;
    for (const auto& [instant, e] : h) merged.emplace_back(instant, e.ack, e.log_status);
    // An acknowledgement is never downgraded, and status 2 keeps.
    EXPECT_EQ(merged, (decltype(merged){{100, 120, kStatusAcknowledged}, {200, 210, kStatusAcknowledged},
                                        {300, 305, kStatusAcknowledged}, {400, 410, kStatusAcknowledged},
                                        {500, 0, kStatusForgotten}, {600, 0, kStatusNotAlarmed}}));
}

}  // namespace
}  // namespace velmora
