#pragma once
// A model of the reminder's firmware: answers every command the program
// sends, keeps the memory areas, a clock, serial number, version text,
// battery and window, and can act out the person who presses the button.
// Thread-safe: the emulated USB device answers from its own thread.
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/types.h"
#include "device/reminder_protocol.h"

namespace velmora::sim {

class SimulatedReminder {
public:
    // Model 1, 2 or 3 selects the memory size; the reported model code
    // starts as the same number.
    explicit SimulatedReminder(int model = 1, std::uint32_t serial = 0x00C0FFEE);

    // Answers one request packet. Returns the number of reply bytes written
    // into `reply` (the whole buffer), or 0 when the reminder stays silent.
    std::size_t handle(const std::uint8_t* request, std::size_t length, std::uint8_t* reply,
                       std::size_t replyCapacity);

    // --- what the reminder reports ---
    void setReportedModel(int code);  // any code, also one the program does not know
    void setSerial(std::uint32_t sn);
    void setVersion(const std::string& cp1252Text);
    void setBattery(std::uint16_t value);
    // The window answered to 0x88 (the firmware takes it from 0x86 too).
    void setWindow(std::uint32_t seconds);
    std::uint32_t window() const;

    // --- clock (device time, seconds since 1970 UTC) ---
    std::uint32_t clock() const;
    void setClock(std::uint32_t t);

    // --- faults ---
    // No reply at all from now on (the host times out).
    void setSilent(bool silent);
    // No reply once `n` more requests have been answered.
    void goSilentAfter(std::size_t n);
    // Status 0 for reads of this block address.
    void failReadsAt(std::uint16_t address);

    // --- the person ---
    // The button is pressed at device time `t`.
    void pressButton(std::uint32_t t);
    // Fills the log words as the reminder would have done by device time
    // `now`, given the programmed table, the window and the presses: a
    // press from the opening of an alarm's window (alarm - window) until the
    // next alarm's window opens or `forgottenAfter` seconds after the alarm
    // records the press time; an alarm that has come without a press
    // records 1; once that period is over without a press, 0xFFFFFFFF.
    void actOut(std::uint32_t now, std::uint32_t forgottenAfter = 3600);
    // A person who presses `offsetSeconds` after every alarm (negative:
    // before it) from device time `from` on, on top of the scripted
    // presses; off by default.
    void pressAroundEveryAlarm(std::int32_t offsetSeconds, std::uint32_t from = 0);

    // --- inspection ---
    const MemoryMap& memoryMap() const { return map_; }
    std::vector<std::uint8_t> memory() const;
    std::uint32_t word(std::size_t address) const;
    void setWord(std::size_t address, std::uint32_t value);
    // Table as held in memory: programming time and alarm times.
    std::uint32_t programmingTime() const;
    std::vector<std::uint32_t> tableInstants() const;
    std::uint32_t logWord(std::size_t index) const;
    void setLogWord(std::size_t index, std::uint32_t value);

    std::size_t requestCount() const;
    std::size_t commandCount(std::uint16_t command) const;
    // Every request received, full packets, when recording is on.
    void setRecording(bool on);
    std::vector<std::vector<std::uint8_t>> requests() const;
    void resetCounters();

private:
    std::vector<std::uint32_t> tableInstantsLocked() const;
    std::uint32_t wordLocked(std::size_t address) const;
    void setWordLocked(std::size_t address, std::uint32_t value);

    mutable std::mutex mutex_;
    MemoryMap map_;
    std::vector<std::uint8_t> memory_;
    int reported_model_;
    std::uint32_t serial_;
    std::string version_ = "1.1.0";
    std::uint16_t battery_ = 700;
    std::uint32_t window_ = 600;
    std::uint32_t clock_ = 0;
    bool silent_ = false;
    std::size_t answers_left_ = SIZE_MAX;
    std::vector<std::uint16_t> failing_reads_;
    std::vector<std::uint32_t> presses_;
    bool auto_press_ = false;
    std::int32_t auto_press_offset_ = 0;
    std::uint32_t auto_press_from_ = 0;
    std::size_t requests_ = 0;
    std::map<std::uint16_t, std::size_t> per_command_;
    bool recording_ = false;
    std::vector<std::vector<std::uint8_t>> recorded_;
};

}  // namespace velmora::sim
