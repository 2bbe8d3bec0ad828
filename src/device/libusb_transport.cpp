#include "device/libusb_transport.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "device/ms_os_descriptors.h"
#include "device/reminder_protocol.h"

namespace velmora {

namespace {

// The vendor-specific interface (alternate setting 0) and its bulk pipes.
struct VendorInterface {
    int number = -1;
    std::uint8_t in = 0, out = 0;
    std::size_t packet = kDefaultPacketSize;
};

std::optional<VendorInterface> vendorInterface(libusb_device* dev) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(dev, &config) != 0 || !config) return std::nullopt;
    std::optional<VendorInterface> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& itf = config->interface[i];
        if (itf.num_altsetting < 1 || itf.altsetting[0].bInterfaceClass != LIBUSB_CLASS_VENDOR_SPEC)
            continue;
        const libusb_interface_descriptor& alt = itf.altsetting[0];
        found = VendorInterface{alt.bInterfaceNumber};
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
            if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                found->in = ep.bEndpointAddress;
                // The request and reply buffers hold 64 bytes: a larger packet is capped.
                if (ep.wMaxPacketSize > 0)
                    found->packet = std::min<std::size_t>(ep.wMaxPacketSize, kPacketBufferSize);
            } else {
                found->out = ep.bEndpointAddress;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

// Bound of each descriptor request while looking for the reminder.
constexpr unsigned kProbeTimeoutMs = 1000;
constexpr std::uint8_t kVendorToHostDevice = 0xC0;
constexpr std::uint8_t kVendorToHostInterface = 0xC1;

// Whether the device names the reminder's interface class in its Microsoft
// OS 2.0 or 1.0 descriptors. Control IN requests only; every length is
// bounded before it is read.
bool reportsReminderInterface(libusb_device_handle* h, std::uint16_t bcdUsb, int interfaceNumber) {
    std::vector<std::uint8_t> buf(std::max(kMaxBosBytes, kMaxMsOsDescriptorBytes));
    const auto descriptor = [&](std::uint8_t type, std::uint8_t index, std::size_t length) {
        return libusb_get_descriptor(h, type, index, buf.data(), static_cast<int>(length));
    };
    const auto vendorIn = [&](std::uint8_t requestType, std::uint8_t code, std::uint16_t value,
                              std::uint16_t index, std::size_t length) {
        return libusb_control_transfer(h, requestType, code, value, index, buf.data(),
                                       static_cast<std::uint16_t>(length), kProbeTimeoutMs);
    };
    if (bcdUsb >= 0x0201) {
        int r = descriptor(LIBUSB_DT_BOS, 0, 5);
        if (r >= 5) r = descriptor(LIBUSB_DT_BOS, 0, std::min<std::size_t>(getU16(buf.data() + 2), kMaxBosBytes));
        if (r > 0) {
            if (auto set = parseBosMsOs20(buf.data(), static_cast<std::size_t>(r))) {
                r = vendorIn(kVendorToHostDevice, set->vendor_code, 0, kMsOs20DescriptorIndex, set->length);
                if (r > 0 && namesReminderInterface(parseMsOs20DescriptorSet(buf.data(), static_cast<std::size_t>(r))))
                    return true;
            }
        }
    }
    int r = descriptor(LIBUSB_DT_STRING, kMsOs10StringIndex, kMsOs10StringLength);
    const auto code = r > 0 ? parseMsOs10String(buf.data(), static_cast<std::size_t>(r)) : std::nullopt;
    if (!code) return false;
    const auto value = static_cast<std::uint16_t>(interfaceNumber << 8);
    r = vendorIn(kVendorToHostInterface, *code, value, kMsOs10ExtendedProperties, kMsOs10PropertiesHeaderLength);
    const auto total = r > 0 ? parseMsOs10PropertiesLength(buf.data(), static_cast<std::size_t>(r)) : std::nullopt;
    if (!total) return false;
    r = vendorIn(kVendorToHostInterface, *code, value, kMsOs10ExtendedProperties,
                 std::min<std::size_t>(*total, kMaxMsOsDescriptorBytes));
    return r > 0 && namesReminderInterface(parseMsOs10Properties(buf.data(), static_cast<std::size_t>(r)));
}

}  // namespace

LibusbTransport::LibusbTransport(std::vector<UsbIds> ids, unsigned timeoutMs)
    : ids_(std::move(ids)), timeout_ms_(timeoutMs) {}

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

bool LibusbTransport::hasListedIds(libusb_device* dev) const {
    libusb_device_descriptor d{};
    if (libusb_get_device_descriptor(dev, &d) != 0) return false;
    return std::find(ids_.begin(), ids_.end(), UsbIds{d.idVendor, d.idProduct}) != ids_.end();
}

