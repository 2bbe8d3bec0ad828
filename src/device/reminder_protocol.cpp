#include "device/reminder_protocol.h"

#include <cstring>

namespace velmora {

std::optional<MemoryMap> memoryMapForModel(int model) {
    switch (model) {
        case 1: return MemoryMap{1, 2048, 4096, 2052, 500};
        case 2: return MemoryMap{2, 4096, 8192, 4100, 1000};
        case 3: return MemoryMap{3, 8192, 16384, 8196, 2000};
        default: return std::nullopt;
    }
}

namespace {
void header(PacketBuffer& req, std::uint16_t command, std::uint16_t length) {
    req.fill(0);
    putU16(req.data(), command);
    putU16(req.data() + kRequestLengthOffset, length);
}
}  // namespace

void buildPlainRequest(PacketBuffer& req, std::uint16_t command) { header(req, command, kLenPlain); }

void buildSetClockRequest(PacketBuffer& req, std::uint32_t deviceTime, std::uint32_t windowSeconds) {
    header(req, kCmdSetClock, kLenSetClock);
    putU32(req.data() + kClockTimeOffset, deviceTime);  // two zero words follow
    putU32(req.data() + kClockWindowOffset, windowSeconds);
}

void buildReadBlockRequest(PacketBuffer& req, std::uint16_t address) {
    header(req, kCmdReadBlock, kLenReadBlock);
    req[kBlockFlagOffset] = 1;
    putU16(req.data() + kBlockAddressOffset, address);
}

void buildWriteBlockRequest(PacketBuffer& req, std::uint16_t address, const std::uint8_t* data32) {
    header(req, kCmdWriteBlock, kLenWriteBlock);
    req[kBlockFlagOffset] = 1;
    putU16(req.data() + kBlockAddressOffset, address);
    std::memcpy(req.data() + kBlockDataOffset, data32, kBlockSize);
}

}  // namespace velmora
