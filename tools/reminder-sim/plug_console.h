#pragma once
// The simulator's terminal: one letter and Enter on standard input plugs
// the emulated reminder in and out, or swaps in a spare reminder:
//   u  pull the reminder out          p  plug it in again
//   s  plug in the spare reminder     o  plug in the own reminder again
// The spare answers with another serial number and starts empty; each of
// the two keeps its memory while the other one is plugged in.
#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/simulated_reminder.h"

namespace velmora::sim {

class PlugConsole {
public:
    PlugConsole(SimulatedReminder& reminder, EmulatedUsbReminder& usb, std::uint32_t ownSerial,
                std::uint32_t spareSerial);
    // Starts reading standard input (a detached thread; it ends at end of input).
    void listen();
    // Queues a command as if it had been typed (from a signal handler too).
    void post(char command) { pending_ = command; }
    // Carries out the command queued last, if any. Call from one thread.
    void poll();
    static void printHelp();

private:
    void swapTo(std::uint32_t serial);

    SimulatedReminder& reminder_;
    EmulatedUsbReminder& usb_;
    std::uint32_t own_, spare_, current_;
    std::map<std::uint32_t, std::vector<std::uint8_t>> memories_;
    std::atomic<char> pending_{0};
};

}  // namespace velmora::sim
