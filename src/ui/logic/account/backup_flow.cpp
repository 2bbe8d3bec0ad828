#include "ui/logic/account/backup_flow.h"

#include "ui/logic/account/backup_dlg_logic.h"

namespace velmora {

void BackupCommand::start() {
    if (signedInForService(c_.user, c_.host, c_.strings, c_.service)) {
        c_.window.closeUser();
        BackupDlgLogic dlg(c_.user, c_.store, c_.strings, c_.host, c_.clock, c_.service);
        dlg.setRestoredListener([this] { c_.window.databaseReplaced(); });
        c_.host.runDialog(dlg);
    }
    finish();
}

}  // namespace velmora
