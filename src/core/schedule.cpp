#include "core/schedule.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <unordered_map>

#include "core/datetime.h"

namespace velmora {
namespace {

using U32 = std::uint32_t;

U32 u(TimeValue t) { return static_cast<U32>(t); }

// Local calendar year of an instant. Remembers the span of the last year
// it found, since an expansion walks through one year at a time.
class YearOf {
public:
    int operator()(U32 t) {
        if (t >= lo_ && t < hi_) return year_;
        const std::time_t tt = static_cast<std::time_t>(t);
        std::tm tm{};
        localtime_r(&tt, &tm);
        year_ = tm.tm_year + 1900;
        lo_ = static_cast<std::int64_t>(toTimeValue64(makeTime(year_, 1, 1)));
        hi_ = static_cast<std::int64_t>(toTimeValue64(makeTime(year_ + 1, 1, 1)));
        return year_;
    }

private:
    int year_ = 0;
    std::int64_t lo_ = 1;
    std::int64_t hi_ = 0;
};

// The farthest instant any alarm can reach when none repeats forever with
// a step (a forever-repeating single alarm has only its start); INT64_MAX
// when one does.
std::int64_t lastReachable(const std::vector<Alarm>& alarms) {
    std::int64_t bound = 0;
    for (const Alarm& a : alarms) {
        const bool endless = a.repeat_forever && stepDays(a.repeat_pattern) != 0;
        if (endless) return INT64_MAX;
        const SYSTEMTIME& c =
            stepDays(a.repeat_pattern) == 0 ? a.alarm_start : a.alarm_end;
        bound = std::max(bound, toTimeValue64(c));
    }
    return bound;
}

// Sorts occurrences by instant, converting each date-time only once.
void sortByInstant(std::vector<AlarmOccurrence>& out) {
    std::vector<std::pair<U32, std::size_t>> keys;
    keys.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) keys.emplace_back(u(toTimeValue(out[i].time)), i);
    if (std::is_sorted(keys.begin(), keys.end())) return;
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<AlarmOccurrence> sorted;
    sorted.reserve(out.size());
    for (const auto& k : keys) sorted.push_back(std::move(out[k.second]));
    out.swap(sorted);
}

// A guard against filling forever: about 100 years of 30-day chunks.
constexpr int kMaxChunks = 1220;

}  // namespace

int stepDays(int repeatPattern) {
    switch (repeatPattern) {
        case 1: return 1;
        case 2: return 2;
        case 3: return 3;
        case 4: return 4;
        case 5: return 5;
        case 6: return 7;
        case 7: return 14;
        default: return 0;
    }
}

