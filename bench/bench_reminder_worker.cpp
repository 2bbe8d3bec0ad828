// How long the user-interface thread stalls while the reminder is read on
// arrival and programmed (model 3, real libusb transport, emulated USB
// reminder): a 5 ms timer on that thread records the longest gap between
// its ticks. Side by side: the jobs run directly on that thread (Arg 0) and
// through the program's runner on a worker thread, with the progress
// dialog (Arg 1). Also the CPU time as a share of the jobs' wall time: the
// program's (the user-interface thread and the worker), and the whole
// process's, which adds the emulation thread standing in for the kernel
// and the reminder's firmware (and libusb's event thread).
// Under the emulation most of the worker's CPU is the emulation's own: the
// preload turns each USB request into socket messages to its thread and
// sleeps while it polls for the answer, where a real device's request is
// one system call. So the same jobs run once more in each iteration with
// a reminder that answers in the process at once (SimTransport): the CPU
// of the user-interface thread and the worker there is what the program
// itself spends on the jobs (an upper bound: the simulated firmware's work
// is in it), given as a share of the emulated jobs' wall time.
// Runs itself under LD_PRELOAD=libumockdev-preload.so.0 and Qt's offscreen
// platform.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>

#include "core/clock.h"
#include "cpu_time.h"
#include "core/datetime.h"
#include "core/programming_table.h"
#include "device/libusb_transport.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "resources/resource_module.h"
#include "ui/logic/reminder/reminder_session.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/reminder_progress.h"

using namespace velmora;
using bench::cpuSeconds;
using Steady = std::chrono::steady_clock;

namespace {

const SYSTEMTIME kNow = makeTime(2026, 3, 10, 12, 0);

// The program's runner, adding up the CPU time of its worker threads.
class MeasuredRunner : public ReminderRunner {
public:
    explicit MeasuredRunner(ReminderRunner& inner) : inner_(inner) {}
    void run(LinkStep first, const Job& job) override {
        inner_.run(first, [&](const Progress& progress) {
            const double t0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            job(progress);
            workerCpu += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - t0;
        });
    }
    double workerCpu = 0;  // written by the worker, read after the join

private:
    ReminderRunner& inner_;
};

// The longest gap between the ticks of a 5 ms timer on this thread.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            const Steady::time_point now = Steady::now();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    // Lets the timer tick for `ms` on this thread's event loop.
    static void spin(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void start() {
        longest_ = {};
        last_ = Steady::now();
        timer_.start(5);
        spin(30);
    }
    double stopMs() {
        spin(30);  // the tick after a blocked stretch ends it
        timer_.stop();
        return std::chrono::duration<double, std::milli>(longest_).count();
    }

private:
    QTimer timer_;
    Steady::time_point last_;
    Steady::duration longest_{};
};

// A model-3 reminder read and programmed through a session of its own.
struct ReminderJobs {
    ReminderJobs(UsbTransport& transport, const Clock& clock, ReminderRunner* runner)
        : clock_(clock), session_(transport, clock, runner) {
        user_.daylight = buildDaylightTable(kNow);
        user_.alarms = sim::dailyAlarms({8 * 60, 12 * 60, 16 * 60, 20 * 60}, makeTime(2026, 3, 1));
        session_.setProgrammingTable(&user_.alarm_table);
    }
    bool open() { return session_.open(); }
    // The read on arrival and one programming pass.
    bool run() {
        return session_.read() && buildProgrammingTable(user_, kNow) &&
               session_.program(user_.alarm_table, 600, true, clock_).ok();
    }

private:
    const Clock& clock_;
    ReminderSession session_;
    CurrentUser user_;
};

// CPU seconds of this thread and of the runner's workers while `jobs` ran.
struct CpuOfJobs {
    double uiThread = 0;
    double workers = 0;
    bool ok = false;
};

CpuOfJobs runJobs(ReminderJobs& jobs, MeasuredRunner& runner) {
    runner.workerCpu = 0;
    const double ui0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    CpuOfJobs cpu;
    cpu.ok = jobs.run();
    cpu.uiThread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - ui0;
    cpu.workers = runner.workerCpu;
    return cpu;
}

void BM_ArrivalReadAndPassModel3(benchmark::State& state) {
    const bool throughRunner = state.range(0) == 1;
    FixedClock clock{kNow};
    sim::SimulatedReminder reminder{3};
    sim::EmulatedUsbReminder usb{reminder};
    usb.plug();
    LibusbTransport transport;
    QWidget window;
    window.resize(800, 600);
    window.show();
    QtHost host(ResourceModule::builtIn());
    host.setParentWindow(&window);
    QtReminderRunner qtRunner(host);
    MeasuredRunner runner(qtRunner);
    ReminderJobs emulated(transport, clock, throughRunner ? &runner : nullptr);
    sim::SimulatedReminder inProcessReminder{3};
    sim::SimTransport inProcess(inProcessReminder);
    ReminderJobs answeredAtOnce(inProcess, clock, throughRunner ? &runner : nullptr);
    if (!emulated.open() || !answeredAtOnce.open()) {
        state.SkipWithError("no emulated reminder");
        return;
    }
    StallMeter meter;
    double stall = 0, wall = 0, uiCpu = 0, programCpu = 0, processCpu = 0, ownCpu = 0;
    for (auto _ : state) {
        meter.start();
        const Steady::time_point t0 = Steady::now();
        const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const CpuOfJobs onEmulated = runJobs(emulated, runner);
        processCpu += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
        wall += std::chrono::duration<double>(Steady::now() - t0).count();
        stall = std::max(stall, meter.stopMs());
        uiCpu += onEmulated.uiThread;
        programCpu += onEmulated.uiThread + onEmulated.workers;
        const CpuOfJobs inProcess = runJobs(answeredAtOnce, runner);
        ownCpu += inProcess.uiThread + inProcess.workers;
        if (!onEmulated.ok || !inProcess.ok) state.SkipWithError("the job failed");
    }
    state.counters["ui_stall_ms"] = stall;
    state.counters["job_wall_ms"] = wall * 1e3 / static_cast<double>(state.iterations());
    state.counters["program_cpu_pct"] = 100 * programCpu / wall;
    state.counters["ui_thread_cpu_pct"] = 100 * uiCpu / wall;
    state.counters["process_cpu_pct"] = 100 * processCpu / wall;
    state.counters["own_cpu_pct"] = 100 * ownCpu / wall;
}
BENCHMARK(BM_ArrivalReadAndPassModel3)->ArgName("runner")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (!sim::EmulatedUsbReminder::available()) {
        sim::EmulatedUsbReminder::rerunWithPreload(argv);
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
