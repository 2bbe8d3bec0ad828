#include "reminder-sim/emulated_usb_reminder.h"

#include <sys/ioctl.h>
#include <unistd.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sim {

namespace {
// One emulated /sys and /dev per process, shared by every emulated device.
struct SharedTestbed {
    UMockdevTestbed* testbed = nullptr;
    int users = 0;
};
SharedTestbed& sharedTestbed() {
    static SharedTestbed shared;
    return shared;
}
UMockdevTestbed* acquireTestbed() {
    SharedTestbed& s = sharedTestbed();
    if (s.users++ == 0) s.testbed = umockdev_testbed_new();
    return s.testbed;
}
void releaseTestbed() {
    SharedTestbed& s = sharedTestbed();
    if (--s.users == 0) {
        g_object_unref(s.testbed);
        s.testbed = nullptr;
    }
}

// "001/007": the device's place under /dev/bus/usb.
std::string busPath(int deviceNumber) {
    char path[16];
    std::snprintf(path, sizeof path, "001/%03d", deviceNumber);
    return path;
}

std::string hex(const std::vector<std::uint8_t>& b) {
    std::string s;
    char tmp[3];
    for (auto v : b) {
        std::snprintf(tmp, sizeof tmp, "%02x", v);
        s += tmp;
    }
    return s;
}

using ClassIn = EmulatedUsbReminder::ClassIn;

void put16(std::vector<std::uint8_t>& b, std::size_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::size_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
// UTF-16LE, with the terminating NUL (and a second one for a list).
std::vector<std::uint8_t> utf16(const std::string& s, int nuls) {
    std::vector<std::uint8_t> b;
    for (char c : s) put16(b, static_cast<unsigned char>(c));
    for (int i = 0; i < nuls; ++i) put16(b, 0);
    return b;
}

constexpr const char* kGuid = "{DE35A6E6-B843-4748-BBD4-997808317928}";
constexpr std::uint8_t kVendorCode = 0x20;

// Device, configuration, interface and endpoint descriptors as sysfs
// "descriptors" holds them.
std::vector<std::uint8_t> descriptors(const UsbIds& ids, std::size_t inPacket, ClassIn in) {
    const std::uint8_t endpoints = inPacket > 0 ? 2 : 1;
    const std::uint16_t total = static_cast<std::uint16_t>(9 + 9 + 7 * endpoints);
    std::vector<std::uint8_t> d = {
        0x12, 0x01, static_cast<std::uint8_t>(in == ClassIn::MsOs20 ? 0x01 : 0x00), 0x02, 0x00, 0x00, 0x00, 0x40,
        static_cast<std::uint8_t>(ids.vendor), static_cast<std::uint8_t>(ids.vendor >> 8),
        static_cast<std::uint8_t>(ids.product), static_cast<std::uint8_t>(ids.product >> 8),
        0x00, 0x01, 0x01, 0x02, 0x03, 0x01,
        // configuration 1
        0x09, 0x02, static_cast<std::uint8_t>(total), static_cast<std::uint8_t>(total >> 8),
        0x01, 0x01, 0x00, 0x80, 0x32,
        // interface 0, vendor specific
        0x09, 0x04, 0x00, 0x00, endpoints, 0xFF, 0x00, 0x00, 0x00,
        // bulk OUT 0x01, 64 bytes
        0x07, 0x05, 0x01, 0x02, 0x40, 0x00, 0x00};
    if (inPacket > 0) {
        const std::vector<std::uint8_t> in = {0x07, 0x05, 0x81, 0x02,
                                              static_cast<std::uint8_t>(inPacket),
                                              static_cast<std::uint8_t>(inPacket >> 8), 0x00};
        d.insert(d.end(), in.begin(), in.end());
    }
    return d;
}

// A registry property: OS 2.0 feature (16-bit lengths) or OS 1.0 section
// (32-bit lengths).
std::vector<std::uint8_t> property(bool os20, const char* name, int type, int nuls) {
    const auto n = utf16(name, 1);
    const auto v = utf16(kGuid, nuls);
    std::vector<std::uint8_t> b;
    if (os20) {
        put16(b, 10 + n.size() + v.size());
        put16(b, 0x0004);
        put16(b, type);
        put16(b, n.size());
    } else {
        put32(b, 14 + n.size() + v.size());
        put32(b, type);
        put16(b, n.size());
    }
    b.insert(b.end(), n.begin(), n.end());
    if (os20) put16(b, v.size()); else put32(b, v.size());
    b.insert(b.end(), v.begin(), v.end());
    return b;
}

// The answer to a control IN request, or nothing (a stall).
std::optional<std::vector<std::uint8_t>> controlAnswer(ClassIn in, std::uint8_t requestType,
                                                       std::uint8_t request, std::uint16_t value,
                                                       std::uint16_t index) {
    std::vector<std::uint8_t> b;
    if (in == ClassIn::MsOs20) {
        const auto feature = property(true, "DeviceInterfaceGUIDs", 7, 2);
        if (requestType == 0x80 && request == 6 && value == 0x0F00) {  // BOS
            b = {0x05, 0x0F, 33, 0x00, 0x01, 28, 0x10, 0x05, 0x00, 0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45,
                 0xC7, 0x4C, 0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F, 0x00, 0x00, 0x03, 0x06};
            put16(b, 10 + feature.size());
            b.push_back(kVendorCode);
            b.push_back(0);
            return b;
        }
        if (requestType == 0xC0 && request == kVendorCode && index == 7) {
            b = {0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x06};
            put16(b, 10 + feature.size());
            b.insert(b.end(), feature.begin(), feature.end());
            return b;
        }
    }
    if (in == ClassIn::MsOs10) {
        if (requestType == 0x80 && request == 6 && value == 0x03EE) {
            b = {0x12, 0x03};
            const auto sig = utf16("MSFT100", 0);
            b.insert(b.end(), sig.begin(), sig.end());
            b.push_back(kVendorCode);
            b.push_back(0);
            return b;
        }
        if (requestType == 0xC1 && request == kVendorCode && index == 5) {
            const auto section = property(false, "DeviceInterfaceGUID", 1, 1);
            put32(b, 10 + section.size());
            b.insert(b.end(), {0x00, 0x01, 0x05, 0x00, 0x01, 0x00});
            b.insert(b.end(), section.begin(), section.end());
            return b;
        }
    }
    return std::nullopt;
}
}  // namespace

struct EmulatedUsbReminder::State {
    SimulatedReminder& reminder;
    Options options;
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    bool added = false;
    std::string dev_node;  // /dev/bus/usb/001/007
    std::string sys_path;  // /sys/devices/velmora-usb7

