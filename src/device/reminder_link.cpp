#include "device/reminder_link.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/cp1252.h"
#include "device/log_decode.h"

namespace velmora {

ReminderLink::ReminderLink(UsbTransport& transport, AlarmTable& readBack, const Clock& clock)
    : transport_(transport), read_back_(readBack), clock_(clock) {}

TransportStatus ReminderLink::open() {
    const TransportStatus s = transport_.open();
    connected_ = (s == kTransportOk);
    return s;
}

void ReminderLink::disconnect() {
    transport_.close();
    connected_ = false;
    identity_.serial = 0;
}

bool ReminderLink::exchange(std::size_t replyLength) {
    reply_.fill(0);
    received_ = 0;
    // A request cut to the packet size, or a reply shorter than its layout,
    // would look like a done exchange with nothing done.
    const std::size_t packet = transport_.packetSize();
    if (getU16(request_.data() + kRequestLengthOffset) > packet || replyLength > packet) {
        last_status_ = kTransportPipeQueryFailed;
        return false;
    }
    // A cancelled job (the reminder was pulled out) sends nothing more.
    if (progress_ && !progress_->exchange()) {
        last_status_ = kTransportWriteFailed;
        return false;
    }
    ++exchanges_;
    last_status_ = transport_.transfer(request_, reply_, received_);
    if (last_status_ == kTransportOk && received_ < replyLength)
        last_status_ = kTransportPipeQueryFailed;
    return last_status_ == kTransportOk;
}

bool ReminderLink::readIdentity() {
    // A failed identification must not leave an earlier reminder's window.
    window_ = 0;
    buildPlainRequest(request_, kCmdIdentify);
    bool ok = exchange(kIdentityReplyLength) && replyStatus() == 1;
    if (ok) {
        identity_.serial = getU32(reply_.data() + kIdentitySerialOffset);
        identity_.model = reply_[kIdentityModelOffset];
        // Zero-terminated 8-bit text of at most 29 characters, within the
        // bytes the reply actually carries.
        const std::size_t avail = received_ - kVersionOffset;
        const char* text = reinterpret_cast<const char*>(reply_.data() + kVersionOffset);
        std::size_t n = 0;
        while (n < std::min(avail, kMaxVersionChars) && text[n] != '\0') ++n;
        const std::string raw(text, n);
        identity_.version = fromCp1252(raw);
        identity_.window_support = (raw == "1.1.0 RD" || raw == "1.1.0");

        if (auto m = memoryMapForModel(identity_.model)) {
            map_ = *m;
        } else if (unrecognised_models_ == 0) {
            buildPlainRequest(request_, kCmdUnknownModel);
            exchange(kUnexaminedReplyLength);
            ++unrecognised_models_;
            return false;
        }
        if (programming_table_) programming_table_->setCapacity(map_.table_capacity);

        buildPlainRequest(request_, kCmdBattery);
        if (!exchange(kBatteryReplyLength) || replyStatus() != 1) return false;
        battery_ = getU16(reply_.data() + kBatteryOffset);
    }

    if (identity_.window_support) {
        buildPlainRequest(request_, kCmdQueryWindow);
        if (!exchange(kWindowReplyLength)) return false;
        if (replyStatus() == 1) window_ = getU32(reply_.data() + kWindowOffset);
    }
    return ok;
}

bool ReminderLink::readBlock(std::uint16_t address, std::uint8_t* data32) {
    buildReadBlockRequest(request_, address);
    if (!exchange(kReadBlockReplyLength) || replyStatus() == 0) return false;
    std::memcpy(data32, reply_.data() + kBlockDataOffset, kBlockSize);
    return true;
}

bool ReminderLink::writeBlock(std::uint16_t address, const std::uint8_t* data32) {
    buildWriteBlockRequest(request_, address, data32);
    return exchange(kUnexaminedReplyLength);
}

bool ReminderLink::readBlocks(std::uint32_t address, std::size_t blocks,
                              std::vector<std::uint8_t>& buf) {
    buf.assign(blocks * kBlockSize, 0);
    for (std::size_t b = 0; b < blocks; ++b)
        if (!readBlock(static_cast<std::uint16_t>(address + b * kBlockSize),
                       buf.data() + b * kBlockSize))
            return false;
    return true;
}

bool ReminderLink::readTableArea() {
    std::vector<std::uint8_t> buf;
    if (!readBlocks(kTableAreaStart, map_.tableBlocks(), buf)) return false;
    decodeTableArea(buf.data(), buf.size(), read_back_);
    return true;
}

bool ReminderLink::readLogArea() {
    std::vector<std::uint8_t> buf;
    if (!readBlocks(map_.table_end, map_.logBlocks(), buf)) return false;
    const std::size_t skip = map_.first_log_word - map_.table_end;
    const std::size_t words = buf.size() > skip ? (buf.size() - skip) / 4 : 0;
    decodeLog(buf.data() + std::min(skip, buf.size()), words, read_back_, window_,
              clock_.nowValue());
    return true;
}

bool ReminderLink::readAll() {
    std::uint8_t ignored[kBlockSize];
    const auto identify = [&] {
        readBlock(0, ignored);
        return readIdentity();
    };
    failed_step_ = !beginStep(LinkStep::Identify) || !identify()          ? LinkStep::Identify
                   : !beginStep(LinkStep::ReadTable) || !readTableArea() ? LinkStep::ReadTable
                   : !beginStep(LinkStep::ReadLog) || !readLogArea()     ? LinkStep::ReadLog
                                                                         : LinkStep::None;
    return failed_step_ == LinkStep::None;
}

bool ReminderLink::answers() {
    if (!connected_) return false;
    buildPlainRequest(request_, kCmdIdentify);
    return exchange(kIdentityReplyLength) && replyStatus() == 1 &&
           getU32(reply_.data() + kIdentitySerialOffset) == identity_.serial;
}

bool ReminderLink::clearTableArea() {
    sendCommand(kCmdClearTable);
    const std::uint8_t zero[kBlockSize] = {};
    for (std::uint32_t a = kTableAreaStart; a + kBlockSize <= map_.table_end; a += kBlockSize)
        if (!writeBlock(static_cast<std::uint16_t>(a), zero)) return false;
    return true;
}

bool ReminderLink::clearLogArea() {
    const std::uint8_t zero[kBlockSize] = {};
    for (std::uint32_t a = map_.table_end; a + kBlockSize <= map_.log_end; a += kBlockSize)
        if (!writeBlock(static_cast<std::uint16_t>(a), zero)) return false;
    return true;
}

void ReminderLink::sendClock(std::uint32_t deviceTime, std::uint32_t windowSeconds) {
    buildSetClockRequest(request_, deviceTime, windowSeconds);
    exchange(kUnexaminedReplyLength);
}

bool ReminderLink::writeTableArea(const std::vector<std::uint8_t>& image) {
    // Only a whole image within the model's capacity is written: anything
    // else would leave the reminder with a table that was never meant.
    if (image.size() != map_.tableAreaBytes() ||
        getU16(image.data() + kTableCountOffset) > map_.table_capacity)
        return false;
    for (std::size_t b = 0; b < map_.tableBlocks(); ++b)
        if (!writeBlock(static_cast<std::uint16_t>(kTableAreaStart + b * kBlockSize),
                        image.data() + b * kBlockSize))
            return false;
    return true;
}

bool ReminderLink::verifyTableArea(const std::vector<std::uint8_t>& image) {
    std::vector<std::uint8_t> held;
    return readBlocks(kTableAreaStart, map_.tableBlocks(), held) && held == image;
}

void ReminderLink::sendCommand(std::uint16_t command) {
    buildPlainRequest(request_, command);
    exchange(kUnexaminedReplyLength);
}

}  // namespace velmora
