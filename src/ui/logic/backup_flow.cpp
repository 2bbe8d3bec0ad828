#include "ui/logic/backup_flow.h"

#include "resources/string_ids.h"
#include "ui/logic/backup_dlg_logic.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

void BackupFlow::run(MainDlgLogic& main) {
    if (!main.user().logged_in) {
        main.host().showMessage(main.strings().load(ids::kSignInFirst),
                                main.strings().load(ids::kCaptionConfirmation), MessageIcon::Information);
        if (!account_ || account_(main) != kIdOk) return;
    }
    main.closeUser();
    BackupDlgLogic dlg(main.user(), main.store(), main.strings(), main.host(), main.clock(), service_);
    dlg.setRestoredListener([&main] { main.databaseReplaced(); });
    main.host().runDialog(dlg);
}

}  // namespace velmora
