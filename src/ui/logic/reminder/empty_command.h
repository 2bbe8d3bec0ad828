#pragma once
// 40015 "Tyhjennä lääkemuistutin": clearing the connected reminder's table
// and log areas after the person confirms (twice when acknowledgements that
// are stored nowhere would go with them).
#include <functional>

#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class EmptyCommand {
public:
    explicit EmptyCommand(const ReminderContext& context) : c_(context) {}

    void start();
    // With a reminder read.
    bool enabled() const { return c_.window.reminderConnected(); }
    // Emptied, failed or declined.
    std::function<void()> finished;

private:
    void empty();

    ReminderContext c_;
};

}  // namespace velmora