    mutable std::mutex mutex;  // guards everything below (testbed thread vs. test thread)
    bool plugged = false;
    bool stall_writes = false;
    std::size_t out_submits = 0;
    std::size_t in_submits = 0;
    std::size_t claims = 0;
    std::deque<UMockdevIoctlData*> in_flight_in;   // IN URBs waiting for a reply
    std::deque<UMockdevIoctlData*> in_flight_out;  // stalled OUT URBs
    std::deque<UMockdevIoctlData*> done;            // completed, waiting to be reaped
    std::deque<UMockdevIoctlData*> discarded;
    std::deque<std::vector<std::uint8_t>> replies;  // answers not yet read

    State(SimulatedReminder& r, Options o) : reminder(r), options(o) {}

    // Completes the oldest IN URB with the oldest reply, when both exist.
    void deliver() {
        while (!in_flight_in.empty() && !replies.empty()) {
            UMockdevIoctlData* urbData = in_flight_in.front();
            in_flight_in.pop_front();
            auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
            const std::vector<std::uint8_t> reply = std::move(replies.front());
            replies.pop_front();
            const std::size_t n = std::min<std::size_t>(reply.size(), static_cast<std::size_t>(urb->buffer_length));
            std::memcpy(urb->buffer, reply.data(), n);
            urb->actual_length = static_cast<int>(n);
            urb->status = 0;
            done.push_back(urbData);
        }
    }

