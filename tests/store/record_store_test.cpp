#include "store/record_store.h"

#include <gtest/gtest.h>

#include "core/datetime.h"
#include "store/credentials.h"
#include "store_test_util.h"

namespace velmora {
namespace {

using testing::rawExec;
using testing::rawQuery;
using testing::rawScalar;
using testing::TempDir;

class RecordStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.createDatabase());
        ASSERT_TRUE(store.createReportsTable());
    }
    int count(const std::string& table, int owner) {
        const char* column = table == "Profiles" ? "id" : "owner_id";
        return std::stoi(rawScalar(dir.db(), "SELECT count(*) FROM " + table + " WHERE " + column + " = " +
                                                 std::to_string(owner) + ";"));
    }
    TempDir dir;
    RecordStore store{dir.db()};
};

Alarm makeAlarm(const SYSTEMTIME& start, const Text& title, const Text& description = "") {
    Alarm a;
    a.alarm_start = start;
    a.alarm_end = addDays(start, 30);
    a.repeat_forever = false;
    a.repeat_pattern = 1;
    a.title = title;
    a.description = description;
    return a;
}

TEST_F(RecordStoreTest, ProfileRoundTripAndOnlyEncipheredFormsInTheFile) {
    int id = store.insertProfile(true, "Äijälä Öhman", "131052-308T", "+358 40 1234567", "rivi 1\nrivi 2");
    ASSERT_GT(id, 0);
    Profile p;
    ASSERT_TRUE(store.loadProfile(id, p));
    EXPECT_EQ(p.id, id);
    EXPECT_EQ(p.name, "Äijälä Öhman");
    EXPECT_EQ(p.ssn, "131052-308T");
    EXPECT_EQ(p.phone, "+358 40 1234567");
    EXPECT_EQ(p.comment, "rivi 1\nrivi 2");
    EXPECT_TRUE(p.is_programming_needed);
    EXPECT_EQ(p.program_type, 0);
    EXPECT_EQ(p.window, 600);
    EXPECT_EQ(rawScalar(dir.db(), "SELECT name FROM Profiles;"), FieldCipher::encipher("Äijälä Öhman"));

    // The raw file holds none of the personal texts, in either encoding.
    std::string raw = testing::readBytes(dir.db());
    auto utf16 = [](const std::string& ascii) {
        std::string out;
        for (char c : ascii) {
            out.push_back(c);
            out.push_back('\0');
        }
        return out;
    };
    for (const std::string& plain : {std::string("Öhman"), std::string("131052-308T"), std::string("1234567"),
                                     std::string("rivi 1"), std::string("hman")}) {
        EXPECT_EQ(raw.find(plain), std::string::npos) << plain;
        EXPECT_EQ(raw.find(utf16(plain)), std::string::npos) << plain;
    }
}

TEST_F(RecordStoreTest, CharactersOutsideCodePage1252ComeBackAsQuestionMarks) {
    int id = store.insertProfile(false, "Zoë Ωmega", "", "", "Ш€");
    Profile p;
    ASSERT_TRUE(store.loadProfile(id, p));
    EXPECT_EQ(p.name, "Zoë ?mega");
    EXPECT_EQ(p.comment, "?€");
    // Alarm texts are not enciphered and keep every character.
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 8, 0), "Ωmega", "漢字");
    ASSERT_TRUE(store.saveAlarm(a, id));
    std::vector<Alarm> list;
    ASSERT_TRUE(store.loadAlarms(id, list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].title, "Ωmega");
    EXPECT_EQ(list[0].description, "漢字");
}

TEST_F(RecordStoreTest, LineFeedsAreRemovedFromNameSsnAndPhoneWhenRead) {
    // An older version could store a name with a line feed.
    ASSERT_EQ(rawExec(dir.db(), "INSERT INTO Profiles VALUES(9, 0, '" + FieldCipher::encipher("Aino\nAalto") + "', '" +
                                    FieldCipher::encipher("12\n34") + "', '" + FieldCipher::encipher("0\n40") + "', '" +
                                    FieldCipher::encipher("a\nb") + "', 1, 1200);"),
              0);
    Profile p;
    ASSERT_TRUE(store.loadProfile(9, p));
    EXPECT_EQ(p.name, "AinoAalto");
    EXPECT_EQ(p.ssn, "1234");
    EXPECT_EQ(p.phone, "040");
    EXPECT_EQ(p.comment, "a\nb");
    EXPECT_EQ(p.program_type, 1);
    EXPECT_EQ(p.window, 1200);
}

