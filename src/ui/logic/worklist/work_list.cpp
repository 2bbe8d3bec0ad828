#include "ui/logic/worklist/work_list.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "core/config_file.h"
#include "core/datetime.h"
#include "core/text.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

constexpr int kWeekDays = 7;

std::int64_t localDay(TimeValue t) { return dayNumber(fromTimeValue(t)); }

// The later of the programming and the newest alarmed log entry: reading
// the reminder comes before programming it, so programming is a read too.
TimeValue lastRead(const UserReminderState& u) { return std::max(u.programming_time, u.newestAlarmedLog); }

// An empty own reminder (last alarm 0) ran out long ago.
bool runsOutWithin(const UserReminderState& u, std::int64_t today, int days) {
    return u.hasOwnReminder && localDay(u.last_alarm) - today <= days;
}

int boundedDays(int days) { return std::clamp(days, WorkListOptions::kMinDays, WorkListOptions::kMaxDays); }

int configDays(const std::filesystem::path& file, const char* key, int fallback) {
    if (file.empty()) return fallback;
    const auto value = readConfigValue(file, key);
    int days = 0;
    if (!value || std::from_chars(value->data(), value->data() + value->size(), days).ec != std::errc{})
        return fallback;
    return boundedDays(days);
}

// Rows without a reminder sort after every date; an empty one before.
std::int64_t runsOutKey(const WorkListRow& r) {
    if (!r.hasOwnReminder) return INT64_MAX;
    return r.runsOut == 0 ? INT64_MIN : r.runsOut;
}

}  // namespace

unsigned workReasons(const UserReminderState& u, TimeValue now, const WorkListOptions& options, int* daysSinceRead) {
    const std::int64_t today = localDay(now);
    unsigned reasons = 0;
    if (runsOutWithin(u, today, options.runsOutDays)) reasons |= kReasonRunsOut;
    if (u.is_programming_needed) reasons |= kReasonNeedsProgramming;
    const TimeValue read = lastRead(u);
    if (u.hasOwnReminder && u.last_alarm != 0 && read != 0 && today - localDay(read) > options.logDays) {
        reasons |= kReasonLogNotRead;
        if (daysSinceRead) *daysSinceRead = static_cast<int>(today - localDay(read));
    }
    return reasons;
}

std::vector<WorkListRow> workListRows(const std::vector<UserReminderState>& users, TimeValue now,
                                      const WorkListOptions& options) {
    std::vector<WorkListRow> rows;
    for (const UserReminderState& u : users) {
        WorkListRow r;
        r.reasons = workReasons(u, now, options, &r.daysSinceRead);
        if (r.reasons == 0) continue;
        r.userId = u.id;
        r.name = u.name;
        r.ssn = u.ssn;
        r.hasOwnReminder = u.hasOwnReminder;
        r.runsOut = u.last_alarm;
        rows.push_back(std::move(r));
    }
    return rows;
}

bool dueThisWeek(const UserReminderState& u, TimeValue now) {
    return u.is_programming_needed || runsOutWithin(u, localDay(now), kWeekDays);
}

WorkListLogic::WorkListLogic(RecordStore& store, const StringSource& strings, const Clock& clock,
                             std::filesystem::path configFile, std::function<void(int userId)> choose)
    : store_(store), strings_(strings), clock_(clock), configFile_(std::move(configFile)),
      choose_(std::move(choose)) {
    options_.runsOutDays = configDays(configFile_, kRunsOutDaysKey, options_.runsOutDays);
    options_.logDays = configDays(configFile_, kLogDaysKey, options_.logDays);
}

void WorkListLogic::reload() {
    std::vector<UserReminderState> users;
    now_ = clock_.nowValue();
    store_.loadUserReminderStates(users, [this](const UserReminderState& u) { return workReasons(u, now_, options_) != 0; });
    rows_ = workListRows(users, now_, options_);
    sortRows();
    stale_ = false;
    if (listener_) listener_();
}

void WorkListLogic::recordsChanged() {
    stale_ = true;
    if (visible_) reload();
}

void WorkListLogic::setVisible(bool visible) {
    visible_ = visible;
    if (visible_ && stale_) return reload();
    if (listener_) listener_();
}

