#include "ui/logic/reminder/device_dialogs_logic.h"

#include <utility>

#include "core/datetime.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/reminder/reminder_runner.h"

namespace velmora {

Text deviceFailureText(const StringSource& strings, int firstLineId, LinkStep step, bool pulledOut,
                       int nextStepId) {
    const int stepId = linkStepTextId(step);
    const Text reason = pulledOut || stepId == 0 ? strings.load(ids::kReasonPulledOut)
                        : step == LinkStep::Verify
                            ? strings.load(ids::kReasonTableNotAsWritten)
                            : fillPlaceholder(strings.load(ids::kReasonTransferFailedAt), strings.load(stepId));
    return strings.load(firstLineId) + "\n\n" + reason + "\n" + strings.load(nextStepId);
}

void EndableDialogModel::end(int result) {
    if (listener_) {
        listener_(result);
    } else {
        pending_ = result;
    }
}

void EndableDialogModel::setEndListener(std::function<void(int)> listener) {
    listener_ = std::move(listener);
}

int EndableDialogModel::takePendingEnd() {
    const int p = pending_;
    pending_ = 0;
    return p;
}

// ---- ProgramDlg ----

Text ProgramDlgLogic::title() const { return strings_.load(ids::kProgramDlgTitle); }

Text ProgramDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdInstructions: return strings_.load(ids::kCheckDateAndTime);
        case kIdDateCaption: return strings_.load(ids::kDateLabel);
        case kIdTimeCaption: return strings_.load(ids::kTimeLabel);
        case kIdProgram: return strings_.load(ids::kProgram);
        case kIdCancel: return strings_.load(ids::kCancel);
        default: return {};
    }
}

Text ProgramDlgLogic::dateText() const { return formatDate(clock_.localNow()); }
Text ProgramDlgLogic::timeText() const { return formatTimeOfDay(clock_.localNow()); }

// ---- ProgrammingFinishedDlg ----

Text ProgrammingFinishedDlgLogic::title() const { return strings_.load(ids::kCaptionConfirmation); }

Text ProgrammingFinishedDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdReport: return strings_.load(ids::kPrintAlarmReport);
        case kIdClose: return strings_.load(ids::kCloseButton);
        case kIdResult: return result_;
        default: return {};
    }
}

// ---- WaitProgramDlg ----

Text WaitProgramDlgLogic::title() const { return strings_.load(ids::kConnectSpare); }

Text WaitProgramDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdMessage: return strings_.load(ids::kConnectSpareUnplugOwnFirst);
        case kIdCancel: return strings_.load(ids::kCancel);
        default: return {};
    }
}

}  // namespace velmora
