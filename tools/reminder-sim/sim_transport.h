#pragma once
// Connects a ReminderLink to a SimulatedReminder inside the process, with
// the same result codes as the USB transport, and faults on demand.
#include <cstddef>

#include "device/usb_transport.h"
#include "reminder-sim/simulated_reminder.h"

namespace velmora::sim {

class SimTransport final : public UsbTransport {
public:
    explicit SimTransport(SimulatedReminder& reminder, std::size_t packetSize = 64);

    TransportStatus open() override;
    TransportStatus transfer(const PacketBuffer& request, PacketBuffer& reply,
                             std::size_t& received) override;
    std::size_t packetSize() const override { return open_ ? packet_size_ : kDefaultPacketSize; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }

    // The reminder is plugged in (open() finds it) or not.
    void setPresent(bool present);
    bool present() const { return present_; }
    // The next write fails with this status (-5 or -8); the read is skipped.
    void failNextWrite(TransportStatus s) { fail_write_ = s; }
    // The next read fails with this status (-6 or -8).
    void failNextRead(TransportStatus s) { fail_read_ = s; }

private:
    SimulatedReminder& reminder_;
    std::size_t packet_size_;
    bool present_ = true;
    bool open_ = false;
    TransportStatus fail_write_ = kTransportOk;
    TransportStatus fail_read_ = kTransportOk;
};

}  // namespace velmora::sim
