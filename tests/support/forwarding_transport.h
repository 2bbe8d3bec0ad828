#pragma once
// A USB transport that hands every call to another one, or behaves as an
// empty socket while it has none: tests put a simulated reminder behind it
// and override only the calls they change.
#include "device/usb_transport.h"

namespace velmora::testing {

class ForwardingTransport : public UsbTransport {
public:
    explicit ForwardingTransport(UsbTransport* to = nullptr) : inner(to) {}
    TransportStatus open() override { return inner ? inner->open() : kTransportNotFound; }
    TransportStatus transfer(const PacketBuffer& request, PacketBuffer& reply, std::size_t& received) override {
        return inner ? inner->transfer(request, reply, received) : kTransportWriteFailed;
    }
    std::size_t packetSize() const override { return inner ? inner->packetSize() : kDefaultPacketSize; }
    bool isOpen() const override { return inner && inner->isOpen(); }
    void close() override {
        if (inner) inner->close();
    }

    UsbTransport* inner;
};

}  // namespace velmora::testing
