// Pouch data: parsing, checking and conversion into the current user's
// alarms in a real database file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/datetime.h"
#include "online/pouch.h"
#include "online_test_support.h"
#include "store/record_store.h"
#include "store/startup.h"

namespace velmora {
namespace {

const char* kSample =
    "[BASIC_INFORMATION]NAME=Anna Aalto;ORDERNUM=4711;STARTDATE=2030-03-01;ENDDATE=2030-03-14"
    "[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00"
    "[POUCH2]DOSEDATE=2030-03-01;DOSETIME=20:00"
    "[POUCH3]DOSETIME=12:30;DOSEDATE=2030-03-02";

// ---- parsing ----

TEST(ParsePouchDataTest, SampleGivesBasicInformationAndDosesInOrder) {
    PouchData d = ParsePouchData(kSample);
    EXPECT_EQ(d.name, "Anna Aalto");
    EXPECT_EQ(d.orderNumber, "4711");
    EXPECT_EQ(d.startDate, "2030-03-01");
    EXPECT_EQ(d.endDate, "2030-03-14");
    ASSERT_EQ(d.doses.size(), 3u);
    EXPECT_EQ(d.doses[0].date, "2030-03-01");
    EXPECT_EQ(d.doses[0].time, "8:00");
    EXPECT_EQ(d.doses[1].time, "20:00");
    EXPECT_EQ(d.doses[2].date, "2030-03-02");
    EXPECT_EQ(d.doses[2].time, "12:30");
}

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

// ---- checking ----

TEST(ParsePeriodTest, ValidRangesOnly) {
    auto p = ParsePeriod("2030-03-01", "2030-03-14");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->first, normalizeDate(makeTime(2030, 3, 1, 0, 0, 0)));
    EXPECT_EQ(p->second, normalizeDate(makeTime(2030, 3, 14, 23, 59, 59)));
    EXPECT_EQ(p->first.wDayOfWeek, 5) << "1 March 2030 is a Friday";
    EXPECT_TRUE(ParsePeriod("2011-01-01", "2011-01-01").has_value());
    EXPECT_FALSE(ParsePeriod("2010-12-31", "2030-01-01").has_value());
    EXPECT_FALSE(ParsePeriod("2030-01-01", "2010-12-31").has_value());
    EXPECT_FALSE(ParsePeriod("2030-13-01", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("2030-00-01", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("2030-01-32", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("2030-01-00", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("2030-01", "2030-12-01").has_value());
    EXPECT_FALSE(ParsePeriod("2038-01-01", "2038-01-02").has_value())
        << "beyond what a TimeValue holds";
}

TEST(ParsePeriodTest, DayOverflowRollsIntoTheNextMonth) {
    auto p = ParsePeriod("2030-04-31", "2030-02-30");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->first.wMonth, 5);
    EXPECT_EQ(p->first.wDay, 1);
    EXPECT_EQ(p->first.wDayOfWeek, 3) << "1 May 2030 is a Wednesday";
    EXPECT_EQ(p->second.wMonth, 3);
    EXPECT_EQ(p->second.wDay, 2);
}

TEST(ParseDoseTimeTest, HoursAndMinutesInRange) {
    auto t = ParseDoseTime("8:05", "2030-03-01");
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(*t, normalizeDate(makeTime(2030, 3, 1, 8, 5, 0)));
    EXPECT_TRUE(ParseDoseTime("0:00", "2030-03-01").has_value());
    EXPECT_TRUE(ParseDoseTime("23:59", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("24:00", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("12:60", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("-1:00", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("8", "2030-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("8:00", "2010-03-01").has_value());
    EXPECT_FALSE(ParseDoseTime("8:00", "").has_value());
}

// ---- conversion ----

class ConvertPouchTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::makeTempDir("velmora-pouch");
        store_ = std::make_unique<RecordStore>(dir_ / "velmora.db");
        ASSERT_TRUE(openDatabaseAtStartup(*store_, dir_, user_, makeTime(2029, 6, 1, 12, 0)).opened);
        id_ = store_->insertProfile(false, "Anna Aalto", "010101-123N", "", "");
        ASSERT_GT(id_, 0);
        ASSERT_TRUE(store_->selectUser(user_, id_, toTimeValue(makeTime(2029, 6, 1, 12, 0)), {},
                                       RecordStore::SaveCurrent::No));
    }
    void TearDown() override {
        store_.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::vector<Alarm> stored() {
        std::vector<Alarm> list;
        EXPECT_TRUE(store_->loadAlarms(id_, list));
        return list;
    }
    static long count(const std::vector<Alarm>& list, int type) {
        return std::count_if(list.begin(), list.end(),
                             [type](const Alarm& a) { return a.alarm_type == type; });
    }
    Alarm handAlarm() {
        Alarm a;
        a.alarm_start = makeTime(2030, 3, 5, 9, 0);
        a.alarm_end = makeTime(2030, 3, 5, 9, 0);
        a.title = "Hälytys";
        a.description = "by hand";
        EXPECT_TRUE(store_->saveAlarm(a, id_));
        user_.alarms.push_back(a);
        return a;
    }

    std::filesystem::path dir_;
    std::unique_ptr<RecordStore> store_;
    CurrentUser user_;
    int id_ = 0;
};

TEST_F(ConvertPouchTest, DosesBecomeFortnightlyPouchAlarms) {
    PouchConversion options;
    options.needsProgramming = [](const CurrentUser& u) { return u.alarms.size() == 3; };
    ASSERT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), kPouchRepeatPattern, user_, *store_,
                                   options),
              kPouchChanged);
    const std::vector<Alarm> db = stored();
    ASSERT_EQ(db.size(), 3u);
    for (const Alarm& a : db) {
        EXPECT_GT(a.id, 0);
        EXPECT_EQ(a.alarm_type, 1);
        EXPECT_EQ(a.repeat_pattern, 7);
        EXPECT_TRUE(a.repeat_forever);
        EXPECT_EQ(a.title, "Pussihälytys");
        EXPECT_EQ(a.description, "");
        EXPECT_EQ(toTimeValue(a.alarm_start), toTimeValue(a.alarm_end));
    }
    ASSERT_EQ(user_.alarms.size(), 3u);
    EXPECT_EQ(toTimeValue(user_.alarms[0].alarm_start), toTimeValue(makeTime(2030, 3, 1, 8, 0)));
    EXPECT_EQ(toTimeValue(user_.alarms[1].alarm_start), toTimeValue(makeTime(2030, 3, 1, 20, 0)));
    EXPECT_EQ(toTimeValue(user_.alarms[2].alarm_start), toTimeValue(makeTime(2030, 3, 2, 12, 30)));
    EXPECT_TRUE(user_.is_programming_needed) << "the rule saw the new alarms";
    Profile p;
    ASSERT_TRUE(store_->loadProfile(id_, p));
    EXPECT_TRUE(p.is_programming_needed) << "the flag is stored with the user";
}

TEST_F(ConvertPouchTest, ConvertingTwiceGivesUnchangedAndNoDuplicates) {
    const PouchData d = ParsePouchData(kSample);
    ASSERT_EQ(ConvertPouchToAlarms(d, 7, user_, *store_), kPouchChanged);
    EXPECT_EQ(ConvertPouchToAlarms(d, 7, user_, *store_), kPouchUnchanged);
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_EQ(user_.alarms.size(), 3u);
}

TEST_F(ConvertPouchTest, NewDataReplacesEveryOldPouchAlarmAndKeepsHandAlarms) {
    const Alarm mine = handAlarm();
    ASSERT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), 7, user_, *store_), kPouchChanged);
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), 7, user_, *store_), kPouchUnchanged)
        << "a hand alarm beside them does not make unchanged pouch data look changed";
    // An old pouch alarm far outside the new period goes too.
    Alarm old;
    old.alarm_start = old.alarm_end = makeTime(2031, 1, 1, 7, 0);
    old.repeat_forever = true;
    old.repeat_pattern = 7;
    old.alarm_type = 1;
    ASSERT_TRUE(store_->saveAlarm(old, id_));
    user_.alarms.push_back(old);

