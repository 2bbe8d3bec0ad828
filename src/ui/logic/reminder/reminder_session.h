#pragma once
// The connected reminder as the main window's flows share it: the link and
// its read-back table, whether the last read succeeded and its log is safe
// to clear, the programming job mark, and the dialogs that device events
// end. The flows reach the reminder only through the operations here.
// User-interface thread only.
#include <cstdint>

#include "core/clock.h"
#include "core/instant_list.h"
#include "device/alarm_table.h"
#include "device/programming_pass.h"
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

    // ---- Operations on the reminder ----
    // Opens the link to an attached reminder.
    bool open() { return link.open() == kTransportOk; }
    // After removal: the link is dropped; nothing was read.
    void disconnect() {
        link.disconnect();
        readOk = false;
    }
    bool connected() const { return link.connected(); }
    // Reads only the identity (a spare that arrived).
    bool identify() { return link.readIdentity(); }
    // One programming pass with `table`; see runProgrammingPass.
    PassResult program(const InstantList& table, std::uint32_t windowSeconds, bool own, const Clock& clock) {
        return runProgrammingPass(link, table, windowSeconds, own, clock);
    }
    // Clears the table and the log area; the step that failed, or None.
    LinkStep empty() {
        readBack.clear();
        return !link.clearTableArea() ? LinkStep::ClearTable
               : !link.clearLogArea() ? LinkStep::ClearLog
                                      : LinkStep::None;
    }
    // After a failure: whether the reminder still answers.
    bool answers() { return link.answers(); }
    LinkStep failedStep() const { return link.failedStep(); }
    std::uint16_t battery() const { return link.battery(); }
    std::uint32_t reminderWindow() const { return link.reminderWindow(); }
    int unrecognisedModelCount() const { return link.unrecognisedModelCount(); }
    void setProgrammingTable(InstantList* table) { link.setProgrammingTable(table); }
};

}  // namespace velmora
