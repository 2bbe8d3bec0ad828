// A reminder that answers with the input: each reply packet is the next
// 64 bytes of it; after its end every reply is an empty, successful one.
// The link identifies the reminder, reads its table and log areas and
// decodes them; the acknowledgements are merged into a history as after
// attaching.
#include <algorithm>
#include <cstring>
#include <map>

#include "core/clock.h"
#include "device/reminder_link.h"
#include "device/log_decode.h"
#include "fuzz_check.h"
#include "store/record_store.h"

namespace {

class ReplayTransport final : public velmora::UsbTransport {
public:
    ReplayTransport(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    velmora::TransportStatus open() override { return velmora::kTransportOk; }
    velmora::TransportStatus transfer(const velmora::PacketBuffer&, velmora::PacketBuffer& reply,
                                      std::size_t& received) override {
        // A whole packet each time, padded with zeros once the input ends.
        received = packetSize();
        reply.fill(0);
        reply[velmora::kReplyStatusOffset] = 1;
        const std::size_t n = std::min(reply.size(), size_ - at_);
        std::memcpy(reply.data(), data_ + at_, n);
        at_ += n;
        return velmora::kTransportOk;
    }
    std::size_t packetSize() const override { return velmora::kPacketBufferSize; }
    bool isOpen() const override { return true; }
    void close() override {}

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReplayTransport transport(data, size);
    velmora::AlarmTable readBack;
    velmora::InstantList programming(500);
    const velmora::FixedClock clock(velmora::makeTime(2026, 3, 2, 9, 0));
    velmora::ReminderLink link(transport, readBack, clock);
    link.setProgrammingTable(&programming);
    link.open();
    link.readAll();
    VELMORA_FUZZ_CHECK(readBack.instants().size() <= velmora::kMaxTableEntries);
    VELMORA_FUZZ_CHECK(readBack.log_entries.size() <= readBack.instants().size());
    VELMORA_FUZZ_CHECK(readBack.capacity() == 500);
    std::map<velmora::TimeValue, velmora::LogEntry> history;
    velmora::mergeLogEntries(history, velmora::toLogEntries(readBack.log_entries));
    return 0;
}
