// Pouch data: parsing, checking and conversion into the current user's
// alarms in a real database file.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "core/datetime.h"
#include "online/pouch.h"
#include "online_test_support.h"
#include "store/database.h"
#include "store/record_store.h"
#include "store/startup.h"

// Bytes held through operator new, and the most held at once since the
// last reset: the conversion's memory must not grow with the period.
namespace {
std::atomic<std::size_t> heldBytes{0}, peakBytes{0};
}  // namespace
void* operator new(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr) throw std::bad_alloc();
    const std::size_t now = heldBytes += malloc_usable_size(p);
    for (std::size_t peak = peakBytes; now > peak && !peakBytes.compare_exchange_weak(peak, now);) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    heldBytes -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
// The standard library's temporary buffers come through the nothrow forms.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return operator new(n);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }

namespace velmora {
namespace {

// Pouch data over the given period with `count` doses, one every `everyDays` days from its start.
std::string pouchText(const char* start, const char* end, int count, int everyDays) {
    std::string text = std::string("[BASIC_INFORMATION]NAME=Anna;STARTDATE=") + start + ";ENDDATE=" + end;
    int y = 0, m = 0, d = 0;
    std::sscanf(start, "%d-%d-%d", &y, &m, &d);
    for (int i = 0; i < count; ++i) {
        const SYSTEMTIME day = normalizeDate(makeTime(y, m, d + i * everyDays, 8, 0));
        text += "[POUCH" + std::to_string(i) + "]DOSEDATE=" + std::to_string(day.wYear) + "-" +
                std::to_string(day.wMonth) + "-" + std::to_string(day.wDay) + ";DOSETIME=8:" +
                std::to_string(i % 60);
    }
    return text;
}

const char* kSample =
    "[BASIC_INFORMATION]NAME=Anna Aalto;ORDERNUM=4711;STARTDATE=2030-03-01;ENDDATE=2030-03-14"
    "[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00"
    "[POUCH2]DOSEDATE=2030-03-01;DOSETIME=20:00"
    "[POUCH3]DOSETIME=12:30;DOSEDATE=2030-03-02";

// ---- parsing ----

TEST(ParsePouchDataTest, KeysAreFoundAsSubstringsAndValuesStopAtEquals) {
    PouchData d = ParsePouchData("[BASIC_INFORMATION]XNAMEX=Anna;STARTDATE==2030-01-01");
    EXPECT_EQ(d.name, "Anna");
    EXPECT_EQ(d.startDate, "2030-01-01") << "a run of '=' is one separator";
    d = ParsePouchData("[BASIC_INFORMATION]NAME=A=B;ENDDATE");
    EXPECT_EQ(d.name, "A");
    EXPECT_EQ(d.endDate, "") << "an entry without '=' has no value";
    // NAME is tried before the others, so FILENAME=x sets the name.
    d = ParsePouchData("[BASIC_INFORMATION]FILENAME=x;MY_ORDERNUM=7");
    EXPECT_EQ(d.name, "x");
    EXPECT_EQ(d.orderNumber, "7");
}

TEST(ParsePouchDataTest, SectionsAreRecognisedByNameOnly) {
    PouchData d = ParsePouchData(
        "junk[basic_information]NAME=lower[OTHER]NAME=other[[BASIC_INFORMATION]]NAME=Ok"
        "[MYPOUCHES]DOSEDATE=2030-01-01;NOTE=x[POUCH9]NOTE=nothing");
    EXPECT_EQ(d.name, "Ok");
    ASSERT_EQ(d.doses.size(), 2u);
    EXPECT_EQ(d.doses[0].date, "2030-01-01");
    EXPECT_EQ(d.doses[0].time, "") << "a missing DOSETIME stays empty";
    EXPECT_EQ(d.doses[1].date, "");
    EXPECT_TRUE(ParsePouchData("").doses.empty());
    EXPECT_TRUE(ParsePouchData("[POUCH1").doses.size() == 1u) << "a trailing section name";
}

TEST(ParsePouchDataTest, KeepsNoMoreDosesThanTheLargestReminderHolds) {
    for (const std::size_t sections : {kMaxPouchDoses, kMaxPouchDoses + 1, 20 * kMaxPouchDoses}) {
        const PouchData d = ParsePouchData(pouchText("2030-01-01", "2030-12-31", static_cast<int>(sections), 0) +
                                           "[BASIC_INFORMATION]NAME=Last");
        EXPECT_EQ(d.doses.size(), kMaxPouchDoses) << sections;
        EXPECT_EQ(d.tooManyDoses, sections > kMaxPouchDoses) << sections;
        EXPECT_EQ(d.name, "Last") << "the sections after the last kept dose are still read";
    }
}

// ---- checking ----

TEST(ParsePeriodTest, ValidRangesOnlyAndADayOverflowRollsIntoTheNextMonth) {
    struct Valid { const char *start, *end; SYSTEMTIME first, last; };
    for (const Valid& v : {Valid{"2030-03-01", "2030-03-14", makeTime(2030, 3, 1, 0, 0, 0), makeTime(2030, 3, 14, 23, 59, 59)},
                           Valid{"2011-01-01", "2011-01-01", makeTime(2011, 1, 1, 0, 0, 0), makeTime(2011, 1, 1, 23, 59, 59)},
                           Valid{"2030-04-31", "2030-02-30", makeTime(2030, 5, 1, 0, 0, 0), makeTime(2030, 3, 2, 23, 59, 59)}}) {
        const auto p = ParsePeriod(v.start, v.end);
        ASSERT_TRUE(p.has_value()) << v.start;
        EXPECT_EQ(*p, std::pair(normalizeDate(v.first), normalizeDate(v.last))) << v.start;
    }
    const std::pair<const char*, const char*> invalid[] = {
        {"2010-12-31", "2030-01-01"}, {"2030-01-01", "2010-12-31"}, {"2030-13-01", "2030-12-01"},
        {"2030-00-01", "2030-12-01"}, {"2030-01-32", "2030-12-01"}, {"2030-01-00", "2030-12-01"},
        {"", "2030-12-01"},           {"2030-01", "2030-12-01"},
        {"2038-01-01", "2038-01-02"},  // beyond what a TimeValue holds
        {"4294969326-03-01", "2030-03-14"},  // 2^32 + 2030: must not wrap to 2030
    };
    for (const auto& [start, end] : invalid) {
        EXPECT_FALSE(ParsePeriod(start, end).has_value()) << start << " to " << end;
    }
}

// The instants a valid time gives are the conversion's test below.
TEST(ParseDoseTimeTest, HoursAndMinutesInRange) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"0:00", "2030-03-01", true},   {"23:59", "2030-03-01", true},
        {"24:00", "2030-03-01", false}, {"12:60", "2030-03-01", false},
        {"-1:00", "2030-03-01", false}, {"", "2030-03-01", false},
        {"8", "2030-03-01", false},     {"8:00", "2010-03-01", false},
        {"8:00", "", false},            {"4294967304:00", "2030-03-01", false},
    };
    for (const auto& [time, date, valid] : cases) {
        EXPECT_EQ(ParseDoseTime(time, date).has_value(), valid) << time << " on " << date;
    }
}

