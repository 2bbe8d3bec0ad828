#include "ui/logic/calendar/delete_dose_dlg_logic.h"

#include "core/datetime.h"
#include "core/schedule.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/calendar/alarm_edit_flow.h"

namespace velmora {

AlarmEdits doseDeletion(const Alarm& alarm, const SYSTEMTIME& occurrence, DoseDeletion which,
                        const Text& pouchTitle) {
    if (which == DoseDeletion::WholeSeries) return AlarmEdits{{alarm.id}, {}, {}};
    AlarmEdits edits = occurrenceRemoval(alarm, occurrence, pouchTitle);
    if (which == DoseDeletion::ThisAndLater) {
        edits.inserted.clear();  // no continuation: the later doses go too
        return edits;
    }
    const int step = stepDays(alarm.repeat_pattern);
    if (step == 0 || !edits.inserted.empty()) return edits;  // a pouch alarm goes on already
    Alarm next = alarm;
    next.id = 0;
    next.alarm_start = addDays(occurrence, step);
    if (alarm.repeat_forever) next.alarm_end = next.alarm_start;
    if (alarm.repeat_forever || toTimeValue64(next.alarm_start) <= toTimeValue64(alarm.alarm_end))
        edits.inserted.push_back(next);
    return edits;
}

Text DeleteDoseDlgLogic::title() const { return strings_.load(ids::kDeleteDoseTitle); }

Text DeleteDoseDlgLogic::question() const { return strings_.load(ids::kDeleteDoseQuestion); }

Text DeleteDoseDlgLogic::choiceText(DoseDeletion which) const {
    switch (which) {
        case DoseDeletion::ThisDose:
            return fillPlaceholder(strings_.load(ids::kDeleteOnlyThisDose), formatDateTime(occurrence_));
        case DoseDeletion::ThisAndLater: return strings_.load(ids::kDeleteThisAndLaterDoses);
        case DoseDeletion::WholeSeries: return strings_.load(ids::kDeleteWholeSeries);
    }
    return {};
}

}  // namespace velmora
