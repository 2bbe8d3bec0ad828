#pragma once
// The base of the dialogs that talk to the web service: each owns one
// ServiceClient while it is open, sends one request at a time and handles
// the reply on the user-interface thread, where the client's notice runs.
#include <functional>
#include <memory>

#include "online/service_client.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/reminder/device_dialogs_logic.h"

namespace velmora {

class ServiceDialogModel : public EndableDialogModel {
public:
    // Set while a request is out: the wait cursor over the dialog.
    bool busy() const { return busy_; }
    // The window shows the model again when this runs (after a reply).
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

protected:
    explicit ServiceDialogModel(const ServiceAccess& access);
    ServiceClient& client() { return *client_; }
    // The reply of the request sent last; the client's reply is ready.
    virtual void replyArrived() = 0;

    bool busy_ = false;

private:
    std::function<void()> changed_;
    std::unique_ptr<ServiceClient> client_;
};

}  // namespace velmora