TEST_F(RecordStoreTest, LoadProfileOfMissingIdLeavesTheProfile) {
    Profile p;
    p.name = "keep";
    ASSERT_TRUE(store.loadProfile(77, p));
    EXPECT_EQ(p.name, "keep");
}

TEST_F(RecordStoreTest, UpdateProfileWritesEveryField) {
    int id = store.insertProfile(false, "Aino", "", "", "");
    Profile p;
    ASSERT_TRUE(store.loadProfile(id, p));
    p.name = "Aino O'Hara";
    p.phone = "555";
    p.program_type = 1;
    p.window = 43200;
    p.is_programming_needed = true;
    ASSERT_TRUE(store.updateProfile(p));
    Profile q;
    ASSERT_TRUE(store.loadProfile(id, q));
    EXPECT_EQ(q.name, "Aino O'Hara");
    EXPECT_EQ(q.phone, "555");
    EXPECT_EQ(q.program_type, 1);
    EXPECT_EQ(q.window, 43200);
    EXPECT_TRUE(q.is_programming_needed);
}

TEST_F(RecordStoreTest, LoadProfilesOrdersByPlainName) {
    // Enciphered, "Cecilia" < "Aino" < "Bertta" would not hold; insert out of order too.
    for (const char* n : {"Cecilia", "Aino", "Bertta"}) ASSERT_GT(store.insertProfile(false, n, "", "", ""), 0);
    ASSERT_GT(store.insertProfile(false, "Ärjä", "", "", ""), 0);  // code point order: after ASCII
    std::vector<Profile> list;
    list.emplace_back();  // appended to, not replaced
    ASSERT_TRUE(store.loadProfiles(list));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[1].name, "Aino");
    EXPECT_EQ(list[2].name, "Bertta");
    EXPECT_EQ(list[3].name, "Cecilia");
    EXPECT_EQ(list[4].name, "Ärjä");
}

TEST_F(RecordStoreTest, SaveAlarmInsertsThenUpdatesTheSameRow) {
    int owner = store.insertProfile(false, "Aino", "", "", "");
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 8, 0), "Aamulääke", "Ota ruoan kanssa");
    ASSERT_TRUE(store.saveAlarm(a, owner));
    ASSERT_GT(a.id, 0);
    int firstId = a.id;
    a.title = "Aamu";
    a.repeat_forever = true;
    a.repeat_pattern = 6;
    a.alarm_type = 1;
    ASSERT_TRUE(store.saveAlarm(a, owner + 100));  // the owner of a stored alarm stays
    EXPECT_EQ(a.id, firstId);
    std::vector<Alarm> list;
    ASSERT_TRUE(store.loadAlarms(owner, list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].id, firstId);
    EXPECT_EQ(list[0].title, "Aamu");
    EXPECT_EQ(list[0].description, "Ota ruoan kanssa");
    EXPECT_TRUE(list[0].repeat_forever);
    EXPECT_EQ(list[0].repeat_pattern, 6);
    EXPECT_EQ(list[0].alarm_type, 1);
    EXPECT_EQ(toTimeValue(list[0].alarm_start), toTimeValue(makeTime(2026, 12, 7, 8, 0)));
    EXPECT_EQ(list[0].alarm_start.wHour, 8);
}

