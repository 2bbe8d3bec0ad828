#include "reminder-sim/simulated_reminder.h"

#include <algorithm>
#include <cstring>

namespace velmora::sim {

SimulatedReminder::SimulatedReminder(int model, std::uint32_t serial)
    : map_(memoryMapForModel(model).value_or(*memoryMapForModel(1))),
      memory_(map_.log_end, 0),
      reported_model_(model),
      serial_(serial) {}

std::size_t SimulatedReminder::handle(const std::uint8_t* request, std::size_t length,
                                      std::uint8_t* reply, std::size_t replyCapacity) {
    std::lock_guard lock(mutex_);
    if (silent_ || answers_left_ == 0 || length < 4 || replyCapacity < 8) return 0;
    if (answers_left_ != SIZE_MAX) --answers_left_;
    ++requests_;
    const std::uint16_t command = getU16(request);
    ++per_command_[command];
    if (recording_) recorded_.emplace_back(request, request + length);

    std::memset(reply, 0, replyCapacity);
    putU16(reply, command);
    putU16(reply + kRequestLengthOffset, static_cast<std::uint16_t>(replyCapacity));
    std::uint8_t& status = reply[kReplyStatusOffset];
    status = 1;

    switch (command) {
        case kCmdIdentify: {
            if (replyCapacity < kIdentityReplyLength) { status = 0; break; }
            reply[kIdentityModelOffset] = static_cast<std::uint8_t>(reported_model_);
            putU32(reply + kIdentitySerialOffset, serial_);
            const std::size_t room = replyCapacity - kVersionOffset;
            const std::size_t n = std::min(version_.size(), room > 0 ? room - 1 : 0);
            std::memcpy(reply + kVersionOffset, version_.data(), n);
            break;
        }
        case kCmdBattery:
            putU16(reply + kBatteryOffset, battery_);
            break;
        case kCmdQueryWindow:
            if (replyCapacity >= kWindowReplyLength) putU32(reply + kWindowOffset, window_);
            else status = 0;
            break;
        case kCmdSetClock:
            if (length >= kLenSetClock) {
                clock_ = getU32(request + kClockTimeOffset);
                window_ = getU32(request + kClockWindowOffset);
            }
            break;
        case kCmdReadBlock: {
            const std::uint16_t addr = length >= kLenReadBlock ? getU16(request + kBlockAddressOffset) : 0xFFFF;
            const bool failing = std::find(failing_reads_.begin(), failing_reads_.end(), addr) !=
                                 failing_reads_.end();
            if (failing || addr % kBlockSize != 0 || addr + kBlockSize > memory_.size() ||
                replyCapacity < kReadBlockReplyLength) {
                status = 0;
                break;
            }
            std::memcpy(reply + kBlockDataOffset, memory_.data() + addr, kBlockSize);
            break;
        }
        case kCmdWriteBlock: {
            const std::uint16_t addr = length >= kLenWriteBlock ? getU16(request + kBlockAddressOffset) : 0xFFFF;
            if (addr < kTableAreaStart || addr % kBlockSize != 0 ||
                addr + kBlockSize > memory_.size() || length < kBlockDataOffset + kBlockSize) {
                status = 0;
                break;
            }
            std::memcpy(memory_.data() + addr, request + kBlockDataOffset, kBlockSize);
            break;
        }
        case kCmdClearTable:
        case kCmdStartProgramming:
        case kCmdFinishOwn:
        case kCmdUnknownModel:
            break;
        default:
            status = 0;
            break;
    }
    return replyCapacity;
}

void SimulatedReminder::setReportedModel(int code) { std::lock_guard l(mutex_); reported_model_ = code; }
void SimulatedReminder::setSerial(std::uint32_t sn) { std::lock_guard l(mutex_); serial_ = sn; }
void SimulatedReminder::setVersion(const std::string& t) { std::lock_guard l(mutex_); version_ = t; }
void SimulatedReminder::setBattery(std::uint16_t v) { std::lock_guard l(mutex_); battery_ = v; }
void SimulatedReminder::setWindow(std::uint32_t s) { std::lock_guard l(mutex_); window_ = s; }
std::uint32_t SimulatedReminder::window() const { std::lock_guard l(mutex_); return window_; }
std::uint32_t SimulatedReminder::clock() const { std::lock_guard l(mutex_); return clock_; }
void SimulatedReminder::setClock(std::uint32_t t) { std::lock_guard l(mutex_); clock_ = t; }
void SimulatedReminder::setSilent(bool s) { std::lock_guard l(mutex_); silent_ = s; answers_left_ = SIZE_MAX; }
void SimulatedReminder::goSilentAfter(std::size_t n) { std::lock_guard l(mutex_); answers_left_ = n; }
void SimulatedReminder::failReadsAt(std::uint16_t a) { std::lock_guard l(mutex_); failing_reads_.push_back(a); }
void SimulatedReminder::pressButton(std::uint32_t t) { std::lock_guard l(mutex_); presses_.push_back(t); }
void SimulatedReminder::pressAroundEveryAlarm(std::int32_t offset, std::uint32_t from) {
    std::lock_guard l(mutex_);
    auto_press_ = true;
    auto_press_offset_ = offset;
    auto_press_from_ = from;
}

std::uint32_t SimulatedReminder::wordLocked(std::size_t address) const {
    if (address + 4 > memory_.size()) return 0;
    return getU32(memory_.data() + address);
}
void SimulatedReminder::setWordLocked(std::size_t address, std::uint32_t value) {
    if (address + 4 <= memory_.size()) putU32(memory_.data() + address, value);
}
std::uint32_t SimulatedReminder::word(std::size_t a) const { std::lock_guard l(mutex_); return wordLocked(a); }
void SimulatedReminder::setWord(std::size_t a, std::uint32_t v) { std::lock_guard l(mutex_); setWordLocked(a, v); }

std::vector<std::uint8_t> SimulatedReminder::memory() const { std::lock_guard l(mutex_); return memory_; }

std::uint32_t SimulatedReminder::programmingTime() const {
    std::lock_guard l(mutex_);
    return wordLocked(kTableAreaStart + kTableProgrammingTimeOffset);
}

std::vector<std::uint32_t> SimulatedReminder::tableInstantsLocked() const {
    std::vector<std::uint32_t> out;
    const std::size_t count = getU16(memory_.data() + kTableAreaStart + kTableCountOffset);
    for (std::size_t i = 0; i < count && i < map_.table_capacity; ++i) {
        const std::uint32_t v = wordLocked(kTableAreaStart + kTableHeaderSize + 4 * i);
        if (v == 0) break;
        out.push_back(v);
    }
    return out;
}
std::vector<std::uint32_t> SimulatedReminder::tableInstants() const {
    std::lock_guard l(mutex_);
    return tableInstantsLocked();
}

std::uint32_t SimulatedReminder::logWord(std::size_t i) const {
    std::lock_guard l(mutex_);
    return wordLocked(map_.first_log_word + 4 * i);
}
void SimulatedReminder::setLogWord(std::size_t i, std::uint32_t v) {
    std::lock_guard l(mutex_);
    setWordLocked(map_.first_log_word + 4 * i, v);
}

void SimulatedReminder::actOut(std::uint32_t now, std::uint32_t forgottenAfter) {
    std::lock_guard l(mutex_);
    const std::vector<std::uint32_t> table = tableInstantsLocked();
    std::vector<std::uint32_t> presses = presses_;
    if (auto_press_)
        for (std::uint32_t t : table)
            if (t >= auto_press_from_) presses.push_back(t + static_cast<std::uint32_t>(auto_press_offset_));
    std::sort(presses.begin(), presses.end());
    const std::uint32_t w = window_;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::size_t at = map_.first_log_word + 4 * i;
        if (at + 4 > map_.log_end) break;
        const std::uint32_t t = table[i];
        const std::uint32_t opens = t > w ? t - w : 0;
        std::uint32_t closes = t + forgottenAfter;
        if (i + 1 < table.size()) {
            const std::uint32_t nextOpens = table[i + 1] > w ? table[i + 1] - w : 0;
            closes = std::min(closes, std::max(nextOpens, t + 1));
        }
        std::uint32_t value = kLogWordEmpty;
        auto p = std::lower_bound(presses.begin(), presses.end(), opens);
        if (p != presses.end() && *p < closes && *p <= now) value = *p;
        else if (now >= closes) value = kLogWordForgotten;
        else if (now >= t) value = kLogWordAlarmed;
        setWordLocked(at, value);
    }
}

std::size_t SimulatedReminder::requestCount() const { std::lock_guard l(mutex_); return requests_; }
std::size_t SimulatedReminder::commandCount(std::uint16_t c) const {
    std::lock_guard l(mutex_);
    auto it = per_command_.find(c);
    return it == per_command_.end() ? 0 : it->second;
}
void SimulatedReminder::setRecording(bool on) { std::lock_guard l(mutex_); recording_ = on; }
std::vector<std::vector<std::uint8_t>> SimulatedReminder::requests() const {
    std::lock_guard l(mutex_);
    return recorded_;
}
void SimulatedReminder::resetCounters() {
    std::lock_guard l(mutex_);
    requests_ = 0;
    per_command_.clear();
    recorded_.clear();
}

}  // namespace velmora::sim
