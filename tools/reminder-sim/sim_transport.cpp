#include "reminder-sim/sim_transport.h"

#include <algorithm>

namespace velmora::sim {

SimTransport::SimTransport(SimulatedReminder& reminder, std::size_t packetSize)
    : reminder_(reminder), packet_size_(std::min(packetSize, kPacketBufferSize)) {}

TransportStatus SimTransport::open() {
    open_ = false;
    if (!present_) return kTransportNotFound;
    open_ = true;
    return kTransportOk;
}

void SimTransport::setPresent(bool present) {
    present_ = present;
    if (!present) open_ = false;
}

TransportStatus SimTransport::transfer(const PacketBuffer& request, PacketBuffer& reply,
                                       std::size_t& received) {
    received = 0;
    if (!open_) return kTransportWriteFailed;
    if (fail_write_ != kTransportOk) {
        const TransportStatus s = fail_write_;
        fail_write_ = kTransportOk;
        return s;
    }
    PacketBuffer answer{};
    const std::size_t n = reminder_.handle(request.data(), packet_size_, answer.data(), packet_size_);
    if (fail_read_ != kTransportOk) {
        const TransportStatus s = fail_read_;
        fail_read_ = kTransportOk;
        return s;
    }
    if (n == 0) return kTransportTimeout;
    std::copy_n(answer.begin(), packet_size_, reply.begin());
    received = std::min(n, packet_size_);
    return kTransportOk;
}

}  // namespace velmora::sim
