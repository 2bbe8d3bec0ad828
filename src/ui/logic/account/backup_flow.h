#pragma once
// The backup command of the main window (cmd::kBackup): signed in, the
// current user is closed and the backup dialog runs; signed out, the
// person is asked to sign in first and the account dialog runs, and only a
// sign-in there goes on to the backup dialog. A restore there replaces the
// database under the window.
#include "ui/logic/account/service_command.h"

namespace velmora {

using BackupContext = ServiceCommandContext;

class BackupCommand final : public Command {
public:
    explicit BackupCommand(BackupContext context) : c_(context) {}
    void start() override;

private:
    BackupContext c_;
};

}  // namespace velmora
