#include "ui/logic/reminder/reminder_session.h"

namespace velmora {

template <class Work>
bool ReminderSession::job(std::span<const LinkStep> plan, Work&& work) {
    if (busy_) return false;
    busy_ = true;
    cancel_ = false;
    const auto body = [&](const ReminderRunner::Progress& report) {
        LinkProgress progress(plan, report, cancel_);
        link_.watch(&progress);
        work();
        link_.watch(nullptr);
    };
    if (runner_) runner_->run(plan.front(), body);
    else body(nullptr);
    busy_ = false;
    if (dropAfterJob_) {
        dropAfterJob_ = false;
        link_.disconnect();
    }
    connected_ = link_.connected();
    if (programmingTable_) programmingTable_->setCapacity(link_.memoryMap().table_capacity);
    return true;
}

bool ReminderSession::read() {
    readOk = false;
    logSafe = false;
    job(kReadSteps, [this] {
        readBack.clear();
        readOk = link_.readAll();
    });
    return readOk;
}

bool ReminderSession::open() {
    bool opened = false;
    job(kIdentifySteps, [&] { opened = link_.open() == kTransportOk; });
    return opened;
}

void ReminderSession::disconnect() {
    readOk = false;
    connected_ = false;
    if (!busy_) {
        link_.disconnect();
        return;
    }
    // The worker owns the link now: it stops at its next exchange.
    cancel_ = true;
    dropAfterJob_ = true;
}

bool ReminderSession::identify() {
    bool ok = false;
    job(kIdentifySteps, [&] { ok = link_.beginStep(LinkStep::Identify) && link_.readIdentity(); });
    return ok;
}

PassResult ReminderSession::program(const InstantList& table, std::uint32_t windowSeconds, bool own,
                                    const Clock& clock) {
    PassResult r;
    job(kPassSteps, [&] { r = runProgrammingPass(link_, table, windowSeconds, own, clock); });
    return r;
}

LinkStep ReminderSession::empty() {
    readBack.clear();
    LinkStep failed = LinkStep::NotConnected;
    job(kEmptySteps, [&] {
        const auto clears = [&](LinkStep step, bool (ReminderLink::*clear)()) {
            return link_.beginStep(step) && (link_.*clear)();
        };
        failed = !clears(LinkStep::ClearTable, &ReminderLink::clearTableArea) ? LinkStep::ClearTable
                 : !clears(LinkStep::ClearLog, &ReminderLink::clearLogArea)   ? LinkStep::ClearLog
                                                                              : LinkStep::None;
    });
    return failed;
}

bool ReminderSession::answers() {
    bool ok = false;
    job(kIdentifySteps, [&] { ok = link_.answers(); });
    return ok;
}

}  // namespace velmora
