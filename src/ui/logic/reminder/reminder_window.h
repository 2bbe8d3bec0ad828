#pragma once
// The main window as the reminder commands see it: the window notices of
// every command and the reminder's own state in the window.
#include <cstdint>

#include "ui/logic/command.h"

namespace velmora {

class ReminderWindow : public WindowNotices {
public:
    // A reminder was read (`serial`), or none is usable any more.
    virtual void setReminderConnected(bool connected, std::uint32_t serial) = 0;
    virtual bool reminderConnected() const = 0;
    // While set, a removal does not close the current user.
    virtual void setProgrammingInProgress(bool inProgress) = 0;
    // The reminder was removed (also at start-up): its commands off, the
    // user closed unless a job runs.
    virtual void reminderRemoved() = 0;
    // The medication window chosen in the panel, in seconds.
    virtual int panelWindowSeconds() const = 0;
    // Redraws the user panel only.
    virtual void refreshPanel() = 0;
    // The current user is the no-user profile of an ownerless reminder.
    virtual void setNoUserProfile(bool noUser) = 0;
    virtual bool noUserProfile() const = 0;
};

}  // namespace velmora