TEST_F(RecordStoreTest, QuotesAndFinnishLettersInAlarmTextsAreStoredAsThemselves) {
    const Text title = "Äidin 'iltalääke'";
    const Text description = "x'); DELETE FROM Alarms; --";
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 20, 0), title, description);
    ASSERT_TRUE(store.saveAlarm(a, 1));
    Alarm b = makeAlarm(makeTime(2026, 12, 8, 20, 0), "toinen");
    ASSERT_TRUE(store.saveAlarm(b, 1));
    a.title = "Päivitetty 'lainaus'";
    ASSERT_TRUE(store.saveAlarm(a, 1));
    EXPECT_EQ(rawScalar(dir.db(), "SELECT count(*) FROM Alarms;"), "2");
    EXPECT_EQ(rawScalar(dir.db(), "SELECT title FROM Alarms WHERE id = " + std::to_string(a.id) + ";"),
              "Päivitetty 'lainaus'");
    EXPECT_EQ(rawScalar(dir.db(), "SELECT description FROM Alarms WHERE id = " + std::to_string(a.id) + ";"),
              description);
    ASSERT_TRUE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 9, 8, 0), "O'Neil", "'")}, 1));
    std::vector<Alarm> list;
    ASSERT_TRUE(store.loadAlarms(1, list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].title, "O'Neil");
    EXPECT_EQ(list[2].description, "'");
}

TEST_F(RecordStoreTest, AllZeroAlarmEndIsStoredAsZero) {
    Alarm a = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
    a.alarm_end = SYSTEMTIME{};
    ASSERT_TRUE(store.saveAlarm(a, 1));
    EXPECT_EQ(rawScalar(dir.db(), "SELECT alarm_end FROM Alarms;"), "0");
    std::vector<Alarm> list;
    ASSERT_TRUE(store.loadAlarms(1, list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].alarm_end, fromTimeValue(0));
}

TEST_F(RecordStoreTest, InsertAlarmsAndDeletes) {
    std::vector<Alarm> alarms;
    for (int d = 1; d <= 3; ++d) alarms.push_back(makeAlarm(makeTime(2026, 12, d, 8, 0), "a" + std::to_string(d)));
    ASSERT_TRUE(store.insertAlarms(alarms, 5));
    EXPECT_EQ(alarms[0].id, 0);  // ids of the records are not updated
    ASSERT_TRUE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 1, 8, 0), "other")}, 6));
    std::vector<Alarm> list;
    ASSERT_TRUE(store.loadAlarms(5, list));
    ASSERT_EQ(list.size(), 3u);
    ASSERT_TRUE(store.deleteAlarm(list[1].id));
    EXPECT_EQ(count("Alarms", 5), 2);
    ASSERT_TRUE(store.deleteAlarmsOfOwner(5));
    EXPECT_EQ(count("Alarms", 5), 0);
    EXPECT_EQ(count("Alarms", 6), 1);
}

TEST_F(RecordStoreTest, LogEntriesReplaceByInstantAndOwner) {
    std::vector<LogEntry> entries = {{1000, 0, 1}, {2000, 2050, 4}, {1000, 1100, 5}};
    ASSERT_TRUE(store.saveLogEntries(entries, 3));
    ASSERT_TRUE(store.saveLogEntries(std::vector<LogEntry>{{1000, 0, 2}}, 4));  // another owner, same instant
    std::vector<LogEntry> log;
    ASSERT_TRUE(store.loadLog(3, log));
    ASSERT_EQ(log.size(), 2u);
    std::map<TimeValue, LogEntry> byTime;
    for (const LogEntry& e : log) byTime[e.alarm_time] = e;
    EXPECT_EQ(byTime[1000].log_status, 5);  // the second entry for the instant wins
    EXPECT_EQ(byTime[1000].ack, 1100);
    EXPECT_EQ(byTime[2000].ack, 2050);
    EXPECT_EQ(count("Log", 4), 1);

    EXPECT_FALSE(store.saveLogEntries(std::vector<LogEntry>{{5000, 0, 1}}, -1));
    EXPECT_EQ(count("Log", -1), 0);
    EXPECT_TRUE(store.saveLogEntries(std::vector<LogEntry>{}, 3));
}

