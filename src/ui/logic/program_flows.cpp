#include "ui/logic/program_flows.h"

#include "resources/resource_module.h"
#include "ui/logic/user_manual.h"

namespace velmora {

void ProgramFlows::modalsClosed(MainDlgLogic& main) {
    if (reminder_) reminder_->arrival.settle();
    pouch_.modalsClosed(main);
}

void ProgramFlows::startDeviceWatch(MainDlgLogic&) {
    if (reminder_) reminder_->arrival.start();
}

void ProgramFlows::programmingJob(MainDlgLogic& main) {
    if (!reminder_) return MainDlgFlows::programmingJob(main);
    reminder_->program.start();
}

void ProgramFlows::emptyReminder(MainDlgLogic& main) {
    if (!reminder_) return MainDlgFlows::emptyReminder(main);
    reminder_->empty.start();
}

void ProgramFlows::ownerlessReminder(MainDlgLogic&) {
    if (reminder_) reminder_->ownerless.start();
}

void ProgramFlows::storeReadBackForChosenUser(MainDlgLogic&) {
    if (reminder_) reminder_->storeForChosenUser.start();
}

void ProgramFlows::userManual(MainDlgLogic& main) { openUserManual(main.host(), main.strings(), programDirectory()); }

void ProgramFlows::printAlarmReport(MainDlgLogic& main) {
    ProgramCommand::printAlarmReport(main.store(), main.host(), main.strings(), main.user().id);
}

void ProgramFlows::useAccount(AccountFlow::Setup setup) {
    pouch_.reset();
    account_ = std::make_unique<AccountFlow>(std::move(setup));
}

ServiceAccess ProgramFlows::serviceAccess(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::serviceAccess(main);
    ServiceAccess access = account_->service();
    access.signIn = [this, &main] { return runAccountDialog(main) == kIdOk; };
    return access;
}

void ProgramFlows::backup(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::backup(main);
    backup_.run(main, serviceAccess(main));
}

void ProgramFlows::fetchPouchData(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::fetchPouchData(main);
    pouch_.fetch(main, serviceAccess(main));
}

void ProgramFlows::updateAllPouchData(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::updateAllPouchData(main);
    pouch_.updateAll(main, serviceAccess(main));
}

bool ProgramFlows::signIn(MainDlgLogic& main, int& exitCode) {
    return account_ ? account_->signIn(main, exitCode) : MainDlgFlows::signIn(main, exitCode);
}

int ProgramFlows::runAccountDialog(MainDlgLogic& main) {
    return account_ ? account_->runAccountDialog(main) : MainDlgFlows::runAccountDialog(main);
}

void ProgramFlows::changePassword(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::changePassword(main);
    account_->changePassword(main);
}

void ProgramFlows::checkUpdates(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::checkUpdates(main);
    account_->openUpdatePage(main);
}

void ProgramFlows::registration(MainDlgLogic& main) {
    if (!account_) return MainDlgFlows::registration(main);
    account_->openRegistrationPage(main);
}

}  // namespace velmora
