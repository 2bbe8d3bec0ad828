// Alarm expansion costs: one month of a busy user's calendar, the largest
// reminder table, and the alarm dialog's spacing check.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/datetime.h"
#include "core/schedule.h"

using namespace velmora;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 12, 6, 10, 0);

// 20 alarms that started three years ago: daily ones through the day and
// a few every-other-day and weekly ones; all repeat forever.
std::vector<Alarm> busyUser() {
    std::vector<Alarm> alarms;
    const int patterns[] = {1, 1, 1, 1, 2, 6, 1, 3, 1, 7};
    for (int i = 0; i < 20; ++i) {
        Alarm a;
        a.alarm_start = makeTime(2023, 12, 6, 6 + i * 45 / 60, i * 45 % 60);
        a.repeat_pattern = static_cast<std::uint8_t>(patterns[i % 10]);
        a.repeat_forever = true;
        a.title = "Lääke";
        alarms.push_back(a);
    }
    return alarms;
}

void BM_ExpandOneMonth(benchmark::State& state) {
    setenv("TZ", "Europe/Helsinki", 1);
    tzset();
    const auto alarms = busyUser();
    const DaylightTable dst = buildDaylightTable(kNow);
    std::vector<AlarmOccurrence> out;
    for (auto _ : state) {
        out.clear();
        expandOccurrences(alarms, makeTime(2026, 12, 1), makeTime(2026, 12, 31, 23, 59, 59), out, dst);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["occurrences"] = static_cast<double>(out.size());
}
BENCHMARK(BM_ExpandOneMonth)->Unit(benchmark::kMicrosecond);

void BM_FillInstantList2000(benchmark::State& state) {
    setenv("TZ", "Europe/Helsinki", 1);
    tzset();
    const auto alarms = busyUser();
    const DaylightTable dst = buildDaylightTable(kNow);
    InstantList list(2000);
    for (auto _ : state) {
        fillInstantList(list, alarms, alarms, kNow, dst);
        benchmark::DoNotOptimize(list.items().data());
    }
    state.counters["instants"] = static_cast<double>(list.size());
}
BENCHMARK(BM_FillInstantList2000)->Unit(benchmark::kMicrosecond);

// The alarm dialog's check when the user gives the only alarm that
// repeats forever an end: the stored alarms have no end, the edited ones
// end within months and never fill the list (20 alarms, 19 weekly).
void BM_CandidateFitsEndingTheForeverAlarm(benchmark::State& state) {
    setenv("TZ", "Europe/Helsinki", 1);
    tzset();
    std::vector<Alarm> user = busyUser();
    for (Alarm& a : user) {
        a.alarm_end = makeTime(2027, 3, 1, 23, 0);
        a.repeat_pattern = 6;
        a.repeat_forever = false;
    }
    user[0].repeat_pattern = 1;
    user[0].repeat_forever = true;
    Alarm edited = user[0];
    edited.repeat_forever = false;
    const DaylightTable dst = buildDaylightTable(kNow);
    bool fits = false;
    for (auto _ : state) {
        fits = candidateFits(user, edited, &user[0], 600, kNow, dst);
        benchmark::DoNotOptimize(fits);
    }
    state.counters["fits"] = fits ? 1 : 0;
}
BENCHMARK(BM_CandidateFitsEndingTheForeverAlarm)->Unit(benchmark::kMillisecond);

}  // namespace
