#include "ui/logic/log_dlg_logic.h"

#include <string>

#include "core/datetime.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

Text formatInstant(TimeValue t) { return formatDateTime(fromTimeValue(t)); }
}  // namespace

LogDlgLogic::LogDlgLogic(const CurrentUser& user, const StringSource& strings)
    : strings_(strings) {
    lines_.reserve(user.history.size());
    // The history map is ordered by alarm time.
    for (const auto& [time, entry] : user.history) {
        (void)time;
        lines_.push_back(formatLine(entry, strings));
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
    Text line = formatInstant(entry.alarm_time);
    line += " - ";
    line += statusWord(entry.log_status, strings);
    const bool acknowledged = entry.log_status == kStatusAcknowledged ||
                              entry.log_status == kStatusAcknowledgedLate;
    // An acknowledgement without its instant would read as 1.1.1970; show
    // the word alone then.
    if (acknowledged && entry.ack != 0) {
        line += ": ";
        line += formatInstant(entry.ack);
    }
    return line;
}

}  // namespace velmora
