#pragma once
// The modal dialogs that the reminder flows show over the main window: the
// clock check before programming (ProgramDlg), the result of a programming
// run (ProgrammingFinishedDlg) and the wait for the spare reminder
// (WaitProgramDlg). Each can be ended from outside: the flow ends the
// spare wait when a reminder arrives, the main window ends any of them
// when the reminder is removed.
#include <functional>

#include "core/clock.h"
#include "core/interaction.h"
#include "device/reminder_link.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// The message of a failed reminder operation: `firstLineId` (what failed)
// first, then why (the reminder was pulled out, or the transfer failed at
// `step`) and `nextStepId`, what to do now.
Text deviceFailureText(const StringSource& strings, int firstLineId, LinkStep step, bool pulledOut,
                       int nextStepId);

// A dialog model that the program can end while it is open.
class EndableDialogModel : public DialogModel {
public:
    // Ends the dialog with `result`: at once when a window shows it, else
    // as soon as one does.
    void end(int result);
    // The window that shows the dialog installs this while it is open.
    void setEndListener(std::function<void(int)> listener);
    // The result asked for before a window existed (0 = none); reading it
    // clears it.
    int takePendingEnd();
    int pendingEnd() const { return pending_; }

private:
    std::function<void(int)> listener_;
    int pending_ = 0;
};

// Checks the computer's date and time before the first programming run.
class ProgramDlgLogic : public EndableDialogModel {
public:
    static constexpr int kTemplateId = 159;
    static constexpr int kIdInstructions = 57723;
    static constexpr int kIdDate = 1003;
    static constexpr int kIdTime = 1004;
    static constexpr int kIdDateCaption = 1005;
    static constexpr int kIdTimeCaption = 1006;
    static constexpr int kIdProgram = kIdOk;
    // How often the date and time labels are refreshed.
    static constexpr int kRefreshMs = 1000;

    ProgramDlgLogic(const StringSource& strings, const Clock& clock)
        : strings_(strings), clock_(clock) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;  // keyed controls; empty otherwise
    Text dateText() const;  // "%02d.%02d.%d" of the local clock
    Text timeText() const;  // "%02d:%02d"

private:
    const StringSource& strings_;
    const Clock& clock_;
};

// The result of a programming run, with the report button.
class ProgrammingFinishedDlgLogic : public EndableDialogModel {
public:
    static constexpr int kTemplateId = 204;
    static constexpr int kIdReport = 1001;  // also its result
    static constexpr int kIdClose = kIdOk;
    static constexpr int kIdResult = 1003;

    ProgrammingFinishedDlgLogic(const StringSource& strings, Text resultText)
        : strings_(strings), result_(std::move(resultText)) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;  // kIdReport, kIdClose, kIdResult; empty otherwise

private:
    const StringSource& strings_;
    Text result_;
};

// "Kytke varalaite": waits until the spare reminder is attached.
class WaitProgramDlgLogic : public EndableDialogModel {
public:
    static constexpr int kTemplateId = 182;
    static constexpr int kIdMessage = 57747;

    explicit WaitProgramDlgLogic(const StringSource& strings) : strings_(strings) {}
    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text controlText(int controlId) const;  // kIdMessage and Cancel; empty otherwise
    // The flow's call when a reminder arrived and identified: ends with 1.
    void reminderArrived() { end(kIdOk); }

private:
    const StringSource& strings_;
};

}  // namespace velmora
