#pragma once
// The backup command of the main window (40004): signed in, the current
// user is closed and the backup dialog runs; signed out, the person is
// asked to sign in first and the account dialog runs, and only a sign-in
// there goes on to the backup dialog.
#include "ui/logic/account/service_access.h"

namespace velmora {

class MainDlgLogic;

class BackupFlow {
public:
    void run(MainDlgLogic& main, const ServiceAccess& service);
};

}  // namespace velmora
