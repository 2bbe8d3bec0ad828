#include "ui/logic/users/user_management.h"

#include "ui/logic/users/profile_dlg_logic.h"

namespace velmora {

void UserManagementCommand::start() {
    c_.window.savePanelState();
    ProfileDlgLogic dlg(c_.user, c_.store, c_.strings, c_.host, c_.clock, c_.prepare, c_.service);
    const bool closed = c_.host.runDialog(dlg) == kIdCancel;
    if (closed) c_.window.userDialogClosed();
    if (c_.afterwards) c_.afterwards(closed);
    c_.window.usersChanged();
    c_.window.setBusy(false);
    c_.window.noticeCutTexts();
    finish();
}

}  // namespace velmora
