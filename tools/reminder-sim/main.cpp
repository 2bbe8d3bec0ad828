// velmora-reminder-sim: runs a program with a simulated reminder attached
// as an emulated USB device (umockdev), for trying the desktop program
// without hardware. It runs itself and PROGRAM with
// LD_PRELOAD=libumockdev-preload.so.0.
//
//   velmora-reminder-sim [options] -- PROGRAM [ARGS...]
//
// Options: --model 1|2|3, --serial N, --version TEXT, --battery N,
// --window SECONDS, --ids vvvv:pppp, --person ontime|late|none,
// --class msos20|msos10|none (where the device names the reminder's
// interface class; msos20 by default),
// --history DAYS (the reminder was programmed DAYS days ago with daily
// alarms at --alarms HH:MM,... and the person has acknowledged most of
// them since; default times 08:00,20:00).
// While PROGRAM runs, SIGUSR1 pulls the reminder out and SIGUSR2 plugs it
// in again; letters on standard input do the same and swap in a spare
// reminder (plug_console.h). The exit status is PROGRAM's.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "device/usb_ids.h"
#include "core/clock.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/plug_console.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/simulated_reminder.h"

namespace {

velmora::sim::PlugConsole* g_console = nullptr;
void onSignal(int sig) { g_console->post(sig == SIGUSR1 ? 'u' : 'p'); }

int usage() {
    std::fprintf(stderr,
                 "usage: velmora-reminder-sim [--model 1|2|3] [--serial N] [--version TEXT]\n"
                 "       [--battery N] [--window SECONDS] [--ids vvvv:pppp]\n"
                 "       [--person ontime|late|none] [--class msos20|msos10|none]\n"
                 "       [--history DAYS [--alarms HH:MM,...]]\n"
                 "       -- PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    // The testbed's "add" and "remove" events look the device up through
    // the emulated /sys, so this process needs the preload too; PROGRAM
    // inherits it.
    if (!sim::EmulatedUsbReminder::available()) {
        sim::EmulatedUsbReminder::rerunWithPreload(argv);
        return 1;
    }
    int model = 1;
    std::uint32_t serial = 100001;
    std::string version = "1.1.0";
    long battery = 700;
    long window = 600;
    UsbIds ids = reminderUsbIds().front();
    auto interfaceClass = sim::EmulatedUsbReminder::ClassIn::MsOs20;
    std::string person = "ontime";
    int historyDays = -1;
    std::string dailyTimes = "08:00,20:00";
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) return usage();
        const char* v = argv[++i];
        if (a == "--model") model = std::atoi(v);
        else if (a == "--serial") serial = static_cast<std::uint32_t>(std::strtoul(v, nullptr, 0));
        else if (a == "--version") version = v;
        else if (a == "--battery") battery = std::atol(v);
        else if (a == "--window") window = std::atol(v);
        else if (a == "--person") person = v;
        else if (a == "--class") {
            using ClassIn = sim::EmulatedUsbReminder::ClassIn;
            const std::string c = v;
            if (c == "msos20") interfaceClass = ClassIn::MsOs20;
            else if (c == "msos10") interfaceClass = ClassIn::MsOs10;
            else if (c == "none") interfaceClass = ClassIn::Nowhere;
            else return usage();
        }
        else if (a == "--history") historyDays = std::atoi(v);
        else if (a == "--alarms") dailyTimes = v;
        else if (a == "--ids") {
            auto parsed = parseUsbIds(v);
            if (!parsed) return usage();
            ids = *parsed;
        } else {
            return usage();
        }
    }
    if (i >= argc || model < 1 || model > 3) return usage();

    sim::SimulatedReminder reminder(model, serial);
    reminder.setVersion(version);
    reminder.setBattery(static_cast<std::uint16_t>(battery));
    reminder.setWindow(static_cast<std::uint32_t>(window));
    reminder.setClock(static_cast<std::uint32_t>(std::time(nullptr)));
    // With a history the scripted presses cover the alarms before now.
    const auto started = historyDays >= 0 ? reminder.clock() : 0;
    if (historyDays >= 0) {
        const auto times = sim::parseDailyTimes(dailyTimes);
        if (!times) return usage();
        sim::startWithHistory(reminder, *times, historyDays, SystemClock().localNow());
    }
    if (person == "ontime") reminder.pressAroundEveryAlarm(-60, started);
    else if (person == "late") reminder.pressAroundEveryAlarm(900, started);
    else if (person != "none") return usage();

    sim::EmulatedUsbReminder usb(reminder, {ids, 64, interfaceClass});
    usb.plug();

    sim::PlugConsole console(reminder, usb, serial, serial + 1);
    g_console = &console;
    signal(SIGUSR1, onSignal);
    signal(SIGUSR2, onSignal);
    console.listen();

    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        execvp(argv[i], argv + i);
        std::perror(argv[i]);
        _exit(127);
    }

    // The person acts on the wall clock while the program runs.
    std::atomic<bool> done{false};
    std::thread life([&] {
        while (!done) {
            reminder.actOut(static_cast<std::uint32_t>(std::time(nullptr)));
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    });

    int status = 0;
    for (;;) {
        const pid_t r = waitpid(child, &status, WNOHANG);
        if (r == child) break;
        console.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    done = true;
    life.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
