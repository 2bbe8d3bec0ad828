#pragma once
// cmd::kEmptyReminder "Tyhjennä lääkemuistutin": clearing the connected reminder's table
// and log areas after the person confirms (twice when acknowledgements that
// are stored nowhere would go with them).
#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class EmptyCommand final : public Command {
public:
    explicit EmptyCommand(const ReminderContext& context) : c_(context) {}

    // Finished when emptied, failed or declined.
    void start() override;
    // With a reminder read.
    bool enabled() const override { return c_.window.reminderConnected(); }

private:
    void empty();

    ReminderContext c_;
};

}  // namespace velmora
