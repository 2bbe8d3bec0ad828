#pragma once
// A reminder whose serial number has no owner: the person creates or
// chooses a user for it, or uses it without a user (the no-user profile
// made from what the reminder holds). And, once a user was chosen, the
// offer to store the reminder's acknowledgements for that user.
#include <functional>

#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class OwnerlessCommand final : public Command {
public:
    explicit OwnerlessCommand(const ReminderContext& context) : c_(context) {}

    // SelectActionDlg, unless it is open already; finished when it ended
    // and what was chosen is done.
    void start() override;
    // The reminder was removed: an open SelectActionDlg ends with cancel.
    void cancel() override;
    // A reminder is connected and the question is not open.
    bool enabled() const override { return c_.session.connected() && !c_.session.ownerlessDlg; }
    // "Luo tai valitse laitteelle käyttäjä": user management.
    std::function<void()> chooseUser;

private:
    void programWithoutUser();

    ReminderContext c_;
};

class StoreForChosenUserCommand final : public Command {
public:
    explicit StoreForChosenUserCommand(const ReminderContext& context) : c_(context) {}

    // The read-back log for the owner of the reminder as the store knows it
    // (none: the person is asked about the current user), without the
    // programming-time check; nothing when it is another person's.
    void start() override;
    // A reminder connected and read completely.
    bool enabled() const override { return c_.session.connected() && c_.session.readOk; }

private:
    ReminderContext c_;
};

}  // namespace velmora
