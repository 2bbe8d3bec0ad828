#pragma once
// The connected reminder as the main window's flows share it: the link and
// its read-back table, whether the last read succeeded and its log is safe
// to clear, the programming job mark, and the dialogs that device events
// end. The flows reach the reminder only through the operations here.
// Called on the user-interface thread only; each operation on the reminder
// runs as one job through the runner (on a worker thread that owns the
// link until the job returns) and returns when the job is done.
#include <atomic>
#include <cstdint>
#include <span>

#include "core/clock.h"
#include "core/instant_list.h"
#include "device/alarm_table.h"
#include "device/programming_pass.h"
#include "device/reminder_link.h"
#include "device/usb_transport.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/reminder/reminder_runner.h"

namespace velmora {

struct ReminderSession {
    // Without a runner each job runs at once on the calling thread.
    ReminderSession(UsbTransport& usb, const Clock& clock, ReminderRunner* runner = nullptr)
        : transport(usb), link_(usb, readBack, clock), runner_(runner) {}
    ReminderSession(const ReminderSession&) = delete;
    ReminderSession& operator=(const ReminderSession&) = delete;

    enum class Event { None, Arrived, Left };

    UsbTransport& transport;
    // Written by the jobs; read between them.
    AlarmTable readBack;

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
    bool read();
    std::uint32_t serial() const { return link_.identity().serial; }

    // ---- Operations on the reminder ----
    // While one job runs (a device notice came meanwhile) another one
    // fails at once without touching the reminder.
    // Opens the link to an attached reminder.
    bool open();
    // After removal: the link is dropped; nothing was read. During a job
    // the job is cancelled and the link is dropped when it returned.
    void disconnect();
    bool connected() const { return connected_; }
    // Reads only the identity (a spare that arrived).
    bool identify();
    // One programming pass with `table`; see runProgrammingPass.
    PassResult program(const InstantList& table, std::uint32_t windowSeconds, bool own, const Clock& clock);
    // Clears the table and the log area; the step that failed, or None.
    LinkStep empty();
    // After a failure: whether the reminder still answers.
    bool answers();
    LinkStep failedStep() const { return link_.failedStep(); }
    std::uint16_t battery() const { return link_.battery(); }
    std::uint32_t reminderWindow() const { return link_.reminderWindow(); }
    int unrecognisedModelCount() const { return link_.unrecognisedModelCount(); }
    // The programming table whose capacity follows the identified model.
    // It belongs to the user-interface thread: the capacity is set there
    // after each job, never by the worker.
    void setProgrammingTable(InstantList* table) { programmingTable_ = table; }
    // A job is running now (its caller waits for it).
    bool busy() const { return busy_; }

private:
    // Runs `work` as one job of `plan`'s steps; false when another job runs.
    template <class Work>
    bool job(std::span<const LinkStep> plan, Work&& work);

    ReminderLink link_;
    ReminderRunner* runner_;
    InstantList* programmingTable_ = nullptr;
    std::atomic<bool> cancel_{false};
    bool busy_ = false;
    bool connected_ = false;
    bool dropAfterJob_ = false;
};

}  // namespace velmora
