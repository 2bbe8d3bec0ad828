#include "ui/logic/account/backup_flow.h"

#include "ui/logic/account/backup_dlg_logic.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

void BackupFlow::run(MainDlgLogic& main, const ServiceAccess& service) {
    if (!signedInForService(main.user(), main.host(), main.strings(), service)) return;
    main.closeUser();
    BackupDlgLogic dlg(main.user(), main.store(), main.strings(), main.host(), main.clock(), service);
    dlg.setRestoredListener([&main] { main.databaseReplaced(); });
    main.host().runDialog(dlg);
}

}  // namespace velmora
