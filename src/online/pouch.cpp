#include "online/pouch.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/datetime.h"
#include "core/schedule.h"
#include "online/text_split.h"
#include "store/record_store.h"

namespace velmora {
namespace {

// Latest year whose instants fit the 32-bit TimeValue.
constexpr int kLastYear = 2037;

std::string valueOf(const std::string& entry) {
    std::size_t pos = entry.find('=');
    if (pos == std::string::npos) return {};
    pos = entry.find_first_not_of('=', pos);
    if (pos == std::string::npos) return {};
    std::size_t end = entry.find('=', pos);
    return entry.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

bool contains(const std::string& s, const char* key) { return s.find(key) != std::string::npos; }

bool parseDate(const Text& text, int& year, int& month, int& day) {
    if (std::sscanf(text.c_str(), "%d-%d-%d", &year, &month, &day) != 3) return false;
    return year > 2010 && year <= kLastYear && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::vector<TimeValue> pouchInstants(const std::vector<Alarm>& alarms, const SYSTEMTIME& from,
                                     const SYSTEMTIME& to, const DaylightTable& daylight) {
    std::vector<Alarm> pouch;
    for (const Alarm& a : alarms) {
        if (a.alarm_type == 1) pouch.push_back(a);
    }
    std::vector<AlarmOccurrence> occurrences;
    expandOccurrences(pouch, from, to, occurrences, daylight);
    std::vector<TimeValue> instants;
    instants.reserve(occurrences.size());
    for (const AlarmOccurrence& o : occurrences) instants.push_back(toTimeValue(o.time));
    std::sort(instants.begin(), instants.end());
    return instants;
}

}  // namespace

PouchData ParsePouchData(const Text& text) {
    PouchData data;
    const std::vector<std::string> pieces = splitAtRuns(text, "[]");
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string& section = pieces[i];
        const bool basic = section == "BASIC_INFORMATION";
        const bool pouch = !basic && contains(section, "POUCH");
        if (!basic && !pouch) continue;
        const std::string body = i + 1 < pieces.size() ? pieces[++i] : std::string();
        if (basic) {
            for (const std::string& entry : splitAtRuns(body, ";")) {
                if (contains(entry, "NAME")) data.name = valueOf(entry);
                else if (contains(entry, "STARTDATE")) data.startDate = valueOf(entry);
                else if (contains(entry, "ENDDATE")) data.endDate = valueOf(entry);
                else if (contains(entry, "ORDERNUM")) data.orderNumber = valueOf(entry);
            }
        } else {
            PouchDose dose;
            for (const std::string& entry : splitAtRuns(body, ";")) {
                if (contains(entry, "DOSETIME")) dose.time = valueOf(entry);
                else if (contains(entry, "DOSEDATE")) dose.date = valueOf(entry);
            }
            data.doses.push_back(dose);
        }
    }
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
    if (std::sscanf(doseTime.c_str(), "%d:%d", &hour, &minute) != 2) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    if (!parseDate(doseDate, y, m, d)) return std::nullopt;
    return normalizeDate(makeTime(y, m, d, hour, minute, 0));
}

int ConvertPouchToAlarms(const PouchData& data, int repeatPattern, CurrentUser& user,
                         RecordStore& store, const PouchConversion& options) {
    if (data.doses.empty()) return kPouchNoDoses;
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

    const bool same = pouchInstants(user.alarms, period->first, period->second, user.daylight) ==
                      pouchInstants(fresh, period->first, period->second, user.daylight);

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

    user.is_programming_needed = options.needsProgramming ? options.needsProgramming(user) : true;
    if (!store.updateProfile(user)) stored = false;
    if (!stored) return kPouchNotStored;
    return same ? kPouchUnchanged : kPouchChanged;
}

}  // namespace velmora