// ---- conversion ----

class ConvertPouchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openDatabaseAtStartup(store_, dir_.path(), user_, makeTime(2029, 6, 1, 12, 0)).opened);
        id_ = store_.insertProfile(false, "Anna Aalto", "010101-123N", "", "");
        ASSERT_TRUE(store_.selectUser(user_, id_, toTimeValue(makeTime(2029, 6, 1, 12, 0)), {},
                                       RecordStore::SaveCurrent::No));
    }
    int convert(const std::string& text, const PouchConversion& options = {}) {
        return ConvertPouchToAlarms(ParsePouchData(text), kPouchRepeatPattern, user_, store_, options);
    }
    std::vector<Alarm> stored() {
        std::vector<Alarm> list;
        EXPECT_TRUE(store_.loadAlarms(id_, list));
        return list;
    }
    static std::vector<int> ids(const std::vector<Alarm>& alarms) {
        std::vector<int> out;
        for (const Alarm& a : alarms) out.push_back(a.id);
        std::sort(out.begin(), out.end());
        return out;
    }
    // Saves a pouch alarm (type 1) or one made by hand (type 0) at `at`.
    Alarm save(const SYSTEMTIME& at, int type) {
        Alarm a;
        a.alarm_start = a.alarm_end = at;
        a.alarm_type = type;
        a.repeat_forever = type == 1;
        a.repeat_pattern = type == 1 ? 7 : 0;
        a.description = type == 0 ? "by hand" : "";
        EXPECT_TRUE(store_.saveAlarm(a, id_));
        user_.alarms.push_back(a);
        return a;
    }

    testing::TempDir dir_{"velmora-pouch"};  // outlives the store
    RecordStore store_{dir_.path() / "velmora.db"};
    CurrentUser user_;
    int id_ = 0;
};

TEST_F(ConvertPouchTest, DosesBecomeFortnightlyPouchAlarms) {
    PouchConversion options;
    options.needsProgramming = [](const CurrentUser& u) { return u.alarms.size() == 3; };
    ASSERT_EQ(convert(kSample, options), kPouchChanged);
    const std::vector<Alarm> db = stored();
    ASSERT_EQ(db.size(), 3u);
    for (const Alarm& a : db)
        EXPECT_EQ(std::tuple(a.id > 0, a.alarm_type, a.repeat_pattern, a.repeat_forever, a.title, a.description,
                             toTimeValue(a.alarm_end)),
                  std::tuple(true, 1, 7, true, "Pussihälytys", "", toTimeValue(a.alarm_start)));
    ASSERT_EQ(user_.alarms.size(), 3u);
    EXPECT_EQ(toTimeValue(user_.alarms[0].alarm_start), toTimeValue(makeTime(2030, 3, 1, 8, 0)));
    EXPECT_EQ(toTimeValue(user_.alarms[1].alarm_start), toTimeValue(makeTime(2030, 3, 1, 20, 0)));
    EXPECT_EQ(toTimeValue(user_.alarms[2].alarm_start), toTimeValue(makeTime(2030, 3, 2, 12, 30)));
    EXPECT_TRUE(user_.is_programming_needed) << "the rule saw the new alarms";
    Profile p;
    ASSERT_TRUE(store_.loadProfile(id_, p));
    EXPECT_TRUE(p.is_programming_needed) << "the flag is stored with the user";
}

