#include "device/log_decode.h"

#include "core/records.h"
#include "device/reminder_protocol.h"

namespace velmora {

void decodeLog(const std::uint8_t* words, std::size_t wordCount, AlarmTable& table,
               std::uint32_t window, TimeValue now) {
    table.log_entries.clear();
    const std::uint32_t unow = static_cast<std::uint32_t>(now);
    const auto& instants = table.instants();
    for (std::size_t i = 0; i < instants.size() && i < wordCount; ++i) {
        const std::uint32_t inst = static_cast<std::uint32_t>(instants[i]);
        // The acknowledgement window of this and every later alarm is not open yet.
        if (inst - window > unow) break;
        const std::uint32_t w = getU32(words + 4 * i);
        ReadBackEntry e;
        e.alarm_time = instants[i];
        if (w == kLogWordEmpty) {
            if (inst <= unow) continue;
            e.status = kStatusNotAlarmed;
        } else if (w == kLogWordAlarmed) {
            e.status = inst < unow ? kStatusForgottenAlt : kStatusNotAlarmed;
        } else if (w == kLogWordForgotten) {
            e.status = kStatusForgottenAlt;
        } else {
            e.ack = static_cast<TimeValue>(w);
            e.status = (w < inst || w - inst < kLateThresholdSeconds) ? kStatusAcknowledged
                                                                       : kStatusAcknowledgedLate;
        }
        table.log_entries.push_back(e);
    }
}

std::vector<LogEntry> toLogEntries(const std::vector<ReadBackEntry>& entries) {
    std::vector<LogEntry> out;
    out.reserve(entries.size());
    for (const ReadBackEntry& e : entries) {
        LogEntry l;
        l.alarm_time = e.alarm_time;
        l.ack = e.ack;
        l.log_status = e.status;
        out.push_back(l);
    }
    return out;
}

}  // namespace velmora
