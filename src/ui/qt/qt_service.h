#pragma once
// Clients of the web service whose reply notices run in the Qt event loop.
#include "ui/logic/service_access.h"

namespace velmora {

// Makes clients with the service settings of the environment; each
// finished transfer is queued to the application's event loop, where the
// notice runs (nothing runs once the client is gone).
ServiceAccess::MakeClient qtServiceClients();

}  // namespace velmora
