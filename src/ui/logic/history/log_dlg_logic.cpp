#include "ui/logic/history/log_dlg_logic.h"

#include <string>

#include "core/datetime.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {

namespace {

constexpr int kHighestStatus = 5;

// The line of one entry, given the status words by status (1 to 5).
Text lineOf(const LogEntry& entry, const Text (&words)[kHighestStatus + 1]) {
    Text line;
    line.reserve(64);
    appendDateTime(line, fromTimeValue(entry.alarm_time));
    line += " - ";
    if (entry.log_status >= 1 && entry.log_status <= kHighestStatus) line += words[entry.log_status];
    const bool acknowledged = entry.log_status == kStatusAcknowledged ||
                              entry.log_status == kStatusAcknowledgedLate;
    // An acknowledgement without its instant would read as 1.1.1970; show
    // the word alone then.
    if (acknowledged && entry.ack != 0) {
        line += ": ";
        appendDateTime(line, fromTimeValue(entry.ack));
    }
    return line;
}

void statusWords(const StringSource& strings, Text (&words)[kHighestStatus + 1]) {
    for (int status = 1; status <= kHighestStatus; ++status) words[status] = LogDlgLogic::statusWord(status, strings);
}
}  // namespace

LogDlgLogic::LogDlgLogic(const CurrentUser& user, const StringSource& strings, TimeValue now,
                         Interaction* person)
    : strings_(strings), history_(user.history), name_(user.name), now_(now), person_(person) {
    setPeriod(period_);
}

void LogDlgLogic::setPeriod(AdherencePeriod period) {
    period_ = period;
    days_ = velmora::periodDays(period, history_, now_);
    adherence_ = computeAdherence(history_, days_.from, now_);
    // The list and the totals show the same days as the figures.
    lines_.clear();
    total_ = acknowledged_ = late_ = forgotten_ = 0;
    Text words[kHighestStatus + 1];
    statusWords(strings_, words);
    // The history map is ordered by alarm time.
    for (auto it = history_.lower_bound(days_.from); it != history_.end(); ++it) {
        const LogEntry& entry = it->second;
        lines_.push_back(lineOf(entry, words));
        ++total_;
        switch (entry.log_status) {
            case kStatusForgotten:
            case kStatusForgottenAlt: ++forgotten_; break;
            case kStatusAcknowledged: ++acknowledged_; break;
            case kStatusAcknowledgedLate: ++late_; break;
            default: break;  // counted only in the total
        }
    }
}

bool LogDlgLogic::saveExport(const std::filesystem::path& file, std::string_view bytes) const {
    if (person_) return saveExportFile(*person_, strings_, file, bytes);
    Text reason;
    return writeWholeFile(file, bytes, reason);
}

std::vector<Text> LogDlgLogic::periodNames() const {
    return {strings_.load(ids::kPeriodLast30Days), strings_.load(ids::kPeriodLast90Days),
            strings_.load(ids::kPeriodAll)};
}

Text LogDlgLogic::percentText(double percent, int due) {
    if (due == 0) return "-";
    return std::to_string(static_cast<int>(percent + 0.5)) + " %";
}

Text LogDlgLogic::minutesText(int seconds, const StringSource& strings) {
    const int minutes = seconds >= 0 ? (seconds + 30) / 60 : -((-seconds + 30) / 60);
    return fillPlaceholder(strings.load(ids::kMinutesValue), std::to_string(minutes));
}

std::vector<std::vector<Text>> LogDlgLogic::adherenceTable() const {
    std::vector<std::vector<Text>> rows;
    rows.push_back({"", strings_.load(ids::kDosesDue), strings_.load(ids::kDosesTaken),
                    strings_.load(ids::kDosesOnTime), strings_.load(ids::kDosesLate),
                    strings_.load(ids::kHistoryForgotten), strings_.load(ids::kTakingAdherence),
                    strings_.load(ids::kTimingAdherence)});
    auto row = [&rows](const Text& caption, const DoseCounts& c) {
        rows.push_back({caption, std::to_string(c.due), std::to_string(c.taken), std::to_string(c.onTime),
                        std::to_string(c.late), std::to_string(c.forgotten),
                        percentText(c.takingPercent(), c.due), percentText(c.timingPercent(), c.due)});
    };
    row(strings_.load(ids::kSlotAll), adherence_.total);
    const int slotNames[kSlotCount] = {ids::kSlotNight, ids::kSlotMorning, ids::kSlotAfternoon,
                                       ids::kSlotEvening};
    for (int s = 0; s < kSlotCount; ++s) row(strings_.load(slotNames[s]), adherence_.bySlot[s]);
    return rows;
}

std::vector<std::pair<Text, Text>> LogDlgLogic::adherenceSummary() const {
    const Adherence& a = adherence_;
    auto delay = [&](int seconds) { return a.delayCount ? minutesText(seconds, strings_) : Text("-"); };
    return {{strings_.load(ids::kLongestForgottenRun), std::to_string(a.longestForgottenRun)},
            {strings_.load(ids::kDaysWithForgotten), std::to_string(a.daysWithForgotten)},
            {strings_.load(ids::kMedianDelay), delay(a.medianDelaySeconds)},
            {strings_.load(ids::kPercentile90Delay), delay(a.p90DelaySeconds)}};
}

Text LogDlgLogic::title() const { return strings_.load(ids::kHistoryTitle); }

Text LogDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdTotalsFrame: return strings_.load(ids::kHistoryTotalsFrame);
        case kIdTotalCaption: return strings_.load(ids::kHistoryTotal);
        case kIdAcknowledgedCaption: return strings_.load(ids::kHistoryAcknowledged);
        case kIdLateCaption: return strings_.load(ids::kHistoryAcknowledgedLate);
        case kIdForgottenCaption: return strings_.load(ids::kHistoryForgotten);
        case kIdClose: return strings_.load(ids::kClose);
        default: return {};
    }
}

Text LogDlgLogic::numberText(int controlId) const {
    switch (controlId) {
        case kIdTotal: return std::to_string(total_);
        case kIdAcknowledged: return std::to_string(acknowledged_);
        case kIdLate: return std::to_string(late_);
        case kIdForgotten: return std::to_string(forgotten_);
        default: return {};
    }
}

Text LogDlgLogic::statusWord(int logStatus, const StringSource& strings) {
    switch (logStatus) {
        case kStatusNotAlarmed: return strings.load(ids::kStatusNotAlarmed);
        case kStatusForgotten:
        case kStatusForgottenAlt: return strings.load(ids::kStatusForgotten);
        case kStatusAcknowledged: return strings.load(ids::kStatusAcknowledged);
        case kStatusAcknowledgedLate: return strings.load(ids::kStatusAcknowledgedLate);
        default: return {};
    }
}

Text LogDlgLogic::formatLine(const LogEntry& entry, const StringSource& strings) {
    Text words[kHighestStatus + 1];
    statusWords(strings, words);
    return lineOf(entry, words);
}

}  // namespace velmora
