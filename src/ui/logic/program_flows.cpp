#include "ui/logic/program_flows.h"

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
}

void ProgramFlows::startDeviceWatch(MainDlgLogic& main) {
    if (reminder_) reminder_->startDeviceWatch(main);
}

void ProgramFlows::programmingJob(MainDlgLogic& main) {
    if (!job_) return;
    job_->run(main);
    reminder_->settle(main);
}

void ProgramFlows::emptyReminder(MainDlgLogic& main) {
    if (reminder_) reminder_->emptyReminder(main);
}

void ProgramFlows::ownerlessReminder(MainDlgLogic& main) {
    if (reminder_) reminder_->ownerlessReminder(main);
}

void ProgramFlows::storeReadBackForChosenUser(MainDlgLogic& main) {
    if (reminder_) reminder_->storeReadBackForChosenUser(main);
}

}  // namespace velmora
