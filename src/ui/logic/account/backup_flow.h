#pragma once
// The backup command of the main window (cmd::kBackup): signed in, the
// current user is closed and the backup dialog runs; signed out, the
// person is asked to sign in first and the account dialog runs, and only a
// sign-in there goes on to the backup dialog. A restore there replaces the
// database under the window.
#include "core/clock.h"
#include "store/record_store.h"
#include "ui/logic/account/service_access.h"
#include "ui/logic/command.h"
#include "ui/logic/ui_host.h"

namespace velmora {

struct BackupContext {
    CurrentUser& user;
    RecordStore& store;
    const StringSource& strings;
    UiHost& host;
    const Clock& clock;
    const ServiceAccess& service;
    WindowNotices& window;
};

class BackupCommand final : public Command {
public:
    explicit BackupCommand(BackupContext context) : c_(context) {}
    void start() override;

private:
    BackupContext c_;
};

}  // namespace velmora