TEST_F(RecordStoreTest, DevicesReplaceWholeRowsAndFindByOwner) {
    ASSERT_TRUE(store.saveDevice({1234, 0, 100, 200, 30}, 7));
    ASSERT_TRUE(store.saveDevice({1234, 1, 101, 201, 31}, 8));  // same serial: whole row, owner too
    EXPECT_EQ(rawScalar(dir.db(), "SELECT count(*) FROM Devices;"), "1");
    EXPECT_EQ(store.getDeviceOwner(1234), 8);
    DeviceRecord d;
    ASSERT_TRUE(store.findDevice(1234, d));
    EXPECT_EQ(d.sn, 1234u);
    EXPECT_EQ(d.device_type, 1);
    EXPECT_EQ(d.programming_time, 101);
    EXPECT_EQ(d.last_alarm, 201);
    EXPECT_EQ(d.alarm_amount, 31);

    DeviceRecord untouched{55, 2, 3, 4, 5};
    EXPECT_TRUE(store.findDevice(999, untouched));
    EXPECT_EQ(untouched.sn, 55u);
    EXPECT_EQ(untouched.alarm_amount, 5);
    EXPECT_EQ(store.getDeviceOwner(999), -1);

    // FindOwnerDevice only sees the owner's own reminder (type 0), and clears first.
    DeviceRecord own{1, 1, 1, 1, 1};
    EXPECT_FALSE(store.findOwnerDevice(8, own));
    EXPECT_EQ(own.sn, 0u);
    EXPECT_EQ(own.alarm_amount, 0);
    ASSERT_TRUE(store.saveDevice({777, 0, 10, 20, 3}, 8));
    ASSERT_TRUE(store.findOwnerDevice(8, own));
    EXPECT_EQ(own.sn, 777u);
    EXPECT_EQ(own.last_alarm, 20);

    ASSERT_TRUE(store.setDeviceOwner(9, 777));
    EXPECT_EQ(store.getDeviceOwner(777), 9);

    // Serial numbers above 2^31 survive the signed column.
    ASSERT_TRUE(store.saveDevice({0xF0000001u, 0, 1, 2, 3}, 10));
    DeviceRecord big;
    ASSERT_TRUE(store.findDevice(0xF0000001u, big));
    EXPECT_EQ(big.sn, 0xF0000001u);
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
    EXPECT_EQ(count("Reports", 2), 1);
    EXPECT_EQ(rawScalar(dir.db(), "SELECT report FROM Reports;"), FieldCipher::encipher("Toinen 'raportti'\r\n"));
}

TEST_F(RecordStoreTest, DeleteProfileRemovesTheUserFromAllFiveTables) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    int b = store.insertProfile(false, "Bertta", "", "", "");
    for (int owner : {a, b}) {
        Alarm al = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
        ASSERT_TRUE(store.saveAlarm(al, owner));
        ASSERT_TRUE(store.saveLogEntries(std::vector<LogEntry>{{1000, 0, 2}}, owner));
        ASSERT_TRUE(store.saveDevice({static_cast<std::uint32_t>(100 + owner), 0, 0, 0, 0}, owner));
        ASSERT_TRUE(store.saveReport(owner, "r"));
    }
    ASSERT_TRUE(store.deleteProfile(a));
    for (const char* t : {"Profiles", "Alarms", "Log", "Devices", "Reports"}) {
        EXPECT_EQ(count(t, a), 0) << t;
        EXPECT_EQ(count(t, b), 1) << t;
    }
}

TEST_F(RecordStoreTest, DeleteProfileIsAllOrNothing) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    Alarm al = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
    ASSERT_TRUE(store.saveAlarm(al, a));
    ASSERT_TRUE(store.saveDevice({42, 0, 0, 0, 0}, a));
    // A damaged file without the Log table: the delete fails half-way.
    ASSERT_EQ(rawExec(dir.db(), "DROP TABLE Log;"), 0);
    EXPECT_FALSE(store.deleteProfile(a));
    EXPECT_EQ(count("Profiles", a), 1);
    EXPECT_EQ(count("Alarms", a), 1);
    EXPECT_EQ(count("Devices", a), 1);
}

TEST_F(RecordStoreTest, DeleteProfileWorksWithoutAReportsTable) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dir.db(), "DROP TABLE Reports;"), 0);
    EXPECT_TRUE(store.deleteProfile(a));
    EXPECT_EQ(count("Profiles", a), 0);
}

