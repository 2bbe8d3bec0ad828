#pragma once
// The commands of the main window and how they tell the window what they
// changed.
//
// A command is one menu item or button (cmd::kBackup, cmd::kFetchPouchData
// ...). It is a plain object built by the program's composition root with
// only what it works on (the store, the person through UiHost, the strings,
// the clock, the current user, the web service, the window notices it
// needs) and registered with the window under its command id
// (MainDlgLogic::setCommand). The window routes a click to start() when
// enabled() allows, and draws the menu item or button enabled by the same
// rule; a window without a command for an id has that item disabled.
//
// A command that runs on after start() returns (a request to the web
// service, a job on the reminder) may be cancelled, and says through its
// finished callback when it is done; one that runs its dialog to the end
// inside start() calls it before start() returns.
#include <functional>

#include "core/text.h"

namespace velmora {

class Command {
public:
    using Finished = std::function<void()>;

    virtual ~Command() = default;

    virtual void start() = 0;
    // Stops work still running; nothing for a command that finishes in start().
    virtual void cancel() {}
    // Whether the window offers the command now.
    virtual bool enabled() const { return true; }

    void setFinished(Finished finished) { finished_ = std::move(finished); }

protected:
    void finish() const {
        if (finished_) finished_();
    }

private:
    Finished finished_;
};

// What a command tells the window after it changed something the window
// shows. The window implements it; a command receives it only when it
// changes such things.
class WindowNotices {
public:
    virtual ~WindowNotices() = default;

    // The current user's alarms changed (the list is already reloaded):
    // whether the reminder must be programmed again is recomputed for
    // `window` seconds and stored, the month view reloads, every view and
    // the panel are drawn again.
    virtual void alarmsChanged(int window) = 0;
    // The current user or the user list was changed or reloaded behind the
    // window's back: the month view reloads, every view and the panel are
    // drawn again.
    virtual void usersChanged() = 0;
    // The user management dialog was closed without choosing a user: the
    // views are drawn again and the panel shows intake for a user of that
    // type.
    virtual void userDialogClosed() = 0;
    // The wait cursor on (true) or off.
    virtual void setBusy(bool busy) = 0;
    // The status bar's text.
    virtual void setStatusText(const Text& text) = 0;
    // Once a run: tells the person that texts of the database were read
    // cut to their bound (after the users were read or a user selected).
    virtual void noticeCutTexts() = 0;
    // The panel's comment, programming type and window are written into the
    // user's record before a command reads or replaces it.
    virtual void savePanelState() = 0;
    // The current user is closed (its panel state saved first).
    virtual void closeUser() = 0;
    // The database file was replaced (a restore): the current user is
    // dropped without saving and the database opened as at start-up.
    virtual void databaseReplaced() = 0;
};

}  // namespace velmora
