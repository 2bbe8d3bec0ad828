#pragma once
// What every reminder command is constructed with: the records, the person,
// the texts, the clock, the current user, the connected reminder, and what
// the main window does when a command tells it something.
#include <cstdint>

#include "core/clock.h"
#include "core/records.h"
#include "store/record_store.h"
#include "ui/logic/reminder/reminder_session.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// The main window as the reminder commands see it.
class ReminderWindow {
public:
    virtual ~ReminderWindow() = default;
    // The wait cursor on (true) or off.
    virtual void setBusy(bool busy) = 0;
    // The status line's reminder text.
    virtual void setStatusText(const Text& text) = 0;
    // A reminder was read (`serial`), or none is usable any more.
    virtual void setReminderConnected(bool connected, std::uint32_t serial) = 0;
    virtual bool reminderConnected() const = 0;
    // While set, a removal does not close the current user.
    virtual void setProgrammingInProgress(bool inProgress) = 0;
    // The reminder was removed (also at start-up): commands off, the user
    // closed unless a job runs.
    virtual void reminderRemoved() = 0;
    // The panel's comment, method and window into the user's record.
    virtual void savePanelState() = 0;
    // The medication window chosen in the panel, in seconds.
    virtual int panelWindowSeconds() const = 0;
    // Redraws the user panel only.
    virtual void refreshPanel() = 0;
    // The user or the alarms changed: every view, the month view too.
    virtual void refreshAll() = 0;
    // Once a run: texts of the database were read cut.
    virtual void noticeCutTexts() = 0;
    virtual void closeUser() = 0;
    // User management (the person creates or chooses a user).
    virtual void userManagement() = 0;
    // The current user is the no-user profile of an ownerless reminder.
    virtual void setNoUserProfile(bool noUser) = 0;
    virtual bool noUserProfile() const = 0;
};

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
