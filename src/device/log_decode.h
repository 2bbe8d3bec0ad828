#pragma once
// Turning the reminder's log words into acknowledgement entries.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/records.h"
#include "core/types.h"
#include "device/alarm_table.h"

namespace velmora {

// An acknowledgement this long after the alarm instant or later is late.
inline constexpr std::uint32_t kLateThresholdSeconds = 610;

// Fills table.log_entries from the log words (little-endian 32-bit words,
// word i belongs to instant i of the table). `window` is the reminder's
// window in seconds (0 when it reports none); `now` the present instant.
// Instants without a log word are not decoded.
void decodeLog(const std::uint8_t* words, std::size_t wordCount, AlarmTable& table,
               std::uint32_t window, TimeValue now);

// The decoded entries as log records (without owner).
std::vector<LogEntry> toLogEntries(const std::vector<ReadBackEntry>& entries);

}  // namespace velmora
