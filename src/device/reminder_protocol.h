#pragma once
// What travels in the reminder's packets and how its memory is laid out.
// All multi-byte fields are little-endian.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/usb_transport.h"

namespace velmora {

enum ReminderCommand : std::uint16_t {
    kCmdSetClock = 0x86,        // clock and medication window
    kCmdQueryWindow = 0x88,     // window in seconds (firmware 1.1.0)
    kCmdFinishOwn = 0x92,       // last command when programming the user's own reminder
    kCmdClearTable = 0x94,      // first step of clearing the table area
    kCmdIdentify = 0x96,        // serial number, model, firmware version
    kCmdStartProgramming = 0x98,
    kCmdUnknownModel = 0x9A,    // sent once for a model code we do not know
    kCmdBattery = 0x9B,
    kCmdWriteBlock = 0x9D,
    kCmdReadBlock = 0x9F,
};

// Meaningful request lengths, header included.
inline constexpr std::uint16_t kLenSetClock = 20;
inline constexpr std::uint16_t kLenPlain = 4;
inline constexpr std::uint16_t kLenWriteBlock = 40;
inline constexpr std::uint16_t kLenReadBlock = 8;

inline constexpr std::size_t kBlockSize = 32;

// Request fields: command code at 0, meaningful length at 2, then the payload.
inline constexpr std::size_t kRequestLengthOffset = 2;
inline constexpr std::size_t kClockTimeOffset = 4;      // 0x86: device time
inline constexpr std::size_t kClockWindowOffset = 16;   // 0x86: window in seconds
inline constexpr std::size_t kBlockFlagOffset = 4;      // 0x9D, 0x9F: byte 1
inline constexpr std::size_t kBlockAddressOffset = 6;   // 0x9D, 0x9F: 16-bit address
inline constexpr std::size_t kBlockDataOffset = 8;      // 0x9D request, 0x9F reply: 32 bytes

// Reply fields of the commands whose reply is examined, and the least
// number of bytes each such reply must carry (its layout).
inline constexpr std::size_t kReplyStatusOffset = 4;
inline constexpr std::size_t kIdentityModelOffset = 7;    // 0x96
inline constexpr std::size_t kIdentitySerialOffset = 12;  // 0x96
inline constexpr std::size_t kVersionOffset = 16;         // 0x96: zero-terminated text
inline constexpr std::size_t kMaxVersionChars = 29;
inline constexpr std::size_t kBatteryOffset = 6;          // 0x9B: 16 bits
inline constexpr std::size_t kWindowOffset = 20;          // 0x88: 32 bits
inline constexpr std::size_t kIdentityReplyLength = kVersionOffset;
inline constexpr std::size_t kBatteryReplyLength = kBatteryOffset + 2;
inline constexpr std::size_t kWindowReplyLength = kWindowOffset + 4;
inline constexpr std::size_t kReadBlockReplyLength = kBlockDataOffset + kBlockSize;
inline constexpr std::size_t kUnexaminedReplyLength = 0;

// Alarm table area (relative to its start, address 32).
inline constexpr std::uint16_t kTableAreaStart = 32;
inline constexpr std::uint16_t kTableFormatMarker = 2;
inline constexpr std::size_t kTableByteLengthOffset = 2;
inline constexpr std::size_t kTableCountOffset = 4;
inline constexpr std::size_t kTableReservedOffset = 6;
inline constexpr std::size_t kTableProgrammingTimeOffset = 8;
inline constexpr std::size_t kTableHeaderSize = 12;
inline constexpr std::size_t kMaxTableEntries = 2000;

// Log word values.
inline constexpr std::uint32_t kLogWordEmpty = 0;
inline constexpr std::uint32_t kLogWordAlarmed = 1;
inline constexpr std::uint32_t kLogWordForgotten = 0xFFFFFFFFu;

// Battery values 1 to 824 are good; 0 and 825 or more ask for a new battery.
inline constexpr std::uint16_t kBatteryLowFrom = 825;
inline bool batteryLow(std::uint16_t value) { return value == 0 || value >= kBatteryLowFrom; }

// Memory layout of one reminder model. Addresses in bytes.
struct MemoryMap {
    int model = 1;
    std::uint16_t table_end = 2048;   // = start of the log area
    std::uint16_t log_end = 4096;     // = end of the reminder's memory
    std::uint16_t first_log_word = 2052;
    std::size_t table_capacity = 500; // alarm times

    std::size_t tableAreaBytes() const { return table_end - kTableAreaStart; }
    std::size_t logAreaBytes() const { return log_end > table_end ? log_end - table_end : 0; }
    std::size_t tableBlocks() const { return tableAreaBytes() / kBlockSize; }
    std::size_t logBlocks() const { return logAreaBytes() / kBlockSize; }
    friend bool operator==(const MemoryMap&, const MemoryMap&) = default;
};

// The map of model code 1, 2 or 3; nullopt for any other code.
std::optional<MemoryMap> memoryMapForModel(int model);

// Little-endian field access.
inline void putU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline std::uint16_t getU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t getU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Request builders. Each zero-fills the whole buffer first, so the filler
// beyond the meaningful length is always 0.
void buildPlainRequest(PacketBuffer& req, std::uint16_t command);
void buildSetClockRequest(PacketBuffer& req, std::uint32_t deviceTime, std::uint32_t windowSeconds);
void buildReadBlockRequest(PacketBuffer& req, std::uint16_t address);
void buildWriteBlockRequest(PacketBuffer& req, std::uint16_t address, const std::uint8_t* data32);

}  // namespace velmora