void WorkListLogic::setOptions(WorkListOptions options) {
    options.runsOutDays = boundedDays(options.runsOutDays);
    options.logDays = boundedDays(options.logDays);
    if (options == options_) return;
    options_ = options;
    if (!configFile_.empty()) {
        Text reason;
        // Not kept for the next start when the file cannot be written;
        // the list follows the choice all the same.
        writeConfigValue(configFile_, kRunsOutDaysKey, std::to_string(options_.runsOutDays), reason) &&
            writeConfigValue(configFile_, kLogDaysKey, std::to_string(options_.logDays), reason);
    }
    reload();
}

void WorkListLogic::sort(int column, bool ascending) {
    if (column < 0 || column >= kColumnCount) return;
    sortColumn_ = column;
    ascending_ = ascending;
    sortRows();
    if (listener_) listener_();
}

void WorkListLogic::sortRows() {
    auto byName = [](const WorkListRow& a, const WorkListRow& b) {
        const Text la = lowerAscii(a.name), lb = lowerAscii(b.name);
        return la != lb ? la < lb : a.userId < b.userId;
    };
    auto less = [this](const WorkListRow& a, const WorkListRow& b) {
        switch (sortColumn_) {
            case kColumnSsn: return a.ssn < b.ssn;
            case kColumnRunsOut: return runsOutKey(a) < runsOutKey(b);
            case kColumnReasons: return a.reasons < b.reasons;
            default: return lowerAscii(a.name) < lowerAscii(b.name);
        }
    };
    std::sort(rows_.begin(), rows_.end(), byName);
    if (ascending_) std::stable_sort(rows_.begin(), rows_.end(), less);
    else std::stable_sort(rows_.begin(), rows_.end(), [&less](const WorkListRow& a, const WorkListRow& b) { return less(b, a); });
}

Text WorkListLogic::columnTitle(int column) const {
    static constexpr int kTitles[] = {ids::kWorkListColumnName, ids::kWorkListColumnSsn, ids::kWorkListColumnRunsOut,
                                      ids::kWorkListColumnReasons};
    return column >= 0 && column < kColumnCount ? strings_.load(kTitles[column]) : Text();
}

Text WorkListLogic::cellText(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    const WorkListRow& r = rows_[static_cast<std::size_t>(row)];
    switch (column) {
        case kColumnName: return r.name;
        case kColumnSsn: return r.ssn;
        case kColumnRunsOut:
            if (!r.hasOwnReminder) return "-";
            return r.runsOut == 0 ? strings_.load(ids::kWorkListReminderEmpty) : formatDate(fromTimeValue(r.runsOut));
        case kColumnReasons: {
            Text out;
            auto add = [&out](const Text& t) { out += out.empty() ? t : ", " + t; };
            if (r.reasons & kReasonRunsOut) {
                const bool gone = r.runsOut == 0 || r.runsOut <= now_;
                add(strings_.load(gone ? ids::kWorkListReasonRunOut : ids::kWorkListReasonRunsOut));
            }
            if (r.reasons & kReasonNeedsProgramming) add(strings_.load(ids::kWorkListReasonNeedsProgramming));
            if (r.reasons & kReasonLogNotRead)
                add(fillPlaceholder(strings_.load(ids::kWorkListReasonLogNotRead), std::to_string(r.daysSinceRead)));
            return out;
        }
        default: return {};
    }
}

void WorkListLogic::choose(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || !choose_) return;
    chosenId_ = rows_[static_cast<std::size_t>(row)].userId;
    choose_(chosenId_);
}

int WorkListLogic::chosenRow() const {
    const auto it = std::find_if(rows_.begin(), rows_.end(), [this](const WorkListRow& r) { return r.userId == chosenId_; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

Text WorkListLogic::dueThisWeekText() {
    std::vector<UserReminderState> none;
    const TimeValue now = clock_.nowValue();
    int due = 0;
    // Counted, never kept: no texts are read.
    store_.loadUserReminderStates(none, [now, &due](const UserReminderState& u) {
        due += dueThisWeek(u, now) ? 1 : 0;
        return false;
    });
    return fillPlaceholder(strings_.load(ids::kWorkListDueThisWeek), std::to_string(due));
}

}  // namespace velmora
