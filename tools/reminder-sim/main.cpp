// velmora-reminder-sim: runs a program with a simulated reminder attached
// as an emulated USB device (umockdev), for trying the desktop program
// without hardware.
//
//   velmora-reminder-sim [options] -- PROGRAM [ARGS...]
//
// Options: --model 1|2|3, --serial N, --version TEXT, --battery N,
// --window SECONDS, --ids vvvv:pppp, --person ontime|late|none,
// --class msos20|msos10|none (where the device names the reminder's
// interface class; msos20 by default).
// While PROGRAM runs, SIGUSR1 pulls the reminder out and SIGUSR2 plugs it
// in again. The exit status is PROGRAM's.
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
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/simulated_reminder.h"

namespace {

volatile sig_atomic_t g_pending = 0;  // 1 unplug, 2 plug
void onSignal(int sig) { g_pending = sig == SIGUSR1 ? 1 : 2; }

int usage() {
    std::fprintf(stderr,
                 "usage: velmora-reminder-sim [--model 1|2|3] [--serial N] [--version TEXT]\n"
                 "       [--battery N] [--window SECONDS] [--ids vvvv:pppp]\n"
                 "       [--person ontime|late|none] [--class msos20|msos10|none]\n"
                 "       -- PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    int model = 1;
    std::uint32_t serial = 100001;
    std::string version = "1.1.0";
    long battery = 700;
    long window = 600;
    UsbIds ids = reminderUsbIds().front();
    auto interfaceClass = sim::EmulatedUsbReminder::ClassIn::MsOs20;
    std::string person = "ontime";
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
    if (person == "ontime") reminder.pressAroundEveryAlarm(-60);
    else if (person == "late") reminder.pressAroundEveryAlarm(900);
    else if (person != "none") return usage();

    sim::EmulatedUsbReminder usb(reminder, {ids, 64, interfaceClass});
    usb.plug();

    signal(SIGUSR1, onSignal);
    signal(SIGUSR2, onSignal);

    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        const char* old = std::getenv("LD_PRELOAD");
        std::string preload = "libumockdev-preload.so.0";
        if (old && *old) preload += std::string(":") + old;
        setenv("LD_PRELOAD", preload.c_str(), 1);
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
        if (g_pending == 1) usb.unplug();
        if (g_pending == 2) usb.plug();
        g_pending = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    done = true;
    life.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
