#pragma once
// Pouch data in the main window: the Tools commands that fetch the current
// user's pouch data from the service and turn it into the user's pouch
// alarms, and that update the pouch alarms of every user in one run.
#include <memory>
#include <optional>

#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/account/service_access.h"

namespace velmora {

class PouchFlow {
public:
    // Fetches the current user's pouch data by identity code; only when
    // signed in. The reply comes to reply() through the main window.
    void fetch(MainDlgLogic& main, const ServiceAccess& access);
    // 32882: the reply. It is applied only to the user it was asked for;
    // while a dialog is open it waits for modalsClosed().
    void reply(MainDlgLogic& main);
    void modalsClosed(MainDlgLogic& main);
    // Every user with an identity code, one request at a time (dialog 188).
    void updateAll(MainDlgLogic& main, const ServiceAccess& access);
    // Drops the client: no notice comes any more.
    void reset();

private:
    void apply(MainDlgLogic& main, int code, const Text& payload, ServiceFailure failure);

    std::unique_ptr<ServiceClient> client_;
    struct Request {
        int userId;
        Text name;
    };
    std::optional<Request> request_;  // the request out, if any
    bool heldBack_ = false;           // its reply waits for the dialogs to close
};

}  // namespace velmora
