#include "device/libusb_transport.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>

namespace velmora {

LibusbTransport::LibusbTransport(UsbIds ids, unsigned timeoutMs)
    : ids_(ids), timeout_ms_(timeoutMs) {}

LibusbTransport::~LibusbTransport() {
    stopWatch();
    releaseLink();
    if (ctx_) libusb_exit(ctx_);
}

bool LibusbTransport::ensureContext() {
    if (ctx_) return true;
    return libusb_init(&ctx_) == 0;
}

void LibusbTransport::releaseLink() {
    if (handle_) {
        if (interface_ >= 0) libusb_release_interface(handle_, interface_);
        libusb_close(handle_);
    }
    if (libusb_device* d = device_.exchange(nullptr)) libusb_unref_device(d);
    handle_ = nullptr;
    interface_ = -1;
    in_ep_ = out_ep_ = 0;
    lost_ = false;
}

void LibusbTransport::close() { releaseLink(); }

TransportStatus LibusbTransport::open() {
    releaseLink();
    packet_size_ = kDefaultPacketSize;
    if (!ensureContext()) return kTransportNoDeviceSet;

    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx_, &list);
    if (n < 0) return kTransportNoDeviceSet;
    libusb_device* found = nullptr;
    for (ssize_t i = 0; i < n && !found; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == ids_.vendor &&
            d.idProduct == ids_.product)
            found = libusb_ref_device(list[i]);
    }
    libusb_free_device_list(list, 1);
    if (!found) return kTransportNotFound;

    libusb_device_handle* h = nullptr;
    if (libusb_open(found, &h) != 0) {
        libusb_unref_device(found);
        return kTransportNotFound;
    }
    const auto fail = [&](TransportStatus s) {
        libusb_close(h);
        libusb_unref_device(found);
        return s;
    };

    // The reminder's vendor-specific interface, alternate setting 0.
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(found, &config) != 0 || !config)
        return fail(kTransportPipeQueryFailed);
    const libusb_interface_descriptor* alt = nullptr;
    for (int i = 0; i < config->bNumInterfaces && !alt; ++i) {
        const libusb_interface& itf = config->interface[i];
        if (itf.num_altsetting > 0 && itf.altsetting[0].bInterfaceClass == LIBUSB_CLASS_VENDOR_SPEC)
            alt = &itf.altsetting[0];
    }
    if (!alt) {
        libusb_free_config_descriptor(config);
        return fail(kTransportPipeQueryFailed);
    }
    const int number = alt->bInterfaceNumber;
    std::uint8_t in = 0, out = 0;
    std::size_t packet = kDefaultPacketSize;
    for (int e = 0; e < alt->bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& ep = alt->endpoint[e];
        if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
        if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
            in = ep.bEndpointAddress;
            // The request and reply buffers hold 64 bytes: a larger packet is capped.
            if (ep.wMaxPacketSize > 0)
                packet = std::min<std::size_t>(ep.wMaxPacketSize, kPacketBufferSize);
        } else {
            out = ep.bEndpointAddress;
        }
    }
    libusb_free_config_descriptor(config);

    libusb_set_auto_detach_kernel_driver(h, 1);
    if (libusb_claim_interface(h, number) != 0) return fail(kTransportNotFound);
    handle_ = h;
    device_ = found;
    interface_ = number;
    in_ep_ = in;
    out_ep_ = out;
    packet_size_ = packet;
    return kTransportOk;
}

TransportStatus LibusbTransport::transfer(const PacketBuffer& request, PacketBuffer& reply,
                                          std::size_t& received) {
    received = 0;
    if (!handle_ || lost_ || out_ep_ == 0) return kTransportWriteFailed;
    const int len = static_cast<int>(packet_size_);
    int done = 0;
    int r = libusb_bulk_transfer(handle_, out_ep_, const_cast<unsigned char*>(request.data()), len,
                                 &done, timeout_ms_);
    if (r == LIBUSB_ERROR_TIMEOUT) return kTransportTimeout;
    if (r != 0) return kTransportWriteFailed;

    if (in_ep_ == 0) return kTransportReadFailed;  // the interface offers no bulk IN pipe
    PacketBuffer in{};
    done = 0;
    r = libusb_bulk_transfer(handle_, in_ep_, in.data(), len, &done, timeout_ms_);
    // A read that reports failure after a full packet still delivered the reply.
    if (r != 0 && done == len) r = 0;
    if (r == LIBUSB_ERROR_TIMEOUT) return kTransportTimeout;
    if (r != 0) return kTransportReadFailed;
    reply = in;
    received = static_cast<std::size_t>(done);
    return kTransportOk;
}

namespace {
int hotplugTrampoline(libusb_context*, libusb_device* dev, libusb_hotplug_event event, void* p) {
    return LibusbTransport::onHotplug(dev, event == LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT, p);
}
}  // namespace

int LibusbTransport::onHotplug(libusb_device* dev, bool left, void* p) {
    auto* self = static_cast<LibusbTransport*>(p);
    ReminderEvent what = ReminderEvent::Arrived;
    if (left) {
        what = ReminderEvent::Left;
        // Transfers on a link to the departed reminder fail at once.
        if (self->device_ == dev) self->lost_ = true;
    }
    std::lock_guard lock(self->listener_mutex_);
    if (self->listener_) self->listener_(what);
    return 0;
}

bool LibusbTransport::startWatch(Listener listener) {
    stopWatch();
    if (!ensureContext()) return false;
    if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) return false;
    {
        std::lock_guard lock(listener_mutex_);
        listener_ = std::move(listener);
    }
    libusb_hotplug_callback_handle h = 0;
    const int r = libusb_hotplug_register_callback(
        ctx_,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                          LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_ENUMERATE, ids_.vendor, ids_.product, LIBUSB_HOTPLUG_MATCH_ANY,
        &hotplugTrampoline, this, &h);
    if (r != 0) {
        std::lock_guard lock(listener_mutex_);
        listener_ = nullptr;
        return false;
    }
    hotplug_handle_ = h;
    stop_ = false;
    events_ = std::thread([this] {
        while (!stop_) {
            timeval tv{0, 100000};
            libusb_handle_events_timeout_completed(ctx_, &tv, nullptr);
        }
    });
    return true;
}

void LibusbTransport::stopWatch() {
    if (!events_.joinable()) return;
    stop_ = true;
    libusb_hotplug_deregister_callback(ctx_, hotplug_handle_);
    events_.join();
    std::lock_guard lock(listener_mutex_);
    listener_ = nullptr;
}

}  // namespace velmora