    gboolean onIoctl(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        std::lock_guard lock(mutex);
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES: {
                UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
                *reinterpret_cast<guint32*>(d->data) =
                    USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                    USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
                g_object_unref(d);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
            case USBDEVFS_CLAIMINTERFACE:
            case USBDEVFS_DISCONNECT_CLAIM:  // no kernel driver to detach: a plain claim
                if (plugged) ++claims;
                umockdev_ioctl_client_complete(client, plugged ? 0 : -1, plugged ? 0 : ENODEV);
                return TRUE;
            case USBDEVFS_RELEASEINTERFACE:
            case USBDEVFS_CLEAR_HALT:
            case USBDEVFS_RESET:
            case USBDEVFS_RESETEP:
            case USBDEVFS_SETINTERFACE:
                umockdev_ioctl_client_complete(client, plugged ? 0 : -1, plugged ? 0 : ENODEV);
                return TRUE;
            case USBDEVFS_GETDRIVER:
            case USBDEVFS_IOCTL:  // no kernel driver is bound to the interface
                umockdev_ioctl_client_complete(client, -1, ENODATA);
                return TRUE;
            case USBDEVFS_SUBMITURB: {
                if (!plugged) {
                    umockdev_ioctl_client_complete(client, -1, ENODEV);
                    return TRUE;
                }
                UMockdevIoctlData* urbData =
                    umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
                auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
                UMockdevIoctlData* buf = umockdev_ioctl_data_resolve(
                    urbData, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                    static_cast<gsize>(urb->buffer_length), nullptr);
                if (urb->type == USBDEVFS_URB_TYPE_CONTROL && buf && urb->buffer_length >= 8) {
                    // Setup packet, then the data stage; IN requests only.
                    auto* setup = static_cast<std::uint8_t*>(urb->buffer);
                    const auto answer = controlAnswer(
                        options.interface_class, setup[0], setup[1],
                        static_cast<std::uint16_t>(setup[2] | setup[3] << 8),
                        static_cast<std::uint16_t>(setup[4] | setup[5] << 8));
                    const std::size_t room = std::min<std::size_t>(
                        static_cast<std::size_t>(setup[6] | setup[7] << 8),
                        static_cast<std::size_t>(urb->buffer_length) - 8);
                    const std::size_t n = answer ? std::min(answer->size(), room) : 0;
                    if (answer) std::memcpy(setup + 8, answer->data(), n);
                    urb->actual_length = static_cast<int>(n);
                    urb->status = answer ? 0 : -EPIPE;
                    done.push_back(urbData);
                    g_object_unref(buf);
                    umockdev_ioctl_client_complete(client, 0, 0);
                    return TRUE;
                }
                if (urb->type != USBDEVFS_URB_TYPE_BULK) {
                    if (buf) g_object_unref(buf);
                    g_object_unref(urbData);
                    umockdev_ioctl_client_complete(client, -1, EINVAL);
                    return TRUE;
                }
                if (urb->endpoint & 0x80) {
                    ++in_submits;
                    in_flight_in.push_back(urbData);
                    deliver();
                } else {
                    ++out_submits;
                    if (stall_writes) {
                        in_flight_out.push_back(urbData);
                    } else {
                        // The reminder answers a whole packet of its IN endpoint.
                        std::vector<std::uint8_t> reply(std::max<std::size_t>(options.in_packet_size, 8), 0);
                        const std::size_t n = reminder.handle(
                            static_cast<const std::uint8_t*>(urb->buffer),
                            static_cast<std::size_t>(urb->buffer_length), reply.data(), reply.size());
                        if (n > 0) {
                            reply.resize(n);
                            replies.push_back(std::move(reply));
                        }
                        urb->actual_length = urb->buffer_length;
                        urb->status = 0;
                        done.push_back(urbData);
                        deliver();
                    }
                }
                if (buf) g_object_unref(buf);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
            case USBDEVFS_REAPURB:
            case USBDEVFS_REAPURBNDELAY: {
                UMockdevIoctlData* urbData = nullptr;
                if (!discarded.empty()) {
                    urbData = discarded.front();
                    discarded.pop_front();
                    reinterpret_cast<usbdevfs_urb*>(urbData->data)->status = -ENOENT;
                } else if (!done.empty()) {
                    urbData = done.front();
                    done.pop_front();
                }
                if (!urbData) {
                    umockdev_ioctl_client_complete(client, -1, plugged ? EAGAIN : ENODEV);
                    return TRUE;
                }
                UMockdevIoctlData* ptr = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
                umockdev_ioctl_data_set_ptr(ptr, 0, urbData);
                g_object_unref(ptr);
                g_object_unref(urbData);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
            case USBDEVFS_DISCARDURB: {
                const gulong addr = *reinterpret_cast<gulong*>(arg->data);
                for (auto* list : {&in_flight_in, &in_flight_out}) {
                    for (auto it = list->begin(); it != list->end(); ++it) {
                        if ((*it)->client_addr == addr) {
                            discarded.push_back(*it);
                            list->erase(it);
                            umockdev_ioctl_client_complete(client, 0, 0);
                            return TRUE;
                        }
                    }
                }
                umockdev_ioctl_client_complete(client, -1, EINVAL);
                return TRUE;
            }
            default:
                return FALSE;
        }
    }

    // The reminder is pulled out: URBs in flight end with "no such device"
    // and the replies it had not sent yet are lost with it.
    void detach() {
        plugged = false;
        replies.clear();
        for (auto* list : {&in_flight_in, &in_flight_out}) {
            for (UMockdevIoctlData* urbData : *list) {
                reinterpret_cast<usbdevfs_urb*>(urbData->data)->status = -ENODEV;
                done.push_back(urbData);
            }
            list->clear();
        }
    }

    static gboolean handleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        return static_cast<State*>(self)->onIoctl(client);
    }

    void release(std::deque<UMockdevIoctlData*>& v) {
        for (auto* d : v) g_object_unref(d);
        v.clear();
    }
};

EmulatedUsbReminder::EmulatedUsbReminder(SimulatedReminder& reminder)
    : EmulatedUsbReminder(reminder, Options{}) {}

EmulatedUsbReminder::EmulatedUsbReminder(SimulatedReminder& reminder, Options options)
    : state_(std::make_unique<State>(reminder, options)) {
    state_->testbed = acquireTestbed();
    state_->dev_node = "/dev/bus/usb/" + busPath(options.device_number);
    state_->sys_path = "/sys/devices/velmora-usb" + std::to_string(options.device_number);
    state_->handler = umockdev_ioctl_base_new();
    g_signal_connect(state_->handler, "handle-ioctl", G_CALLBACK(&State::handleIoctl), state_.get());
    umockdev_testbed_attach_ioctl(state_->testbed, state_->dev_node.c_str(), state_->handler, nullptr);
}

EmulatedUsbReminder::~EmulatedUsbReminder() {
    {
        std::lock_guard lock(state_->mutex);
        state_->release(state_->in_flight_in);
        state_->release(state_->in_flight_out);
        state_->release(state_->done);
        state_->release(state_->discarded);
    }
    if (state_->added) umockdev_testbed_remove_device(state_->testbed, state_->sys_path.c_str());
    umockdev_testbed_detach_ioctl(state_->testbed, state_->dev_node.c_str(), nullptr);
    g_object_unref(state_->handler);
    releaseTestbed();
}

bool EmulatedUsbReminder::available() {
    // umockdev_in_mock_environment() does not report the preload reliably
    // (it answered false under LD_PRELOAD with umockdev 0.17.16), so look
    // at the variable the preload comes from.
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

void EmulatedUsbReminder::rerunWithPreload(char** argv) {
    const char* old = std::getenv("LD_PRELOAD");
    std::string preload = "libumockdev-preload.so.0";
    if (old && *old) preload += std::string(":") + old;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("execv");
}

void EmulatedUsbReminder::plug() {
    {
        std::lock_guard lock(state_->mutex);
        state_->plugged = true;
    }
    if (!state_->added) {
        const int number = state_->options.device_number;
        const std::string bus = busPath(number);
        const std::string text =
            "P: /devices/velmora-usb" + std::to_string(number) + "\n"
            "N: bus/usb/" + bus + "\n"
            "E: SUBSYSTEM=usb\n"
            "E: DRIVER=usb\n"
            "E: BUSNUM=001\n"
            "E: DEVNUM=" + bus.substr(4) + "\n"
            "E: DEVNAME=/dev/bus/usb/" + bus + "\n"
            "E: DEVTYPE=usb_device\n"
            "A: bConfigurationValue=1\\n\n"
            "A: busnum=1\\n\n"
            "A: devnum=" + std::to_string(number) + "\\n\n"
            "A: speed=12\\n\n"
            "H: descriptors=" +
            hex(descriptors(state_->options.ids, state_->options.in_packet_size,
                            state_->options.interface_class)) + "\n";
        umockdev_testbed_add_from_string(state_->testbed, text.c_str(), nullptr);
        state_->added = true;
    } else {
        umockdev_testbed_uevent(state_->testbed, state_->sys_path.c_str(), "add");
    }
}

void EmulatedUsbReminder::unplug() {
    {
        std::lock_guard lock(state_->mutex);
        state_->detach();
    }
    umockdev_testbed_uevent(state_->testbed, state_->sys_path.c_str(), "remove");
}

bool EmulatedUsbReminder::plugged() const {
    std::lock_guard lock(state_->mutex);
    return state_->plugged;
}

void EmulatedUsbReminder::stallWrites(bool on) {
    std::lock_guard lock(state_->mutex);
    state_->stall_writes = on;
}

std::size_t EmulatedUsbReminder::outSubmits() const {
    std::lock_guard lock(state_->mutex);
    return state_->out_submits;
}

std::size_t EmulatedUsbReminder::inSubmits() const {
    std::lock_guard lock(state_->mutex);
    return state_->in_submits;
}


std::size_t EmulatedUsbReminder::claims() const {
    std::lock_guard lock(state_->mutex);
    return state_->claims;
}

}  // namespace velmora::sim
