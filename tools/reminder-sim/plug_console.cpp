#include "reminder-sim/plug_console.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "device/reminder_protocol.h"

namespace velmora::sim {

PlugConsole::PlugConsole(SimulatedReminder& reminder, EmulatedUsbReminder& usb,
                         std::uint32_t ownSerial, std::uint32_t spareSerial)
    : reminder_(reminder), usb_(usb), own_(ownSerial), spare_(spareSerial), current_(ownSerial) {}

void PlugConsole::printHelp() {
    std::fprintf(stderr,
                 "velmora-reminder-sim: type a letter and Enter: u = pull the reminder out, "
                 "p = plug it in, s = plug in the spare reminder, o = plug in the own reminder\n");
}

void PlugConsole::listen() {
    std::thread([this] {
        std::string line;
        while (std::getline(std::cin, line))
            if (!line.empty()) post(line[0]);
    }).detach();
}

void PlugConsole::poll() {
    const char c = pending_.exchange(0);
    if (c == 0) return;
    switch (c) {
        case 'u':
            usb_.unplug();
            std::fprintf(stderr, "velmora-reminder-sim: reminder %u pulled out\n", current_);
            break;
        case 'p':
            usb_.plug();
            std::fprintf(stderr, "velmora-reminder-sim: reminder %u plugged in\n", current_);
            break;
        case 's':
            swapTo(spare_);
            break;
        case 'o':
            swapTo(own_);
            break;
        default:
            printHelp();
    }
}

void PlugConsole::swapTo(std::uint32_t serial) {
    if (usb_.plugged()) {
        usb_.unplug();
        // Let the program see the removal before the next arrival.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    if (serial != current_) {
        memories_[current_] = reminder_.memory();
        const std::vector<std::uint8_t> image = memories_[serial];  // empty: a new reminder
        const std::size_t size = reminder_.memoryMap().log_end;
        for (std::size_t a = 0; a + 4 <= size; a += 4)
            reminder_.setWord(a, a + 4 <= image.size() ? getU32(image.data() + a) : 0);
        reminder_.setSerial(serial);
        current_ = serial;
    }
    usb_.plug();
    std::fprintf(stderr, "velmora-reminder-sim: %s reminder %u plugged in\n",
                 serial == own_ ? "own" : "spare", serial);
}

}  // namespace velmora::sim