namespace {

constexpr U32 kLast = static_cast<U32>(kLastTimeValue);

// An instant no later than `limit`; anything before 1970 counts as 0.
U32 instantUpTo(const SYSTEMTIME& t, U32 limit) {
    const std::int64_t v = toTimeValue64(t);
    return v < 0 ? 0 : static_cast<U32>(std::min<std::int64_t>(v, limit));
}

// The expansion over [from, to], occurrences going no further than `limit`.
void expandWithin(const std::vector<Alarm>& alarms, U32 from, U32 to, int startYear, U32 limit,
                  std::vector<AlarmOccurrence>& out, const DaylightTable& daylight) {
    int yearMemory = startYear;
    YearOf yearOf;

    for (const Alarm& alarm : alarms) {
        const std::int64_t start = toTimeValue64(alarm.alarm_start);
        if (start < 0 || start > limit) continue;
        const U32 first = static_cast<U32>(start);
        const U32 last = alarm.repeat_forever ? to : instantUpTo(alarm.alarm_end, limit);
        const U32 step = static_cast<U32>(stepDays(alarm.repeat_pattern)) * kSecondsPerDay;
        bool yearChanged = true;
        if (first > last) continue;
        // A start whose wall time does not exist (the hour the spring change
        // skips) reads back an hour later; one just after the change does not.
        const bool startSkipped = step != 0 && fromTimeValue(first).wHour != alarm.alarm_start.wHour;

        U32 t = first;
        // The spring correction can put the day's instant before the
        // change, when its wall time lies in the skipped hour: that day it
        // rings the same distance after the change, and the steps go on
        // from the corrected instant.
        U32 skipped = 0;
        while (true) {
            const U32 at = t + skipped;
            if (from <= at && at <= to) {
                AlarmOccurrence o;
                o.source = &alarm;
                o.time = fromTimeValue(at);
                o.title = alarm.title;
                o.description = alarm.description;
                o.alarm_type = alarm.alarm_type;
                out.push_back(std::move(o));
            }
            if (step == 0) break;
            const U32 prev = t;
            const int y = yearOf(t);
            if (y != yearMemory) yearChanged = true;
            yearMemory = y;
            U32 next = t + step;
            skipped = 0;
            const U32 s = u(daylight.startOf(y));
            const U32 e = u(daylight.endOf(y));
            if (s != 0 && e != 0) {
                const bool firstInGap = startSkipped && s < first && first < s + 3600;
                if (yearChanged && ((prev <= s && s < next) || firstInGap)) {
                    next -= kDaylightShift;
                    yearChanged = false;
                    if (next < s) skipped = kDaylightShift;
                } else if (prev < e && e <= next) {
                    next += kDaylightShift;
                }
            }
            if (next <= prev) break;  // the 32-bit range is exhausted
            t = next;
            if (t + skipped > last) break;
        }
    }
    sortByInstant(out);
}

// Whether any alarm has an occurrence after kLastTimeValue. The steps are
// at most 14 days (and an hour), so a series that goes on past the limit
// has an occurrence within 15 days after it.
bool goesPastLastInstant(const std::vector<Alarm>& alarms, const DaylightTable& daylight) {
    for (const Alarm& a : alarms)
        if (toTimeValue64(a.alarm_start) > kLastTimeValue) return true;
    std::vector<AlarmOccurrence> beyond;
    expandWithin(alarms, kLast + 1, kLast + 15 * kSecondsPerDay, fromTimeValue(kLast).wYear, UINT32_MAX,
                 beyond, daylight);
    return !beyond.empty();
}

}  // namespace

void expandOccurrences(const std::vector<Alarm>& alarms, const SYSTEMTIME& rangeStart,
                       const SYSTEMTIME& rangeEnd, std::vector<AlarmOccurrence>& out,
                       const DaylightTable& daylight) {
    const std::int64_t from = toTimeValue64(rangeStart);
    if (from > kLastTimeValue) {
        sortByInstant(out);
        return;
    }
    expandWithin(alarms, from < 0 ? 0 : static_cast<U32>(from), instantUpTo(rangeEnd, kLast),
                 rangeStart.wYear, kLast, out, daylight);
}

Horizon scheduleHorizon(const std::vector<Alarm>& alarms, const SYSTEMTIME& now) {
    Horizon h;
    h.kind = Horizon::kNothingAhead;
    h.bound = now;
    for (const Alarm& a : alarms) {
        if (a.repeat_forever) {
            h.kind = Horizon::kForever;
            return h;
        }
        const SYSTEMTIME& candidate = a.repeat_pattern == 0 ? a.alarm_start : a.alarm_end;
        if (toTimeValue64(candidate) > toTimeValue64(h.bound)) {
            h.bound = candidate;
            h.kind = Horizon::kEnds;
        }
    }
    return h;
}