TEST_F(RecordStoreTest, FailedWritesAreReportedNotHidden) {
    int a = store.insertProfile(false, "Aino", "", "", "");
    ASSERT_EQ(rawExec(dir.db(), "DROP TABLE Log; DROP TABLE Alarms; DROP TABLE Devices; DROP TABLE Reports;"), 0);
    EXPECT_FALSE(store.saveLogEntries(std::vector<LogEntry>{{1000, 0, 2}}, a));
    EXPECT_FALSE(store.insertAlarms({makeAlarm(makeTime(2026, 12, 7, 8, 0), "t")}, a));
    EXPECT_FALSE(store.setDeviceOwner(a, 42));
    EXPECT_FALSE(store.saveDevice({42, 0, 0, 0, 0}, a));
    Alarm al = makeAlarm(makeTime(2026, 12, 7, 8, 0), "t");
    EXPECT_FALSE(store.saveAlarm(al, a));
    EXPECT_EQ(al.id, 0);
    // The report table is created on demand, so storing a report works.
    EXPECT_TRUE(store.saveReport(a, "r"));
    ASSERT_EQ(rawExec(dir.db(), "ALTER TABLE Profiles RENAME TO Old;"), 0);
    Profile p;
    p.id = a;
    EXPECT_FALSE(store.updateProfile(p));
    EXPECT_EQ(store.insertProfile(false, "x", "", "", ""), -1);
}

TEST(RecordStoreFailure, EveryOperationReportsAMissingDatabase) {
    TempDir dir;
    RecordStore store(dir.path() / "missing" / "velmora.db");
    std::vector<Profile> users;
    EXPECT_FALSE(store.loadProfiles(users));
    Profile p;
    EXPECT_FALSE(store.loadProfile(1, p));
    EXPECT_EQ(store.insertProfile(false, "a", "", "", ""), -1);
    EXPECT_FALSE(store.updateProfile(p));
    EXPECT_FALSE(store.deleteProfile(1));
    Alarm a;
    EXPECT_FALSE(store.saveAlarm(a, 1));
    EXPECT_EQ(a.id, 0);
    EXPECT_FALSE(store.insertAlarms({a}, 1));
    EXPECT_FALSE(store.saveDevice({}, 1));
    DeviceRecord d{5, 1, 2, 3, 4};
    EXPECT_FALSE(store.findDevice(5, d));
    EXPECT_EQ(d.alarm_amount, 4);
    EXPECT_EQ(store.getDeviceOwner(5), -1);
    EXPECT_FALSE(store.saveLogEntries(std::vector<LogEntry>{{1, 0, 1}}, 1));
    Text r = "x";
    EXPECT_FALSE(store.loadReport(1, r));
    EXPECT_FALSE(store.saveReport(1, r));
    SettingsRow row;
    EXPECT_FALSE(store.readSettings(row));
    EXPECT_FALSE(store.createDatabase());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST(MergeLogEntries, FollowsTheAcknowledgementRules) {
    std::map<TimeValue, LogEntry> h = {
        {100, {100, 0, kStatusNotAlarmed}},      {200, {200, 0, kStatusForgottenAlt}},
        {300, {300, 350, kStatusAcknowledgedLate}}, {400, {400, 410, kStatusAcknowledged}},
        {500, {500, 0, kStatusForgotten}},
    };
    mergeLogEntries(h, {{100, 120, kStatusAcknowledged},
                        {200, 210, kStatusAcknowledged},
                        {300, 305, kStatusAcknowledged},
                        {400, 0, kStatusForgottenAlt},
                        {500, 505, kStatusAcknowledged},
                        {600, 0, kStatusNotAlarmed}});
    EXPECT_EQ(h[100].log_status, kStatusAcknowledged);
    EXPECT_EQ(h[100].ack, 120);
    EXPECT_EQ(h[200].log_status, kStatusAcknowledged);
    EXPECT_EQ(h[200].ack, 210);
    EXPECT_EQ(h[300].ack, 305);
    EXPECT_EQ(h[400].log_status, kStatusAcknowledged);  // never downgraded
    EXPECT_EQ(h[400].ack, 410);
    EXPECT_EQ(h[500].log_status, kStatusForgotten);  // status 2 keeps
    EXPECT_EQ(h[600].log_status, kStatusNotAlarmed);
    EXPECT_EQ(h.size(), 6u);
}

}  // namespace
}  // namespace velmora
