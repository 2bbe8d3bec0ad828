#pragma once
// The backup command of the main window (40004): signed in, the current
// user is closed and the backup dialog runs; signed out, the person is
// asked to sign in first and the account dialog runs, and only a sign-in
// there (result 1) goes on to the backup dialog.
#include <functional>

#include "online/service_settings.h"

namespace velmora {

class MainDlgLogic;

class BackupFlow {
public:
    // Runs the account dialog; its result (1 after a sign-in).
    using AccountDialog = std::function<int(MainDlgLogic& main)>;

    BackupFlow(ServiceSettings service, AccountDialog account)
        : service_(std::move(service)), account_(std::move(account)) {}

    void setService(ServiceSettings service) { service_ = std::move(service); }
    void setAccountDialog(AccountDialog account) { account_ = std::move(account); }

    void run(MainDlgLogic& main);

private:
    ServiceSettings service_;
    AccountDialog account_;
};

}  // namespace velmora