bool fillInstantList(InstantList& list, const std::vector<Alarm>& alarms,
                     const std::vector<Alarm>& horizonAlarms, const SYSTEMTIME& now,
                     const DaylightTable& daylight) {
    list.clear();
    if (alarms.empty()) return false;
    const Horizon horizon = scheduleHorizon(horizonAlarms, now);
    if (horizon.kind == Horizon::kNothingAhead) {
        list.sortUnique();
        return false;
    }
    // Nothing comes after the last instant the expanded alarms can reach:
    // without an alarm among them that steps forever the list may never
    // fill, whatever the horizon alarms say, so stop there. Nor after the
    // last instant a TimeValue holds.
    std::int64_t bound = horizon.kind == Horizon::kEnds ? toTimeValue64(horizon.bound) : INT64_MAX;
    bound = std::min({bound, lastReachable(alarms), std::int64_t{kLastTimeValue}});

    SYSTEMTIME chunkStart = now;
    SYSTEMTIME chunkEnd = addDays(chunkStart, kChunkDays);
    std::vector<AlarmOccurrence> occurrences;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        occurrences.clear();
        expandOccurrences(alarms, chunkStart, chunkEnd, occurrences, daylight);
        for (const AlarmOccurrence& o : occurrences) {
            if (!list.add(toTimeValue(o.time))) {
                list.sortUnique();
                list.trimLastDay();
                return true;
            }
        }
        chunkStart = chunkEnd;
        chunkEnd = addDays(chunkEnd, kChunkDays);
        if (toTimeValue64(chunkStart) > bound) break;
    }
    list.sortUnique();
    // The list did not fill: say so when alarms it was to hold lie past
    // what a TimeValue holds.
    list.setEndsAtTimeLimit(bound == kLastTimeValue && goesPastLastInstant(alarms, daylight));
    return true;
}

bool spacingHolds(const std::vector<TimeValue>& instants, int windowSeconds) {
    const std::int64_t need = std::int64_t{windowSeconds} + kSpacingMargin;
    for (std::size_t i = 1; i < instants.size(); ++i) {
        if (std::int64_t{u(instants[i])} - std::int64_t{u(instants[i - 1])} < need) return false;
    }
    return true;
}

namespace {
bool sameRule(const Alarm& a, const Alarm& b) {
    return a.alarm_start == b.alarm_start && a.alarm_end == b.alarm_end &&
           a.repeat_forever == b.repeat_forever && a.repeat_pattern == b.repeat_pattern;
}
}  // namespace

bool candidateFits(const std::vector<Alarm>& userAlarms, const Alarm& candidate,
                   const Alarm* before, int windowSeconds, const SYSTEMTIME& now,
                   const DaylightTable& daylight) {
    std::vector<Alarm> working;
    working.reserve(userAlarms.size() + 1);
    for (const Alarm& a : userAlarms) {
        if (before == nullptr || !sameRule(a, *before)) working.push_back(a);
    }
    working.push_back(candidate);
    if (working.size() < 2) return true;
    InstantList list(500);
    fillInstantList(list, working, userAlarms, now, daylight);
    return spacingHolds(list.items(), windowSeconds);
}

bool windowFits(const std::vector<Alarm>& userAlarms, int windowSeconds, const SYSTEMTIME& now,
                const DaylightTable& daylight) {
    InstantList list(500);
    fillInstantList(list, userAlarms, userAlarms, now, daylight);
    return spacingHolds(list.items(), windowSeconds);
}

void applyHistory(std::vector<AlarmOccurrence>& occurrences,
                  const std::map<TimeValue, LogEntry>& history, std::vector<LogEntry>& unmatched) {
    std::unordered_multimap<TimeValue, std::size_t> byInstant;
    byInstant.reserve(occurrences.size());
    for (std::size_t i = 0; i < occurrences.size(); ++i) {
        byInstant.emplace(toTimeValue(occurrences[i].time), i);
    }
    for (const auto& [instant, entry] : history) {
        auto [lo, hi] = byInstant.equal_range(entry.alarm_time);
        if (lo == hi) {
            unmatched.push_back(entry);
            continue;
        }
        for (auto it = lo; it != hi; ++it) {
            AlarmOccurrence& o = occurrences[it->second];
            o.status = entry.log_status;
            if (entry.log_status == kStatusAcknowledged || entry.log_status == kStatusAcknowledgedLate) {
                o.ack_time = fromTimeValue(static_cast<std::uint32_t>(entry.ack));
            }
        }
    }
}

}  // namespace velmora
