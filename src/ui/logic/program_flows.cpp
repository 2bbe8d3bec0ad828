#include "ui/logic/program_flows.h"

#include "resources/resource_module.h"
#include "ui/logic/user_manual.h"

namespace velmora {

void ProgramFlows::useReminder(UsbTransport& transport, const Clock& clock,
                               ReminderFlow::WatchStarter startWatch, ReminderRunner* runner) {
    job_.reset();
    reminder_.reset();
    session_ = std::make_unique<ReminderSession>(transport, clock, runner);
    reminder_ = std::make_unique<ReminderFlow>(*session_, std::move(startWatch));
    job_ = std::make_unique<ProgrammingJob>(*session_);
}

void ProgramFlows::deviceEvent(MainDlgLogic& main, bool arrived) {
    if (reminder_) reminder_->deviceEvent(main, arrived);
}

void ProgramFlows::modalsClosed(MainDlgLogic& main) {
    if (reminder_) reminder_->settle(main);
    pouch_.modalsClosed(main);
}

void ProgramFlows::startDeviceWatch(MainDlgLogic& main) {
    if (reminder_) reminder_->startDeviceWatch(main);
}

void ProgramFlows::programmingJob(MainDlgLogic& main) {
    if (!job_) return MainDlgFlows::programmingJob(main);
    job_->run(main);
    reminder_->settle(main);
}

void ProgramFlows::emptyReminder(MainDlgLogic& main) {
    if (!reminder_) return MainDlgFlows::emptyReminder(main);
    reminder_->emptyReminder(main);
}

void ProgramFlows::ownerlessReminder(MainDlgLogic& main) {
    if (reminder_) reminder_->ownerlessReminder(main);
}

void ProgramFlows::storeReadBackForChosenUser(MainDlgLogic& main) {
    if (reminder_) reminder_->storeReadBackForChosenUser(main);
}

void ProgramFlows::userManual(MainDlgLogic& main) { openUserManual(main.host(), main.strings(), programDirectory()); }

void ProgramFlows::printAlarmReport(MainDlgLogic& main) {
    ProgrammingJob::printAlarmReport(main);
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
