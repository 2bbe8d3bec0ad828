#include "ui/logic/reminder/reminder_commands.h"

namespace velmora {

ReminderCommands::ReminderCommands(UsbTransport& usb, const Clock& linkClock, RecordStore& store, UiHost& host,
                                   const StringSource& strings, const Clock& clock, CurrentUser& user,
                                   ReminderWindow& window, ArrivalCommand::WatchStarter startWatch,
                                   ReminderRunner* runner)
    : session(usb, linkClock, runner),
      arrival({store, host, strings, clock, user, session, window}, std::move(startWatch)),
      ownerless({store, host, strings, clock, user, session, window}),
      storeForChosenUser({store, host, strings, clock, user, session, window}),
      program({store, host, strings, clock, user, session, window}),
      empty({store, host, strings, clock, user, session, window}),
      user_(user),
      window_(window) {
    program.setFinished([this] { arrival.settle(); });
    arrival.ownerless = [this] { ownerless.start(); };
    arrival.removed = [this] { ownerless.cancel(); };
}

void ReminderCommands::userManagementEnded(bool closed) {
    if (!closed) storeForChosenUser.start();
    else if (user_.id < 1 && window_.reminderConnected()) ownerless.start();
}

}  // namespace velmora
