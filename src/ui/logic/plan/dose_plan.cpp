#include "ui/logic/plan/dose_plan.h"

#include <algorithm>

#include "core/datetime.h"
#include "core/schedule.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/calendar/calendar_items.h"
#include "ui/logic/history/history_export.h"

namespace velmora {

namespace {

Text moreDosesText(const StringSource& strings, std::size_t more) {
    return fillPlaceholder(strings.load(ids::kDosePlanMoreDoses), std::to_string(more));
}

Text dayHeading(const StringSource& strings, const SYSTEMTIME& date) {
    return weekdayName(strings, date.wDayOfWeek) + " " + formatDate(date);
}

// Text for HTML with its line breaks kept.
Text htmlLines(const Text& text) {
    Text out;
    for (char c : htmlEscaped(text)) out += c == '\n' ? Text("<br>") : Text(1, c);
    return out;
}

}  // namespace

Text boundedPlanNote(const Text& note) {
    Text out;
    for (std::size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') continue;
        out += note[i];
    }
    if (out.size() <= kMaxPlanNoteBytes) return out;
    std::size_t end = kMaxPlanNoteBytes;
    // Back to the first byte of a letter, never into its middle.
    while (end > 0 && (static_cast<unsigned char>(out[end]) & 0xC0) == 0x80) --end;
    out.resize(end);
    return out;
}

Text doseDescription(const Alarm& alarm) { return alarm.description.empty() ? alarm.title : alarm.description; }

DosePlan buildDosePlan(const CurrentUser& user, const SYSTEMTIME& today, int weeks, const Text& note) {
    DosePlan plan;
    plan.name = user.name;
    plan.identityCode = user.ssn;
    plan.note = boundedPlanNote(note);
    const SYSTEMTIME first = normalizeDate(makeTime(today.wYear, today.wMonth, today.wDay));
    plan.made = first;
    const int days = std::clamp(weeks, kMinPlanWeeks, kMaxPlanWeeks) * 7;
    plan.days.resize(static_cast<std::size_t>(days));
    for (int i = 0; i < days; ++i) plan.days[static_cast<std::size_t>(i)].date = addDays(first, i);

    SYSTEMTIME last = addDays(first, days - 1);
    last.wHour = 23;
    last.wMinute = 59;
    last.wSecond = 59;
    std::vector<AlarmOccurrence> occurrences;
    expandOccurrences(user.alarms, first, last, occurrences, user.daylight);
    const std::int64_t firstDay = dayNumber(first);
    for (const AlarmOccurrence& o : occurrences) {
        const std::int64_t i = dayNumber(o.time) - firstDay;
        if (i < 0 || i >= days) continue;
        PlanDay& day = plan.days[static_cast<std::size_t>(i)];
        if (day.doses.size() < kMaxPlanDosesPerDay)
            day.doses.push_back({o.time, doseDescription(*o.source)});
        else
            ++day.moreDoses;
    }
    return plan;
}

Text dosePlanCsv(const DosePlan& plan, const StringSource& strings) {
    Text out = kUtf8Bom;
    appendCsvHeading(out, strings.load(ids::kDosePlanCsvHeader));
    for (const PlanDay& day : plan.days) {
        const Text date = isoDate(day.date);
        const Text weekday = weekdayName(strings, day.date.wDayOfWeek);
        for (const PlannedDose& dose : day.doses)
            appendCsvRow(out, {date, weekday, formatTimeOfDay(dose.time), dose.description, Text()});
        if (day.moreDoses > 0) appendCsvRow(out, {date, weekday, Text(), moreDosesText(strings, day.moreDoses), Text()});
    }
    return out;
}

Text dosePlanHtml(const DosePlan& plan, const StringSource& strings) {
    // Large type for reading at arm's length; the tick box is an empty
    // framed square.
    Text out =
        "<html><body style=\"font-size:15pt\"><h1>" + htmlEscaped(strings.load(ids::kDosePlanTitle)) + "</h1>";
    out += "<p><b>" + htmlEscaped(strings.load(ids::kDosePlanName)) + "</b> " + htmlEscaped(plan.name) +
           "<br><b>" + htmlEscaped(strings.load(ids::kDosePlanIdentityCode)) + "</b> " +
           htmlEscaped(plan.identityCode) + "<br>";
    Text period = fillPlaceholder(strings.load(ids::kDosePlanPeriod), formatDate(plan.days.front().date));
    period = fillPlaceholder(period, formatDate(plan.days.back().date));
    out += htmlEscaped(period) + "<br><b>" + htmlEscaped(strings.load(ids::kDosePlanMade)) + "</b> " +
           formatDate(plan.made) + "</p>";
    if (!plan.note.empty())
        out += "<p><b>" + htmlEscaped(strings.load(ids::kDosePlanNote)) + "</b><br>" + htmlLines(plan.note) +
               "</p>";

    // A table per day, its name heading it, again on the next page when
    // the day goes on there. Every cell in the same type, so that a row
    // breaks to the next page whole.
    const Text taken = htmlEscaped(strings.load(ids::kDosePlanTaken));
    const Text box = "<td align=\"center\" style=\"font-size:20pt\">\xE2\x98\x90</td>";  // U+2610, an empty box
    for (const PlanDay& day : plan.days) {
        out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" width=\"100%\"><thead><tr>"
               "<th colspan=\"2\" align=\"left\">" +
               htmlEscaped(dayHeading(strings, day.date)) + "</th><th width=\"15%\">" + taken + "</th></tr></thead>";
        if (day.doses.empty() && day.moreDoses == 0)
            out += "<tr><td colspan=\"2\">" + htmlEscaped(strings.load(ids::kDosePlanNoDoses)) + "</td><td></td></tr>";
        for (const PlannedDose& dose : day.doses)
            out += "<tr><td width=\"12%\">" + formatTimeOfDay(dose.time) + "</td><td>" + htmlLines(dose.description) +
                   "</td>" + box + "</tr>";
        if (day.moreDoses > 0)
            out += "<tr><td colspan=\"2\">" + htmlEscaped(moreDosesText(strings, day.moreDoses)) + "</td><td></td></tr>";
        out += "</table><p></p>";
    }
    out += "</body></html>";
    return out;
}

}  // namespace velmora
