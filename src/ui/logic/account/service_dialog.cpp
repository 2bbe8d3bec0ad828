#include "ui/logic/account/service_dialog.h"

namespace velmora {

// A reply queued for a dialog already closed is dropped by the client
// (its tasks hold only a weak reference to it).
ServiceDialogModel::ServiceDialogModel(const ServiceAccess& access)
    : client_(access.makeClient([this] {
          replyArrived();
          if (changed_) changed_();
      })) {}

}  // namespace velmora
