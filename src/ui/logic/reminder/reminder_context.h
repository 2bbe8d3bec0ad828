#pragma once
// What every reminder command is constructed with: the records, the person,
// the texts, the clock, the current user, the connected reminder, and what
// the main window does when a command tells it something.
#include "core/clock.h"
#include "core/records.h"
#include "store/record_store.h"
#include "ui/logic/reminder/reminder_session.h"
#include "ui/logic/reminder/reminder_window.h"
#include "ui/logic/ui_host.h"

namespace velmora {

struct ReminderContext {
    RecordStore& store;
    UiHost& host;
    const StringSource& strings;
    const Clock& clock;
    CurrentUser& user;
    ReminderSession& session;
    ReminderWindow& window;
};

}  // namespace velmora
