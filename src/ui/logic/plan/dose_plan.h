#pragma once
// The dose plan a person takes home: the coming weeks day by day, every
// dose with its time and description and a box to tick, headed by the
// person's name and identity code, the pharmacy's note and the date it
// was made. The same plan as CSV (history_export.h's rules) and as HTML
// that the printing side lays out on A4 pages in large type.
#include <cstddef>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"

namespace velmora {

inline constexpr int kMinPlanWeeks = 1;
inline constexpr int kMaxPlanWeeks = 4;
// Two weeks: a pouch delivery covers two weeks, and so does a plan
// handed over with it.
inline constexpr int kDefaultPlanWeeks = 2;
// More doses on one day are summed up as "+N more".
inline constexpr std::size_t kMaxPlanDosesPerDay = 12;
// The pharmacy's note, in bytes of UTF-8.
inline constexpr std::size_t kMaxPlanNoteBytes = 600;

struct PlannedDose {
    SYSTEMTIME time{};  // local wall-clock time of the dose
    Text description;
};

struct PlanDay {
    SYSTEMTIME date{};  // 00:00 of the day, wDayOfWeek set
    std::vector<PlannedDose> doses;  // in time order, at most kMaxPlanDosesPerDay
    std::size_t moreDoses = 0;       // doses of the day left out
};

struct DosePlan {
    Text name;
    Text identityCode;
    Text note;
    SYSTEMTIME made{};  // the date the plan was made
    std::vector<PlanDay> days;  // every day from `made`'s date, weeks * 7 of them
};

// The plan of `user`'s alarms for `weeks` weeks (clamped to 1-4) from the
// date of `today`: every day, also one without doses.
DosePlan buildDosePlan(const CurrentUser& user, const SYSTEMTIME& today, int weeks, const Text& note);

// `note` cut to kMaxPlanNoteBytes on a whole UTF-8 letter, CR LF as LF.
Text boundedPlanNote(const Text& note);

// What the plan shows of an alarm: its description, else its title.
Text doseDescription(const Alarm& alarm);

// CSV with the BOM: a heading row, then one row per dose: date
// (yyyy-mm-dd), weekday, time (hh:mm), description and an empty taken
// field; a day with doses left out adds a row of "+N more".
Text dosePlanCsv(const DosePlan& plan, const StringSource& strings);

// The plan as a page: heading, person, period, date made, note, then the
// table by day with an empty tick box per dose.
Text dosePlanHtml(const DosePlan& plan, const StringSource& strings);

}  // namespace velmora