TransportStatus LibusbTransport::tryOpen(libusb_device* dev) {
    libusb_device_descriptor d{};
    if (libusb_get_device_descriptor(dev, &d) != 0) return kTransportNotFound;
    const bool listed = hasListedIds(dev);
    const std::optional<VendorInterface> itf = vendorInterface(dev);
    // Without a vendor-specific interface a device with other ids is not
    // even asked for its descriptors.
    if (!listed && !itf) return kTransportNotFound;

    libusb_device_handle* h = nullptr;
    if (libusb_open(dev, &h) != 0) return kTransportNotFound;
    if (!listed && !reportsReminderInterface(h, d.bcdUSB, itf->number)) {
        libusb_close(h);
        return kTransportNotFound;
    }
    if (!itf) {
        libusb_close(h);
        return kTransportPipeQueryFailed;
    }
    libusb_set_auto_detach_kernel_driver(h, 1);
    if (libusb_claim_interface(h, itf->number) != 0) {
        libusb_close(h);
        return kTransportNotFound;
    }
    handle_ = h;
    device_ = libusb_ref_device(dev);
    interface_ = itf->number;
    in_ep_ = itf->in;
    out_ep_ = itf->out;
    packet_size_ = itf->packet;
    return kTransportOk;
}

TransportStatus LibusbTransport::open() {
    releaseLink();
    packet_size_ = kDefaultPacketSize;
    if (!ensureContext()) return kTransportNoDeviceSet;

    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx_, &list);
    if (n < 0) return kTransportNoDeviceSet;
    // Devices with listed ids first, then any that reports the reminder's class.
    TransportStatus result = kTransportNotFound;
    for (bool listedPass : {true, false})
        for (ssize_t i = 0; i < n && result != kTransportOk; ++i)
            if (hasListedIds(list[i]) == listedPass) {
                const TransportStatus s = tryOpen(list[i]);
                if (s != kTransportNotFound || result == kTransportNotFound) result = s;
            }
    libusb_free_device_list(list, 1);
    return result;
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
    if (left) {
        // Only the reminder the link is open on leaves: any other device
        // may come and go without touching it.
        if (self->device_ != dev) return 0;
        // Transfers on a link to the departed reminder fail at once.
        self->lost_ = true;
        self->notify(ReminderEvent::Left);
        return 0;
    }
    if (self->hasListedIds(dev)) {
        self->notify(ReminderEvent::Arrived);
    } else if (vendorInterface(dev)) {
        // No descriptor can be requested here: the device is asked for the
        // reminder's interface class after the callback.
        std::lock_guard lock(self->unprobed_mutex_);
        self->unprobed_.push_back(libusb_ref_device(dev));
    }
    return 0;
}

void LibusbTransport::notify(ReminderEvent what) {
    std::lock_guard lock(listener_mutex_);
    if (listener_) listener_(what);
}

void LibusbTransport::probeArrivals() {
    std::vector<libusb_device*> devices;
    {
        std::lock_guard lock(unprobed_mutex_);
        devices.swap(unprobed_);
    }
    for (libusb_device* dev : devices) {
        bool reminder = false;
        libusb_device_descriptor d{};
        const std::optional<VendorInterface> itf = vendorInterface(dev);
        libusb_device_handle* h = nullptr;
        if (itf && libusb_get_device_descriptor(dev, &d) == 0 && libusb_open(dev, &h) == 0) {
            reminder = reportsReminderInterface(h, d.bcdUSB, itf->number);
            libusb_close(h);
        }
        libusb_unref_device(dev);
        if (reminder) notify(ReminderEvent::Arrived);
    }
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
        LIBUSB_HOTPLUG_ENUMERATE, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY,
        &hotplugTrampoline, this, &h);
    if (r != 0) {
        std::lock_guard lock(listener_mutex_);
        listener_ = nullptr;
        return false;
    }
    hotplug_handle_ = h;
    probeArrivals();
    stop_ = false;
    events_ = std::thread([this] {
        while (!stop_) {
            timeval tv{0, 100000};
            libusb_handle_events_timeout_completed(ctx_, &tv, nullptr);
            probeArrivals();
        }
    });
    return true;
}

void LibusbTransport::stopWatch() {
    if (events_.joinable()) {
        stop_ = true;
        libusb_hotplug_deregister_callback(ctx_, hotplug_handle_);
        events_.join();
    }
    {
        std::lock_guard lock(unprobed_mutex_);
        for (libusb_device* dev : unprobed_) libusb_unref_device(dev);
        unprobed_.clear();
    }
    std::lock_guard lock(listener_mutex_);
    listener_ = nullptr;
}

}  // namespace velmora
