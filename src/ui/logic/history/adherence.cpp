#include "ui/logic/history/adherence.h"

#include <algorithm>

#include "core/datetime.h"

namespace velmora {

int nearestRankPercentile(std::vector<int>& values, int percent) {
    if (values.empty()) return 0;
    const std::size_t n = values.size();
    // ceil(percent * n / 100), at least 1.
    std::size_t rank = (static_cast<std::size_t>(percent) * n + 99) / 100;
    rank = std::clamp<std::size_t>(rank, 1, n);
    auto nth = values.begin() + static_cast<std::ptrdiff_t>(rank - 1);
    std::nth_element(values.begin(), nth, values.end());
    return *nth;
}

PeriodDays periodDays(AdherencePeriod period, const std::map<TimeValue, LogEntry>& history,
                      TimeValue now) {
    const SYSTEMTIME today = fromTimeValue(now);
    const SYSTEMTIME todayDate = makeTime(today.wYear, today.wMonth, today.wDay);
    PeriodDays out;
    switch (period) {
        case AdherencePeriod::Last30Days: out.days = 30; break;
        case AdherencePeriod::Last90Days: out.days = 90; break;
        case AdherencePeriod::All: {
            out.days = 1;
            if (!history.empty() && history.begin()->first <= now) {
                const SYSTEMTIME firstEntry = fromTimeValue(history.begin()->first);
                out.days = static_cast<int>(dayNumber(todayDate) - dayNumber(firstEntry)) + 1;
            }
            break;
        }
    }
    out.first = addDays(todayDate, 1 - out.days);
    out.from = toTimeValue(out.first);
    return out;
}

Adherence computeAdherence(const std::map<TimeValue, LogEntry>& history, TimeValue from,
                           TimeValue now) {
    Adherence a;
    std::vector<int> delays;
    int run = 0;
    std::int64_t lastForgottenDay = -1;
    for (auto it = history.lower_bound(from); it != history.end() && it->first <= now; ++it) {
        const LogEntry& e = it->second;
        const bool forgotten = e.log_status == kStatusForgotten || e.log_status == kStatusForgottenAlt;
        const bool taken = e.log_status == kStatusAcknowledged || e.log_status == kStatusAcknowledgedLate;
        if (!forgotten && !taken) continue;  // not due
        const SYSTEMTIME local = fromTimeValue(e.alarm_time);
        DoseCounts& slot = a.bySlot[std::min<int>(local.wHour / 6, kSlotEvening)];
        for (DoseCounts* c : {&a.total, &slot}) {
            ++c->due;
            if (forgotten) ++c->forgotten;
            if (taken) ++c->taken;
            if (e.log_status == kStatusAcknowledged) ++c->onTime;
            if (e.log_status == kStatusAcknowledgedLate) ++c->late;
        }
        if (forgotten) {
            a.longestForgottenRun = std::max(a.longestForgottenRun, ++run);
            const std::int64_t day = dayNumber(local);
            if (day != lastForgottenDay) ++a.daysWithForgotten;  // entries come in time order
            lastForgottenDay = day;
        } else {
            run = 0;
            if (e.ack != 0) delays.push_back(static_cast<int>(static_cast<std::int64_t>(e.ack) - e.alarm_time));
        }
    }
    a.delayCount = static_cast<int>(delays.size());
    a.medianDelaySeconds = nearestRankPercentile(delays, 50);
    a.p90DelaySeconds = nearestRankPercentile(delays, 90);
    return a;
}

}  // namespace velmora