    const char* next =
        "[BASIC_INFORMATION]NAME=Anna;STARTDATE=2030-03-15;ENDDATE=2030-03-28"
        "[POUCH1]DOSEDATE=2030-03-15;DOSETIME=9:15";
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(next), 7, user_, *store_), kPouchChanged);
    const std::vector<Alarm> db = stored();
    EXPECT_EQ(count(db, 1), 1);
    EXPECT_EQ(count(db, 0), 1);
    auto kept = std::find_if(db.begin(), db.end(), [](const Alarm& a) { return a.alarm_type == 0; });
    ASSERT_NE(kept, db.end());
    EXPECT_EQ(kept->id, mine.id);
    EXPECT_EQ(kept->description, "by hand");
    EXPECT_EQ(user_.alarms.size(), 2u);
}

TEST_F(ConvertPouchTest, BadDataChangesNothing) {
    const Alarm mine = handAlarm();
    ASSERT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), 7, user_, *store_), kPouchChanged);
    const std::vector<Alarm> before = stored();
    const bool flagBefore = user_.is_programming_needed;

    // One bad dose among good ones.
    std::string bad = std::string(kSample) + "[POUCH4]DOSEDATE=2030-03-02;DOSETIME=24:00";
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(bad), 7, user_, *store_), kPouchInvalid);
    // A section without DOSETIME.
    std::string noTime = std::string(kSample) + "[POUCH4]DOSEDATE=2030-03-02";
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(noTime), 7, user_, *store_), kPouchInvalid);
    // A period in 2010, and a missing end date.
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData("[BASIC_INFORMATION]STARTDATE=2010-03-01;"
                                                  "ENDDATE=2030-03-14[POUCH1]DOSEDATE=2030-03-01;"
                                                  "DOSETIME=8:00"),
                                   7, user_, *store_),
              kPouchInvalid);
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData("[BASIC_INFORMATION]STARTDATE=2030-03-01"
                                                  "[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00"),
                                   7, user_, *store_),
              kPouchInvalid);
    // No doses at all.
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData("[BASIC_INFORMATION]NAME=Anna;STARTDATE="
                                                  "2030-03-01;ENDDATE=2030-03-14"),
                                   7, user_, *store_),
              kPouchNoDoses);

    const std::vector<Alarm> after = stored();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].id, before[i].id);
    EXPECT_EQ(user_.alarms.size(), 4u);
    EXPECT_EQ(user_.is_programming_needed, flagBefore);
    EXPECT_EQ(mine.alarm_type, 0);
}

TEST_F(ConvertPouchTest, WithoutASelectedUserNothingIsWritten) {
    CurrentUser nobody;
    EXPECT_EQ(ConvertPouchToAlarms(ParsePouchData(kSample), 7, nobody, *store_), kPouchNotStored);
    std::vector<Alarm> orphans;
    ASSERT_TRUE(store_->loadAlarms(0, orphans));
    EXPECT_TRUE(orphans.empty());
    EXPECT_TRUE(nobody.alarms.empty());
}

}  // namespace
}  // namespace velmora
