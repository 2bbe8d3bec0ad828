#include "ui/logic/program_flows.h"

#include "resources/resource_module.h"
#include "ui/logic/user_manual.h"

namespace velmora {

void ProgramFlows::useReminder(UsbTransport& transport, const Clock& clock,
                               ReminderFlow::WatchStarter startWatch) {
    job_.reset();
    reminder_.reset();
    session_ = std::make_unique<ReminderSession>(transport, clock);
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

void ProgramFlows::usePouchService(ServiceAccess::MakeClient makeClient) {
    pouch_.reset();
    makeServiceClient_ = std::move(makeClient);
}

bool ProgramFlows::signInForService(MainDlgLogic& main) {
    account(main);  // the account dialog of command 40011
    return main.user().logged_in;
}

ServiceAccess ProgramFlows::serviceAccess(MainDlgLogic& main) {
    if (!makeServiceClient_) return {};
    return {makeServiceClient_, [this, &main] { return signInForService(main); }};
}

void ProgramFlows::fetchPouchData(MainDlgLogic& main) {
    if (!makeServiceClient_) return MainDlgFlows::fetchPouchData(main);
    pouch_.fetch(main, serviceAccess(main));
}

void ProgramFlows::updateAllPouchData(MainDlgLogic& main) {
    if (!makeServiceClient_) return MainDlgFlows::updateAllPouchData(main);
    pouch_.updateAll(main, serviceAccess(main));
}

}  // namespace velmora
