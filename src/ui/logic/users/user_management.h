#pragma once
// User management from the main window (cmd::kUserManagement and the
// panel's MainDlgLogic::kIdChooseUser): the panel is saved, the profile
// dialog runs, and what it leaves is drawn again. The reminder has its
// part after it (`afterwards`): `closed` is true when the dialog was
// closed without choosing a user.
#include <functional>

#include "ui/logic/account/service_command.h"

namespace velmora {

// The service is the dialog's name lookup.
struct UserManagementContext : ServiceCommandContext {
    // What a newly chosen user's reminder is believed to hold.
    AlarmTablePreparer prepare;
    std::function<void(bool closed)> afterwards;
};

class UserManagementCommand final : public Command {
public:
    explicit UserManagementCommand(UserManagementContext context) : c_(std::move(context)) {}
    void start() override;

private:
    UserManagementContext c_;
};

// Makes user `id` the current user as choosing in the dialog does (the
// panel saved first, then the reminder's part and the window redrawn).
// When the user is gone the person is told and false comes back.
bool chooseUser(const UserManagementContext& c, int id);

}  // namespace velmora
