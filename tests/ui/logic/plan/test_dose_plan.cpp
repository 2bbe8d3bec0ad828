// The dose plan: its days and doses across the daylight-saving changes,
// and its CSV.
#include <gtest/gtest.h>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/logic/calendar/alarm_edit_flow.h"
#include "ui/logic/calendar/delete_dose_dlg_logic.h"
#include "ui/logic/plan/dose_plan_dlg_logic.h"

namespace velmora {
namespace {

using testing::dailyAlarm;

// "day=hh:mm+hh:mm" for every day of the plan, the day of the month first.
std::string doses(const DosePlan& plan) {
    std::string out;
    for (const PlanDay& day : plan.days) {
        out += (out.empty() ? "" : " ") + std::to_string(day.date.wDay) + "=";
        for (std::size_t i = 0; i < day.doses.size(); ++i) out += (i ? "+" : "") + formatTimeOfDay(day.doses[i].time);
    }
    return out;
}

Alarm pouchAlarm(const SYSTEMTIME& start) {
    Alarm a = dailyAlarm(start, true, {}, 7);
    a.alarm_type = 1;
    return a;
}

TEST(DosePlan, DaysAndDosesAcrossDaylightSavingChanges) {
    const Alarm daily = dailyAlarm(makeTime(2027, 3, 1, 8, 0));
    const struct {
        const char* what;
        std::vector<Alarm> alarms;
        SYSTEMTIME today;
        int weeks;
        std::string expected;
    } cases[] = {
        {"daily", {daily}, makeTime(2027, 3, 25, 15, 0), 1,
         "25=08:00 26=08:00 27=08:00 28=08:00 29=08:00 30=08:00 31=08:00"},
        {"every other day", {dailyAlarm(makeTime(2027, 3, 21, 20, 0), true, {}, 2)}, makeTime(2027, 3, 22, 7, 0), 2,
         "22= 23=20:00 24= 25=20:00 26= 27=20:00 28= 29=20:00 30= 31=20:00 1= 2=20:00 3= 4=20:00"},
        {"weekly", {dailyAlarm(makeTime(2027, 3, 15, 9, 30), true, {}, 6)}, makeTime(2027, 3, 22, 10, 0), 2,
         "22=09:30 23= 24= 25= 26= 27= 28= 29=09:30 30= 31= 1= 2= 3= 4="},
        {"pouch", {pouchAlarm(makeTime(2027, 3, 14, 7, 0)), pouchAlarm(makeTime(2027, 3, 15, 21, 0))},
         makeTime(2027, 3, 22, 7, 0), 2, "22= 23= 24= 25= 26= 27= 28=07:00 29=21:00 30= 31= 1= 2= 3= 4="},
        {"daily in the hour that repeats", {dailyAlarm(makeTime(2027, 10, 1, 3, 30))}, makeTime(2027, 10, 28, 9, 0), 1,
         "28=03:30 29=03:30 30=03:30 31=03:30 1=03:30 2=03:30 3=03:30"},
        {"every other day in autumn", {dailyAlarm(makeTime(2027, 10, 25, 8, 0), true, {}, 2),
                                       dailyAlarm(makeTime(2027, 10, 30, 22, 0), false, makeTime(2027, 11, 1, 22, 0))},
         makeTime(2027, 10, 26, 12, 0), 1, "26= 27=08:00 28= 29=08:00 30=22:00 31=08:00+22:00 1=22:00"},
        {"removed occurrence", alarmsAfter({daily}, doseDeletion(daily, makeTime(2027, 3, 27, 8, 0), DoseDeletion::ThisDose, "")),
         makeTime(2027, 3, 25, 15, 0), 1, "25=08:00 26=08:00 27= 28=08:00 29=08:00 30=08:00 31=08:00"},
        {"weeks beyond four are four", {}, makeTime(2027, 3, 1), 9,
         "1= 2= 3= 4= 5= 6= 7= 8= 9= 10= 11= 12= 13= 14= 15= 16= 17= 18= 19= 20= 21= 22= 23= 24= 25= 26= 27= 28="},
    };
    for (const auto& c : cases) {
        CurrentUser user;
        user.alarms = c.alarms;
        user.daylight = buildDaylightTable(c.today);
        EXPECT_EQ(doses(buildDosePlan(user, c.today, c.weeks, "")), c.expected) << c.what;
    }
}

TEST(DosePlan, CsvQuotesTextsAndSumsUpADayOverTheCap) {
    CurrentUser user;
    Alarm medicine = dailyAlarm(makeTime(2027, 3, 22, 8, 0), false);
    medicine.description = "Burana, \"400\"\nruoan kanssa";
    user.alarms.push_back(medicine);
    for (int i = 1; i <= 12; ++i) user.alarms.push_back(dailyAlarm(makeTime(2027, 3, 22, 9, i), false));
    user.daylight = buildDaylightTable(makeTime(2027, 3, 22));
    const DosePlan plan = buildDosePlan(user, makeTime(2027, 3, 22, 7, 0), 1, "");
    const Text csv = dosePlanCsv(plan, ResourceModule::builtIn());

    const Text head = "\xEF\xBB\xBFPäivämäärä,Viikonpäivä,Kellonaika,Kuvaus,Otettu\r\n"
                      "2027-03-22,maanantai,08:00,\"Burana, \"\"400\"\"\nruoan kanssa\",\r\n"
                      "2027-03-22,maanantai,09:01,Hälytys,\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    EXPECT_NE(csv.find("2027-03-22,maanantai,09:11,Hälytys,\r\n2027-03-22,maanantai,,+1 muuta annosta,\r\n"),
              Text::npos);
}

TEST(DosePlan, NoteIsCutOnAWholeLetter) {
    const Text a599(599, 'a');
    const struct {
        Text note;
        Text expected;
    } cases[] = {
        {"Apteekki\r\npuh. 09 1\r", "Apteekki\npuh. 09 1\r"},
        {a599 + "a\xC3\xA4", a599 + "a"},
        {a599 + "\xC3\xA4", a599},
    };
    for (const auto& c : cases) EXPECT_EQ(boundedPlanNote(c.note), c.expected);
}

TEST(DosePlan, CommandWantsAUserAndKeepsWeeksAndNoteForTheNextPlan) {
    dialogtest::ScriptedHost host;
    CurrentUser user;
    const FixedClock clock(makeTime(2027, 3, 22, 9, 0));
    DosePlanCommand command(user, ResourceModule::builtIn(), host, clock);
    EXPECT_FALSE(command.enabled());
    user.id = 3;
    EXPECT_TRUE(command.enabled());
    std::vector<std::pair<int, Text>> seen;
    host.onDialog = [&](DialogModel& dialog) {
        auto& plan = dynamic_cast<DosePlanDlgLogic&>(dialog);
        seen.emplace_back(plan.weeks(), plan.note());
        plan.setWeeks(4);
        plan.setNote("Apteekki");
        return kIdOk;
    };
    command.start();
    command.start();
    EXPECT_EQ(seen, (std::vector<std::pair<int, Text>>{{2, ""}, {4, "Apteekki"}}));
}

}  // namespace
}  // namespace velmora
