#pragma once
// Deleting one occurrence of a repeating alarm: the question which doses
// go (only this one, this and every later one, or the whole series) and
// what each answer writes.
#include "core/interaction.h"
#include "core/records.h"
#include "store/alarm_edits.h"
#include "ui/logic/ui_host.h"

namespace velmora {

enum class DoseDeletion { ThisDose, ThisAndLater, WholeSeries };

// The changes that delete the doses `which` names of `alarm`, counted from
// the occurrence at `occurrence`. Only this dose: the series is cut around
// it as an edited occurrence is, and goes on from the next dose with the
// same end. This and later: the series keeps only the days before.
// Whole series: the alarm is deleted.
AlarmEdits doseDeletion(const Alarm& alarm, const SYSTEMTIME& occurrence, DoseDeletion which,
                        const Text& pouchTitle);

class DeleteDoseDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 41350;

    DeleteDoseDlgLogic(const StringSource& strings, const SYSTEMTIME& occurrence)
        : strings_(strings), occurrence_(occurrence) {}

    int templateId() const override { return kTemplateId; }

    Text title() const;
    Text question() const;
    // The text of each answer; the one of this dose names its date and time.
    Text choiceText(DoseDeletion which) const;
    const StringSource& strings() const { return strings_; }

    // The least destructive answer until the person picks another.
    DoseDeletion choice = DoseDeletion::ThisDose;

private:
    const StringSource& strings_;
    SYSTEMTIME occurrence_;
};

}  // namespace velmora
