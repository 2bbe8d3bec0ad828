#pragma once
// The simulated reminder as a USB device that an unmodified libusb program
// finds and talks to, through umockdev: the device appears in an emulated
// sysfs with the reminder's descriptors, and its usbdevfs requests (URB
// submit, reap, discard) are answered here from the simulated reminder.
// The process must run with LD_PRELOAD=libumockdev-preload.so.0, and an
// instance must exist before libusb is initialised.
#include <cstddef>
#include <memory>

#include "device/usb_ids.h"
#include "reminder-sim/simulated_reminder.h"

namespace velmora::sim {

class EmulatedUsbReminder {
public:
    // Where the device names the reminder's interface class, if anywhere.
    enum class ClassIn { MsOs20, MsOs10, Nowhere };
    struct Options {
        UsbIds ids = kPlaceholderReminderUsbIds;
        // Maximum packet size of the bulk endpoints; 0 leaves the IN endpoint out.
        std::size_t in_packet_size = 64;
        ClassIn interface_class = ClassIn::MsOs20;
        // Its device number on bus 1 (1-127): devices that are emulated at
        // the same time need different ones.
        int device_number = 7;
    };
    EmulatedUsbReminder(SimulatedReminder& reminder, Options options);
    explicit EmulatedUsbReminder(SimulatedReminder& reminder);
    ~EmulatedUsbReminder();
    EmulatedUsbReminder(const EmulatedUsbReminder&) = delete;
    EmulatedUsbReminder& operator=(const EmulatedUsbReminder&) = delete;

    // True when the umockdev preload library is active in this process.
    static bool available();
    // Runs this program again (argv) with the preload library added to
    // LD_PRELOAD; returns only when that failed.
    static void rerunWithPreload(char** argv);

    // Attaches the reminder (an "add" event); answering starts.
    void plug();
    // Detaches it (a "remove" event): URBs in flight and new ones fail
    // with "no such device", and replies not yet read are lost.
    void unplug();
    bool plugged() const;

    // Request URBs stay in flight without completing (a write that times out).
    void stallWrites(bool on);

    // URBs submitted so far on the OUT and the IN endpoint; interface claims.
    std::size_t outSubmits() const;
    std::size_t inSubmits() const;
    std::size_t claims() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace velmora::sim
