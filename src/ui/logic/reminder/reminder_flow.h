#pragma once
// Attachment of the reminder: arrival and removal (held back while a dialog
// is open or a job runs), reading it, finding its owner, the reminder
// without an owner, the no-user profile, storing a chosen user's
// acknowledgements, and emptying the reminder.
#include <functional>

#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/reminder_session.h"

namespace velmora {

class ReminderFlow {
public:
    // Starts the platform's arrival and removal notices (a reminder
    // already attached comes as an arrival); false when there are none.
    using WatchStarter = std::function<bool()>;

    ReminderFlow(ReminderSession& session, WatchStarter startWatch)
        : s_(session), startWatch_(std::move(startWatch)) {}

    // After sign-in: the notices, or one look for an attached reminder.
    void startDeviceWatch(MainDlgLogic& main);
    // An arrival or removal notice, on the user-interface thread.
    void deviceEvent(MainDlgLogic& main, bool arrived);
    // Handles the last held-back event once no dialog is open and no job runs.
    void settle(MainDlgLogic& main);

    void onArrival(MainDlgLogic& main);
    void onRemoval(MainDlgLogic& main);
    void ownerlessReminder(MainDlgLogic& main);
    void storeReadBackForChosenUser(MainDlgLogic& main);
    void emptyReminder(MainDlgLogic& main);

private:
    bool heldBack(MainDlgLogic& main) const;
    void spareArrived(MainDlgLogic& main);
    void programWithoutUser(MainDlgLogic& main);
    // Reads the whole reminder; false (with the message) when it failed.
    bool readReminder(MainDlgLogic& main);
    // storeReadBack, with the not-stored message first.
    void storeLog(MainDlgLogic& main, int owner, bool checkProgrammingTime);

    ReminderSession& s_;
    WatchStarter startWatch_;
};

}  // namespace velmora
