#pragma once
// The reminder over libusb-1.0: found by a vendor:product id of the
// settings, or by the reminder's interface class in its Microsoft OS
// descriptors (read with control IN requests only); its vendor-specific
// interface claimed, one bulk OUT and one bulk IN endpoint. A device that
// is neither is never claimed.
// Arrival and removal come from libusb's hotplug support on a thread of
// this class; they are reported through a callback and nothing else, and
// only for the reminder: the removal of the device the link is open on,
// the arrival of a device with listed ids or that names the reminder's
// interface class. Other devices come and go unreported.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "device/usb_ids.h"
#include "device/usb_transport.h"

struct libusb_context;
struct libusb_device_handle;
struct libusb_device;

namespace velmora {

enum class ReminderEvent { Arrived, Left };

class LibusbTransport final : public UsbTransport {
public:
    // Called on the hotplug thread (and, for a reminder already present,
    // on the thread that calls startWatch). The receiver hands the event
    // to its own event loop; it must not call open() or transfer() here.
    using Listener = std::function<void(ReminderEvent)>;

    explicit LibusbTransport(std::vector<UsbIds> ids = reminderUsbIds(),
                             unsigned timeoutMs = kTransferTimeoutMs);
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    TransportStatus open() override;
    TransportStatus transfer(const PacketBuffer& request, PacketBuffer& reply,
                             std::size_t& received) override;
    std::size_t packetSize() const override { return packet_size_; }
    bool isOpen() const override { return handle_ != nullptr && !lost_; }
    void close() override;

    // Starts watching for the reminder. Reminders already attached are
    // reported as arrivals before this returns. False when libusb cannot be
    // started or offers no hotplug support on this system.
    bool startWatch(Listener listener);
    void stopWatch();

    // libusb's hotplug notification (public only for the C trampoline).
    static int onHotplug(::libusb_device* dev, bool left, void* self);

    std::uint8_t inEndpoint() const { return in_ep_; }
    std::uint8_t outEndpoint() const { return out_ep_; }
    const std::vector<UsbIds>& ids() const { return ids_; }

private:
    bool ensureContext();
    void releaseLink();
    bool hasListedIds(::libusb_device* dev) const;
    void notify(ReminderEvent what);
    // Asks the arrived devices that may be the reminder for its interface
    // class (not possible inside the hotplug callback) and reports those
    // that name it.
    void probeArrivals();
    // Opens and claims `dev` when it is the reminder; kTransportNotFound
    // when it is not.
    TransportStatus tryOpen(::libusb_device* dev);

    std::vector<UsbIds> ids_;
    unsigned timeout_ms_;
    libusb_context* ctx_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    std::atomic<::libusb_device*> device_{nullptr};  // the opened device (referenced)
    int interface_ = -1;
    std::uint8_t in_ep_ = 0;
    std::uint8_t out_ep_ = 0;
    std::size_t packet_size_ = kDefaultPacketSize;
    std::atomic<bool> lost_{false};

    std::mutex listener_mutex_;
    Listener listener_;
    // Arrived devices with other ids and a vendor-specific interface, not
    // yet asked (referenced). The callback may run on any thread that
    // handles libusb events.
    std::mutex unprobed_mutex_;
    std::vector<::libusb_device*> unprobed_;
    int hotplug_handle_ = 0;
    std::atomic<bool> stop_{false};
    std::thread events_;  // joinable while watching
};

}  // namespace velmora
