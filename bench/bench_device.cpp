// The reminder protocol against the simulated reminder in the process: a
// full programming pass and a full read of a model-3 reminder. Reported per
// exchange: the CPU time of the whole exchange (our side plus the simulated
// firmware), and of the simulated firmware alone, so that our own share is
// their difference.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/schedule.h"
#include "core/programming_table.h"
#include "device/alarm_table.h"
#include "device/programming_pass.h"
#include "device/reminder_link.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

InstantList fullModel3Table() {
    InstantList list(2000);
    const TimeValue start = toTimeValue(kNow) + 3600;
    for (int i = 0; i < 2000; ++i) list.add(start + 4 * 3600 * i);
    return list;
}

bool programmingPass(ReminderLink& link, const InstantList& table, const Clock& clock) {
    return runProgrammingPass(link, table, 600, true, clock).ok();
}

// A model-3 reminder in the process, linked and identified.
struct Model3Peer {
    explicit Model3Peer(const char* version = nullptr) {
        if (version) reminder.setVersion(version);
        link.setProgrammingTable(&programming);
        link.open();
        link.readIdentity();
    }
    FixedClock clock{kNow};
    sim::SimulatedReminder reminder{3};
    sim::SimTransport transport{reminder};
    AlarmTable readBack;
    InstantList programming{2000};
    ReminderLink link{transport, readBack, clock};
};

void setCounters(benchmark::State& state, std::size_t exchangesPerIteration) {
    state.counters["exchanges"] = static_cast<double>(exchangesPerIteration);
    state.counters["cpu_per_exchange"] = benchmark::Counter(
        static_cast<double>(exchangesPerIteration),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ProgrammingPassModel3(benchmark::State& state) {
    Model3Peer peer;
    auto& [clock, reminder, transport, readBack, programming, link] = peer;
    const InstantList table = fullModel3Table();
    std::size_t exchanges = 0;
    for (auto _ : state) {
        const std::size_t before = link.exchangeCount();
        if (!programmingPass(link, table, clock)) state.SkipWithError("pass failed");
        exchanges = link.exchangeCount() - before;
    }
    if (reminder.tableInstants().size() != 2000) state.SkipWithError("table not written");
    setCounters(state, exchanges);
}
BENCHMARK(BM_ProgrammingPassModel3)->Unit(benchmark::kMicrosecond);

void BM_FullReadModel3(benchmark::State& state) {
    Model3Peer peer("1.1.0");
    auto& [clock, reminder, transport, readBack, programming, link] = peer;
    const InstantList table = fullModel3Table();
    clock.advanceSeconds(-86400);
    programmingPass(link, table, clock);
    clock.advanceSeconds(86400);
    for (std::size_t i = 0; i < 2000; ++i) reminder.setLogWord(i, i % 3 == 0 ? 1 : 0);
    clock.advanceSeconds(200 * 86400);  // half of the alarms lie in the past
    std::size_t exchanges = 0;
    for (auto _ : state) {
        const std::size_t before = link.exchangeCount();
        readBack.clear();
        if (!link.readAll()) state.SkipWithError("read failed");
        exchanges = link.exchangeCount() - before;
    }
    if (readBack.instants().size() != 2000 || readBack.log_entries.empty())
        state.SkipWithError("nothing decoded");
    setCounters(state, exchanges);
}
BENCHMARK(BM_FullReadModel3)->Unit(benchmark::kMicrosecond);

// The simulated firmware alone, answering the requests of the two runs above.
void firmwareOnly(benchmark::State& state, bool read) {
    Model3Peer peer("1.1.0");
    auto& [clock, reminder, transport, readBack, programming, link] = peer;
    reminder.setRecording(true);
    reminder.resetCounters();
    if (read) link.readAll();
    else programmingPass(link, fullModel3Table(), clock);
    const auto requests = reminder.requests();
    reminder.setRecording(false);
    PacketBuffer reply{};
    for (auto _ : state) {
        for (const auto& r : requests) {
            benchmark::DoNotOptimize(reminder.handle(r.data(), r.size(), reply.data(), reply.size()));
        }
    }
    setCounters(state, requests.size());
}
void BM_FirmwareOnlyProgrammingPassModel3(benchmark::State& state) { firmwareOnly(state, false); }
void BM_FirmwareOnlyFullReadModel3(benchmark::State& state) { firmwareOnly(state, true); }
BENCHMARK(BM_FirmwareOnlyProgrammingPassModel3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirmwareOnlyFullReadModel3)->Unit(benchmark::kMicrosecond);

// Filling a model-3 programming table from a user's alarms (once per pass).
void BM_BuildProgrammingTableModel3(benchmark::State& state) {
    CurrentUser user;
    user.daylight = buildDaylightTable(kNow);
    user.alarms = sim::dailyAlarms({8 * 60, 12 * 60, 16 * 60, 20 * 60}, makeTime(2026, 3, 1));
    user.alarm_table.setCapacity(2000);
    for (auto _ : state) benchmark::DoNotOptimize(buildProgrammingTable(user, kNow));
    state.counters["instants"] = static_cast<double>(user.alarm_table.size());
}
BENCHMARK(BM_BuildProgrammingTableModel3)->Unit(benchmark::kMicrosecond);

}  // namespace
