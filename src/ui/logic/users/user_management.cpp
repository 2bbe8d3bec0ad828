#include "ui/logic/users/user_management.h"

#include "ui/logic/users/profile_dlg_logic.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

// What follows the choice, or the dialog closed without one.
void afterChoice(const UserManagementContext& c, bool closed) {
    if (closed) c.window.userDialogClosed();
    if (c.afterwards) c.afterwards(closed);
    c.window.usersChanged();
    c.window.setBusy(false);
    c.window.noticeCutTexts();
}

}  // namespace

void UserManagementCommand::start() {
    c_.window.savePanelState();
    ProfileDlgLogic dlg(c_.user, c_.store, c_.strings, c_.host, c_.clock, c_.prepare, c_.service);
    afterChoice(c_, c_.host.runDialog(dlg) == kIdCancel);
    finish();
}

bool chooseUser(const UserManagementContext& c, int id) {
    c.window.savePanelState();
    if (!c.store.selectUser(c.user, id, c.clock.nowValue(), c.prepare, RecordStore::SaveCurrent::No)) {
        c.host.showMessage(c.strings.load(ids::kOperationFailed), c.strings.load(ids::kCaptionError),
                           MessageIcon::Error);
        c.window.usersChanged();
        return false;
    }
    afterChoice(c, false);
    return true;
}

}  // namespace velmora
