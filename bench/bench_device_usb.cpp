// The reminder protocol through the real libusb transport against the
// simulated reminder behind an emulated USB device (umockdev): a full
// programming job of a user's own model-3 reminder (the user's table built
// from four daily alarms, then the programming pass) and the read on
// arrival. Reported per exchange: wall time, the CPU of the program (the
// benchmark thread: our code, libusb and the preload's forwarding of each
// usbdevfs call), and the CPU of the whole process, which adds the
// emulation thread that stands in for the kernel and the firmware.
// Runs itself under LD_PRELOAD=libumockdev-preload.so.0 when needed.
#include <benchmark/benchmark.h>

#include "core/clock.h"
#include "cpu_time.h"
#include "core/datetime.h"
#include "core/programming_table.h"
#include "device/libusb_transport.h"
#include "device/programming_pass.h"
#include "device/reminder_link.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using bench::cpuSeconds;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

// A model-3 reminder plugged in over emulated USB, opened and identified.
struct UsbModel3 {
    UsbModel3() {
        usb.plug();
        link.setProgrammingTable(&user.alarm_table);
        opened = link.open() == kTransportOk && link.readIdentity();
        user.daylight = buildDaylightTable(kNow);
        user.alarms = sim::dailyAlarms({8 * 60, 12 * 60, 16 * 60, 20 * 60}, makeTime(2026, 3, 1));
    }
    FixedClock clock{kNow};
    sim::SimulatedReminder reminder{3};
    sim::EmulatedUsbReminder usb{reminder};
    LibusbTransport transport;
    AlarmTable readBack;
    CurrentUser user;
    ReminderLink link{transport, readBack, clock};
    bool opened = false;
};

// Runs `once` per iteration; the counters are per exchange, in µs.
template <typename Once>
void perExchange(benchmark::State& state, UsbModel3& peer, Once once) {
    if (!peer.opened) {
        state.SkipWithError("no emulated reminder");
        return;
    }
    std::size_t exchanges = 0;
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state) {
        const std::size_t before = peer.link.exchangeCount();
        if (!once()) state.SkipWithError("the job failed");
        exchanges = peer.link.exchangeCount() - before;
    }
    const double n = static_cast<double>(state.iterations() * exchanges) * 1e-6;
    state.counters["exchanges"] = static_cast<double>(exchanges);
    state.counters["program_cpu_us"] = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0) / n;
    state.counters["process_cpu_us"] = (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0) / n;
    state.counters["wall_us"] = benchmark::Counter(
        static_cast<double>(exchanges) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_UsbProgrammingJobModel3(benchmark::State& state) {
    UsbModel3 peer;
    perExchange(state, peer, [&] {
        return buildProgrammingTable(peer.user, kNow) &&
               runProgrammingPass(peer.link, peer.user.alarm_table, 600, true, peer.clock).ok();
    });
}
BENCHMARK(BM_UsbProgrammingJobModel3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_UsbFullReadModel3(benchmark::State& state) {
    UsbModel3 peer;
    perExchange(state, peer, [&] {
        peer.readBack.clear();
        return peer.link.readAll();
    });
}
BENCHMARK(BM_UsbFullReadModel3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    // The emulated device needs the preload before anything starts.
    if (!sim::EmulatedUsbReminder::available()) {
        sim::EmulatedUsbReminder::rerunWithPreload(argv);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
