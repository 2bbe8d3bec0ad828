#pragma once
// Attachment of the reminder: arrival and removal (held back while a dialog
// is open or a job runs), reading it, finding its owner and storing its
// log. A reminder without an owner goes to the ownerless command.
#include <functional>

#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class ArrivalCommand final : public Command {
public:
    // Starts the platform's arrival and removal notices (a reminder
    // already attached comes as an arrival); false when there are none.
    using WatchStarter = std::function<bool()>;

    ArrivalCommand(const ReminderContext& context, WatchStarter startWatch)
        : c_(context), startWatch_(std::move(startWatch)) {}

    // After sign-in: the notices, or one look for an attached reminder.
    // Finished after each arrival or removal it handled.
    void start() override;
    // An arrival or removal notice, on the user-interface thread.
    void deviceEvent(bool arrived);
    // A dialog closed or a job ended: the last held-back event runs once
    // none is open and no job runs.
    void settle();
    // A reminder was read that has no owner.
    std::function<void()> ownerless;
    // The reminder was removed: a dialog about it must end.
    std::function<void()> removed;

private:
    void onArrival();
    void onRemoval();
    bool heldBack() const;
    void spareArrived();

    ReminderContext c_;
    WatchStarter startWatch_;
};

// Reads the whole connected reminder; false (with the message) when it
// failed. Arrival and the ownerless command read it.
bool readReminder(const ReminderContext& c);

// storeReadBack for `owner`, with the not-stored messages.
void storeLog(const ReminderContext& c, int owner, bool checkProgrammingTime);

}  // namespace velmora
