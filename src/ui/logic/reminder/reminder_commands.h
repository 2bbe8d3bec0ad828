#pragma once
// The reminder commands of the main window on one connected reminder, and
// how they hear of each other: a job that ends lets held-back device events
// run, an arrival without owner starts the ownerless command, a removal
// cancels it. The composition root registers program and empty with the
// window and gives the ownerless command its way to user management.
#include "device/usb_transport.h"
#include "ui/logic/reminder/arrival_command.h"
#include "ui/logic/reminder/empty_command.h"
#include "ui/logic/reminder/ownerless_command.h"
#include "ui/logic/reminder/program_command.h"

namespace velmora {

struct ReminderCommands {
    // `linkClock` times the reminder's link (its programming time and clock);
    // the reminder's jobs run through `runner` (none: on the calling thread).
    ReminderCommands(UsbTransport& usb, const Clock& linkClock, RecordStore& store, UiHost& host,
                     const StringSource& strings, const Clock& clock, CurrentUser& user, ReminderWindow& window,
                     ArrivalCommand::WatchStarter startWatch, ReminderRunner* runner = nullptr);
    ReminderCommands(const ReminderCommands&) = delete;
    ReminderCommands& operator=(const ReminderCommands&) = delete;

    // User management ended: with a user chosen (`closed` false) the
    // connected reminder's acknowledgements are offered to that user;
    // closed without a user while a reminder is connected, the ownerless
    // question comes again.
    void userManagementEnded(bool closed);

    ReminderSession session;
    ArrivalCommand arrival;
    OwnerlessCommand ownerless;
    StoreForChosenUserCommand storeForChosenUser;
    ProgramCommand program;
    EmptyCommand empty;

private:
    const CurrentUser& user_;
    const ReminderWindow& window_;
};

}  // namespace velmora
