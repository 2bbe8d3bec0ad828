#pragma once
// What a command that talks to the web service works on: the current user
// and the store, the person, the strings and the clock, the service, and
// the window it tells about what it changed.
#include "core/clock.h"
#include "store/record_store.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/command.h"
#include "ui/logic/ui_host.h"

namespace velmora {

struct ServiceCommandContext {
    CurrentUser& user;
    RecordStore& store;
    const StringSource& strings;
    UiHost& host;
    const Clock& clock;
    const ServiceAccess& service;
    WindowNotices& window;
};

}  // namespace velmora
