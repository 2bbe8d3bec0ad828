#include "online/pouch.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/datetime.h"
#include "core/scan.h"
#include "core/schedule.h"
#include "online/text_split.h"
#include "store/record_store.h"

namespace velmora {
namespace {

// Latest year whose instants fit the 32-bit TimeValue.
constexpr int kLastYear = 2037;

std::string valueOf(std::string_view entry) {
    std::size_t pos = entry.find('=');
    if (pos == std::string_view::npos) return {};
    pos = entry.find_first_not_of('=', pos);
    if (pos == std::string_view::npos) return {};
    return std::string(entry.substr(pos, entry.find('=', pos) - pos));
}

bool contains(std::string_view s, const char* key) { return s.find(key) != std::string_view::npos; }

bool parseDate(const Text& text, int& year, int& month, int& day) {
    if (scanIntegers(text, "%d-%d-%d", {&year, &month, &day}) != 3) return false;
    return year > 2010 && year <= kLastYear && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// The first `limit` instants, ascending, at which the pouch alarms
// (alarm_type 1) of `alarms` ring in [from, to]. Each alarm is expanded on
// its own and only as far as its instants can still be among the first
// `limit`, so about `limit` instants are held at a time however long the
// period and however many the alarms.
std::vector<TimeValue> firstPouchInstants(const std::vector<Alarm>& alarms, const SYSTEMTIME& from,
                                          const SYSTEMTIME& to, const DaylightTable& daylight,
                                          std::size_t limit) {
    const std::int64_t first = toTimeValue(from);
    const std::int64_t last = toTimeValue(to);
    std::vector<TimeValue> kept;  // a max-heap of the earliest instants so far
    std::vector<Alarm> one(1);
    std::vector<AlarmOccurrence> occurrences;
    for (const Alarm& a : alarms) {
        if (a.alarm_type != 1) continue;
        // An instant later than the latest kept one cannot enter a full
        // heap, and no alarm rings more than `limit` times among the first
        // `limit`. An hour of slack covers the daylight-saving shifts; the
        // heap sorts out what the slack lets in.
        std::int64_t end = last;
        if (kept.size() == limit) end = std::min<std::int64_t>(end, kept.front() + kDaylightShift);
        const int step = stepDays(a.repeat_pattern);
        if (step > 0) {
            const std::int64_t base = std::max<std::int64_t>(first, toTimeValue(a.alarm_start));
            end = std::min<std::int64_t>(end, base + static_cast<std::int64_t>(limit) * step *
                                                         kSecondsPerDay + kDaylightShift);
        }
        if (end < first) continue;
        one[0] = a;
        occurrences.clear();
        expandOccurrences(one, from, end == last ? to : fromTimeValue(static_cast<TimeValue>(end)),
                          occurrences, daylight);
        for (const AlarmOccurrence& o : occurrences) {
            const TimeValue t = toTimeValue(o.time);
            if (kept.size() < limit) {
                kept.push_back(t);
                std::push_heap(kept.begin(), kept.end());
            } else if (limit > 0 && t < kept.front()) {
                std::pop_heap(kept.begin(), kept.end());
                kept.back() = t;
                std::push_heap(kept.begin(), kept.end());
            }
        }
    }
    std::sort_heap(kept.begin(), kept.end());
    return kept;
}

void addDose(PouchData& data, std::string_view body) {
    if (data.doses.size() == kMaxPouchDoses) {
        data.tooManyDoses = true;
        return;
    }
    PouchDose dose;
    forEachRun(body, ";", [&](std::string_view entry) {
        if (contains(entry, "DOSETIME")) dose.time = valueOf(entry);
        else if (contains(entry, "DOSEDATE")) dose.date = valueOf(entry);
        return true;
    });
    data.doses.push_back(std::move(dose));
}

}  // namespace

PouchData ParsePouchData(const Text& text) {
    PouchData data;
    // The sections are walked in place: only the kept doses and values are
    // copied out, whatever the length of the text.
    enum class Next { Name, BasicBody, PouchBody } next = Next::Name;
    forEachRun(text, "[]", [&](std::string_view piece) {
        if (next == Next::BasicBody) {
            forEachRun(piece, ";", [&](std::string_view entry) {
                if (contains(entry, "NAME")) data.name = valueOf(entry);
                else if (contains(entry, "STARTDATE")) data.startDate = valueOf(entry);
                else if (contains(entry, "ENDDATE")) data.endDate = valueOf(entry);
                else if (contains(entry, "ORDERNUM")) data.orderNumber = valueOf(entry);
                return true;
            });
        } else if (next == Next::PouchBody) {
            addDose(data, piece);
        } else if (piece == "BASIC_INFORMATION") {
            next = Next::BasicBody;
            return true;
        } else if (contains(piece, "POUCH")) {
            next = Next::PouchBody;
            return true;
        }
        next = Next::Name;
        return true;
    });
    // A POUCH name at the very end still yields its (empty) dose.
    if (next == Next::PouchBody) addDose(data, {});
    return data;
}

std::optional<std::pair<SYSTEMTIME, SYSTEMTIME>> ParsePeriod(const Text& startDate,
                                                            const Text& endDate) {
    int sy = 0, sm = 0, sd = 0, ey = 0, em = 0, ed = 0;
    if (!parseDate(startDate, sy, sm, sd) || !parseDate(endDate, ey, em, ed)) return std::nullopt;
    return std::make_pair(normalizeDate(makeTime(sy, sm, sd, 0, 0, 0)),
                          normalizeDate(makeTime(ey, em, ed, 23, 59, 59)));
}

std::optional<SYSTEMTIME> ParseDoseTime(const Text& doseTime, const Text& doseDate) {
    int hour = 0, minute = 0, y = 0, m = 0, d = 0;
    if (scanIntegers(doseTime, "%d:%d", {&hour, &minute}) != 2) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    if (!parseDate(doseDate, y, m, d)) return std::nullopt;
    return normalizeDate(makeTime(y, m, d, hour, minute, 0));
}

int ConvertPouchToAlarms(const PouchData& data, int repeatPattern, CurrentUser& user,
                         RecordStore& store, const PouchConversion& options) {
    if (data.doses.empty()) return kPouchNoDoses;
    if (data.tooManyDoses || data.doses.size() > kMaxPouchDoses) return kPouchTooManyDoses;
    const auto period = ParsePeriod(data.startDate, data.endDate);
    if (!period) return kPouchInvalid;

    std::vector<Alarm> fresh;
    fresh.reserve(data.doses.size());
    for (const PouchDose& dose : data.doses) {
        const auto when = ParseDoseTime(dose.time, dose.date);
        if (!when) return kPouchInvalid;
        Alarm a;
        a.id = 0;
        a.alarm_start = *when;
        a.alarm_end = *when;
        a.repeat_forever = true;
        a.repeat_pattern = static_cast<std::uint8_t>(repeatPattern);
        a.title = options.alarmTitle;
        a.description.clear();
        a.alarm_type = 1;
        fresh.push_back(a);
    }
    if (user.id < 1) return kPouchNotStored;

    const auto& [from, to] = *period;
    const bool same = firstPouchInstants(user.alarms, from, to, user.daylight, kMaxPouchDoses) ==
                      firstPouchInstants(fresh, from, to, user.daylight, kMaxPouchDoses);

    // The old pouch alarms give way to the new ones in one transaction:
    // should the database refuse any row, the user keeps the old ones and
    // no dose is lost or doubled.
    std::vector<int> old;
    for (const Alarm& a : user.alarms) {
        if (a.alarm_type == 1) old.push_back(a.id);
    }
    bool stored = store.replaceAlarms(old, fresh, user.id);
    // The user's list is what the database now holds.
    std::vector<Alarm> reloaded;
    if (store.loadAlarms(user.id, reloaded)) {
        std::stable_sort(reloaded.begin(), reloaded.end(), alarmStartsBefore);
        user.alarms = std::move(reloaded);
    } else {
        if (stored) {
            std::erase_if(user.alarms, [](const Alarm& a) { return a.alarm_type == 1; });
            user.alarms.insert(user.alarms.end(), fresh.begin(), fresh.end());
            std::stable_sort(user.alarms.begin(), user.alarms.end(), alarmStartsBefore);
        }
        stored = false;
    }

    // Alarms that ring at other times always need the reminder programmed.
    user.is_programming_needed = !same || !options.needsProgramming || options.needsProgramming(user);
    if (!store.updateProfile(user)) stored = false;
    if (!stored) return kPouchNotStored;
    return same ? kPouchUnchanged : kPouchChanged;
}

}  // namespace velmora