TEST_F(ConvertPouchTest, NewDataReplacesEveryOldPouchAlarmAndKeepsHandAlarms) {
    const Alarm mine = save(makeTime(2030, 3, 5, 9, 0), 0);
    ASSERT_EQ(convert(kSample), kPouchChanged);
    save(makeTime(2031, 1, 1, 7, 0), 1);  // an old pouch alarm far outside the new period

    EXPECT_EQ(convert("[BASIC_INFORMATION]NAME=Anna;STARTDATE=2030-03-15;ENDDATE=2030-03-28"
                      "[POUCH1]DOSEDATE=2030-03-15;DOSETIME=9:15"),
              kPouchChanged);
    std::vector<std::tuple<int, int, Text>> db;  // type, the hand alarm's id, description
    for (const Alarm& a : stored()) db.emplace_back(a.alarm_type, a.alarm_type == 0 ? a.id : 0, a.description);
    std::sort(db.begin(), db.end());
    EXPECT_EQ(db, (decltype(db){{0, mine.id, "by hand"}, {1, 0, ""}}));
    EXPECT_EQ(user_.alarms.size(), 2u);
}

TEST_F(ConvertPouchTest, BadDataChangesNothing) {
    save(makeTime(2030, 3, 5, 9, 0), 0);
    ASSERT_EQ(convert(kSample), kPouchChanged);
    const std::vector<Alarm> before = stored();
    const bool flagBefore = user_.is_programming_needed;
    const std::pair<std::string, int> cases[] = {
        {std::string(kSample) + "[POUCH4]DOSEDATE=2030-03-02;DOSETIME=24:00", kPouchInvalid},
        {"[BASIC_INFORMATION]NAME=Anna;STARTDATE=2030-03-01;ENDDATE=2030-03-14", kPouchNoDoses},
        {pouchText("2030-03-01", "2030-03-14", kMaxPouchDoses + 1, 0), kPouchTooManyDoses},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(convert(text), expected) << text;

    EXPECT_EQ(ids(stored()), ids(before));
    EXPECT_EQ(ids(user_.alarms), ids(before));
    EXPECT_EQ(user_.is_programming_needed, flagBefore);
}

TEST_F(ConvertPouchTest, ARefusedRowKeepsEveryOldPouchAlarm) {
    save(makeTime(2030, 3, 5, 9, 0), 0);
    ASSERT_EQ(convert(kSample), kPouchChanged);
    const std::vector<int> before = ids(stored());
    ASSERT_EQ(before.size(), 4u);
    const std::string next =
        "[BASIC_INFORMATION]NAME=Anna;STARTDATE=2030-03-15;ENDDATE=2030-03-28"
        "[POUCH1]DOSEDATE=2030-03-15;DOSETIME=9:15[POUCH2]DOSEDATE=2030-03-16;DOSETIME=9:15";
    // The database refuses to delete the last of the old pouch alarms after the others went (the store
    // tests refuse an insert).
    Database raw(store_.databasePath().string());
    ASSERT_EQ(raw.execute("CREATE TRIGGER refuse BEFORE DELETE ON Alarms WHEN old.alarm_start = " +
                  std::to_string(toTimeValue(makeTime(2030, 3, 2, 12, 30))) +
                  " BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
              kSqliteOk);
    EXPECT_EQ(convert(next), kPouchNotStored);
    EXPECT_EQ(ids(stored()), before);
    EXPECT_EQ(ids(user_.alarms), before);
    ASSERT_EQ(raw.execute("DROP TRIGGER refuse;"), kSqliteOk);
    EXPECT_EQ(convert(next), kPouchChanged);
    EXPECT_EQ(stored().size(), 3u);
}

TEST_F(ConvertPouchTest, ALongPeriodIsComparedInBoundedMemory) {
    // As many doses as the largest reminder holds, one every four days from 2011 on: fortnightly
    // for ever, they ring about 800,000 times over the period.
    const std::string text = pouchText("2011-01-01", "2037-12-31", kMaxPouchDoses, 4);
    for (const int expected : {kPouchChanged, kPouchUnchanged}) {
        peakBytes = heldBytes.load();
        const std::size_t start = heldBytes;
        EXPECT_EQ(convert(text), expected);
        EXPECT_LT(peakBytes - start, 8u << 20) << "bytes held at once";
    }
    EXPECT_EQ(stored().size(), kMaxPouchDoses);
}

TEST_F(ConvertPouchTest, WithoutASelectedUserNothingIsWritten) {
    CurrentUser nobody;
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), 7, nobody, store_), kPouchNotStored);
    std::vector<Alarm> orphans;
    ASSERT_TRUE(store_.loadAlarms(0, orphans));
    EXPECT_TRUE(orphans.empty());
    EXPECT_TRUE(nobody.alarms.empty());
}

}  // namespace
}  // namespace velmora
