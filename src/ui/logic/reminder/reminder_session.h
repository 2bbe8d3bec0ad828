#pragma once
// The connected reminder as the main window's flows share it: the link and
// its read-back table, whether the last read succeeded and its log is safe
// to clear, the programming job mark, and the dialogs that device events
// end. User-interface thread only.
#include <cstdint>

#include "core/clock.h"
#include "device/alarm_table.h"
#include "device/reminder_link.h"
#include "device/usb_transport.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {

struct ReminderSession {
    ReminderSession(UsbTransport& usb, const Clock& clock) : transport(usb), link(usb, readBack, clock) {}
    ReminderSession(const ReminderSession&) = delete;
    ReminderSession& operator=(const ReminderSession&) = delete;

    enum class Event { None, Arrived, Left };

    UsbTransport& transport;
    AlarmTable readBack;
    ReminderLink link;

    // The connected reminder was read completely (program and empty need it).
    bool readOk = false;
    // Its log is stored, empty or was declined: programming may clear it.
    bool logSafe = false;
    // A programming job runs (from the program command to the spare offer).
    bool jobActive = false;
    // The computer's clock was confirmed once in this program run.
    bool clockConfirmed = false;
    // Dialogs that a device event ends while they are open.
    EndableDialogModel* spareWait = nullptr;     // ended by an arrival
    EndableDialogModel* ownerlessDlg = nullptr;  // ended by a removal
    // The last arrival or removal that waits for the dialogs and the job
    // to end.
    Event pending = Event::None;

    // Reads the whole reminder into the read-back table; its log is not
    // stored yet.
    bool read() {
        readBack.clear();
        readOk = link.readAll();
        logSafe = false;
        return readOk;
    }
    std::uint32_t serial() const { return link.identity().serial; }
};

}  // namespace velmora
