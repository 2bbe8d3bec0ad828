#pragma once
// The dose plan dialog (File > Dose plan...): how many weeks and the
// pharmacy's note, then Print..., Save as PDF... and Save as CSV... of the
// current user's plan from today on.
#include "core/clock.h"
#include "core/records.h"
#include "ui/logic/command.h"
#include "ui/logic/plan/dose_plan.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class DosePlanDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 41630;

    DosePlanDlgLogic(const CurrentUser& user, const StringSource& strings, UiHost& host, const SYSTEMTIME& today,
                     Text note, int weeks = kDefaultPlanWeeks)
        : user_(user), strings_(strings), host_(host), today_(today), note_(boundedPlanNote(note)) {
        setWeeks(weeks);
    }

    int templateId() const override { return kTemplateId; }

    int weeks() const { return weeks_; }
    void setWeeks(int weeks);
    const Text& note() const { return note_; }
    void setNote(const Text& note) { note_ = boundedPlanNote(note); }

    // The plan as the dialog stands now.
    DosePlan plan() const { return buildDosePlan(user_, today_, weeks_, note_); }
    Text csv() const { return dosePlanCsv(plan(), strings_); }
    Text html() const { return dosePlanHtml(plan(), strings_); }
    // The document's title and the files' suggested name: the plan's
    // title and the person's name.
    Text documentTitle() const;

    UiHost& host() const { return host_; }
    const StringSource& strings() const { return strings_; }

private:
    const CurrentUser& user_;
    const StringSource& strings_;
    UiHost& host_;
    SYSTEMTIME today_;
    int weeks_ = kDefaultPlanWeeks;
    Text note_;
};

// Offered with a current user; keeps the last weeks and note for the rest
// of the run (the note may name the person, so it is not written to disk).
class DosePlanCommand final : public Command {
public:
    DosePlanCommand(const CurrentUser& user, const StringSource& strings, UiHost& host, const Clock& clock)
        : user_(user), strings_(strings), host_(host), clock_(clock) {}
    void start() override;
    bool enabled() const override { return user_.id > 0; }

private:
    const CurrentUser& user_;
    const StringSource& strings_;
    UiHost& host_;
    const Clock& clock_;
    Text note_;
    int weeks_ = kDefaultPlanWeeks;
};

}  // namespace velmora
