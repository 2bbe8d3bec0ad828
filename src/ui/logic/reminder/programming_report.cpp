#include "ui/logic/reminder/programming_report.h"

#include <string>
#include <system_error>
#include <vector>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "core/whole_file.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

const Text kSeparator(80, '-');

// "%-30s": padded with spaces to 30 characters; longer texts are kept whole.
Text pad30(const Text& s) {
    const std::size_t chars = utf8ToUtf16(s).size();
    return chars >= 30 ? s : s + Text(30 - chars, ' ');
}

Text dateTimeOf(TimeValue t) {
    const SYSTEMTIME s = fromTimeValue(t);
    return formatDate(s) + " " + formatTimeOfDay(s);
}

int groupOf(const Alarm& a) { return a.repeat_pattern <= 7 ? a.repeat_pattern : 0; }

// Group headings by repetition code 0 to 6; code 7 (every other week) has
// no group of its own in the report.
constexpr int kRepeatTexts[] = {ids::kRepeatSingle,        ids::kRepeatDaily,
                                ids::kRepeatEveryOtherDay, ids::kRepeatEveryThirdDay,
                                ids::kRepeatEveryFourthDay, ids::kRepeatEveryFifthDay,
                                ids::kRepeatWeekly};

}  // namespace

Text buildReport(RecordStore& store, const CurrentUser& user, const StringSource& strings) {
    using namespace ids;
    const TimeValue programmed = store.programmingTimeOf(user.connected_sn);
    const TimeValue lastAlarm = store.lastAlarmOf(user);

    Text r;
    r += "\n" + kSeparator + "\n";
    r += strings.load(kNameLabel) + "\t\t" + user.name + "\t\t\n";
    r += strings.load(kPhoneLabel) + "\t" + user.phone;
    r += "\n" + kSeparator + "\n\n";
    r += strings.load(kProgrammingReportAlarms) + "\n\n";
    r += pad30(strings.load(kReportProgrammingTime) + ":") + "\t" + dateTimeOf(programmed) + "\n";
    r += pad30(strings.load(kProgrammingReportLastAlarm) + ":") + "\t" + dateTimeOf(lastAlarm) + "\n";
    r += "\n\n";
    for (int code : {1, 2, 3, 4, 5, 6, 0}) {
        bool any = false;
        for (const Alarm& a : user.alarms) any = any || groupOf(a) == code;
        if (!any) continue;
        r += strings.load(kRepeatTexts[code]) + ":\n\n";
        for (const Alarm& a : user.alarms) {
            if (groupOf(a) != code) continue;
            r += formatTimeOfDay(a.alarm_start) + "\t" + formatDate(a.alarm_start);
            if (code != 0)
                r += " - " + (a.repeat_forever ? formatDate(fromTimeValue(lastAlarm))
                                               : formatDate(a.alarm_end));
            r += "\n";
        }
        r += "\n\n";
    }
    r += kSeparator + "\n";
    r += strings.load(kSafetyInstructions);
    return r;
}

bool writeReportFile(const std::filesystem::path& file, const Text& report) {
    std::string bytes;
    for (char c : toCp1252(report)) {
        if (c == '\n') bytes += "\r\n";
        else bytes += c;
    }
    bytes += "\r\n";
    Text reason;
    return writeWholeFile(file, bytes, reason);
}

}  // namespace velmora
