#include "ui/logic/calendar/alarm_edit_flow.h"

#include <algorithm>

#include "core/datetime.h"
#include "core/schedule.h"
#include "online/pouch.h"
#include "resources/string_ids.h"
#include "ui/logic/calendar/alarm_dlg_logic.h"
#include "ui/logic/calendar/delete_dose_dlg_logic.h"

namespace velmora {

namespace {

constexpr int kHandAlarmType = 0;
constexpr int kPouchAlarmType = 1;
// A pouch alarm's next dose comes this many days after the edited one.
constexpr int kPouchStepDays = 14;

bool sameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// Descriptions are stored with a double quotation mark for every
// apostrophe.
Text withQuotesForApostrophes(Text text) {
    std::replace(text.begin(), text.end(), '\'', '"');
    return text;
}

// The dialog's accepted alarm as it is stored.
Alarm storedAlarm(const AlarmDlgLogic& dlg, const StringSource& strings, bool pouch) {
    Alarm a = dlg.result();
    a.id = 0;
    a.title = strings.load(pouch ? ids::kPouchAlarmTitle : ids::kAlarmTitle);
    a.alarm_type = pouch ? kPouchAlarmType : kHandAlarmType;
    a.description = withQuotesForApostrophes(a.description);
    return a;
}

}  // namespace

AlarmEdits occurrenceRemoval(const Alarm& alarm, const SYSTEMTIME& occurrence,
                             const Text& pouchTitle) {
    AlarmEdits edits;
    if (alarm.alarm_type == kPouchAlarmType && alarm.repeat_pattern == kPouchRepeatPattern) {
        // The doses after this one go on as a new alarm, at the same local
        // time two calendar weeks on (across a daylight-saving change too).
        Alarm next;
        next.alarm_start = addDays(occurrence, kPouchStepDays);
        next.repeat_forever = alarm.repeat_forever;
        next.alarm_end = alarm.repeat_forever ? next.alarm_start : alarm.alarm_end;
        next.repeat_pattern = kPouchRepeatPattern;
        next.alarm_type = kPouchAlarmType;
        next.title = pouchTitle;
        next.description = alarm.description;
        if (next.repeat_forever || toTimeValue64(next.alarm_start) <= toTimeValue64(next.alarm_end))
            edits.inserted.push_back(next);
    }
    if (stepDays(alarm.repeat_pattern) == 0 || sameDate(occurrence, alarm.alarm_start)) {
        edits.deleted.push_back(alarm.id);
    } else {
        // The series keeps the days before the occurrence. Its end is the
        // same clock time one calendar day earlier, so a daylight-saving
        // change on the day before cannot take that day's alarm with it.
        Alarm ended = alarm;
        ended.alarm_end = addDays(occurrence, -1);
        ended.repeat_forever = false;
        edits.updated.push_back(ended);
    }
    return edits;
}

AlarmEdits occurrenceEdit(const Alarm& alarm, const SYSTEMTIME& occurrence, Alarm edited,
                          const Text& pouchTitle) {
    AlarmEdits edits = occurrenceRemoval(alarm, occurrence, pouchTitle);
    const bool pouchDose = alarm.alarm_type == kPouchAlarmType &&
                           alarm.repeat_pattern == kPouchRepeatPattern &&
                           edited.repeat_pattern == kPouchRepeatPattern;
    if (pouchDose) {
        // The continuation carries the later doses at their own time;
        // another series from here would ring each of them twice.
        edited.repeat_pattern = 0;
        edited.repeat_forever = false;
        edited.alarm_end = edited.alarm_start;
    }
    edits.inserted.push_back(std::move(edited));
    return edits;
}

std::vector<Alarm> alarmsAfter(const std::vector<Alarm>& alarms, const AlarmEdits& edits) {
    std::vector<Alarm> out;
    out.reserve(alarms.size() + edits.inserted.size());
    for (const Alarm& a : alarms) {
        if (std::find(edits.deleted.begin(), edits.deleted.end(), a.id) != edits.deleted.end())
            continue;
        auto updated = std::find_if(edits.updated.begin(), edits.updated.end(),
                                    [&](const Alarm& u) { return u.id == a.id; });
        out.push_back(updated != edits.updated.end() ? *updated : a);
    }
    out.insert(out.end(), edits.inserted.begin(), edits.inserted.end());
    return out;
}

void AlarmEditFlow::add(const SYSTEMTIME& start) {
    const AlarmEditContext& c = c_;
    if (c.user.id <= 0) {
        c.host.showMessage(c.strings.load(ids::kCreateOrChooseUser),
                           c.strings.load(ids::kCaptionError), MessageIcon::None);
        return;
    }
    const int owner = c.user.id;
    AlarmDlgLogic::Setup setup;
    setup.start = setup.end = start;
    setup.window = c.window();
    AlarmDlgLogic dlg(setup, c.user.alarms, c.strings, c.host, c.clock, c.user.daylight);
    if (c.host.runDialog(dlg) != kIdOk) return;
    AlarmEdits edits;
    edits.inserted.push_back(storedAlarm(dlg, c.strings, false));
    commit(edits, owner);
}

void AlarmEditFlow::edit(const SYSTEMTIME& occurrence, const Alarm& alarm) {
    const AlarmEditContext& c = c_;
    const int owner = c.user.id;
    if (owner <= 0) return;
    const bool pouch = alarm.alarm_type == kPouchAlarmType;
    if (pouch && !c.host.askYesNo(c.strings.load(ids::kConfirmEditPouchAlarm),
                                  c.strings.load(ids::kCaptionQuestion)))
        return;
    const Text pouchTitle = c.strings.load(ids::kPouchAlarmTitle);
    const AlarmEdits removal = occurrenceRemoval(alarm, occurrence, pouchTitle);
    AlarmDlgLogic::Setup setup;
    setup.editing = true;
    setup.window = c.window();
    setup.start = occurrence;
    setup.end = alarm.alarm_end;
    setup.repeatPattern = alarm.repeat_pattern;
    setup.repeatForever = alarm.repeat_forever;
    setup.description = alarm.description;
    AlarmDlgLogic dlg(setup, alarmsAfter(c.user.alarms, removal), c.strings, c.host, c.clock,
                      c.user.daylight);
    if (c.host.runDialog(dlg) != kIdOk) return;
    AlarmEdits edits = occurrenceEdit(alarm, occurrence, storedAlarm(dlg, c.strings, pouch), pouchTitle);
    commit(edits, owner);
}

void AlarmEditFlow::remove(const SYSTEMTIME& occurrence, const Alarm& alarm) {
    const AlarmEditContext& c = c_;
    const int owner = c.user.id;
    if (owner <= 0) return;
    const Text pouchTitle = c.strings.load(ids::kPouchAlarmTitle);
    AlarmEdits edits;
    if (stepDays(alarm.repeat_pattern) == 0) {
        if (!c.host.askDestructive(c.strings.load(ids::kConfirmDeleteAlarm),
                                   c.strings.load(ids::kCaptionQuestion)))
            return;
        edits = occurrenceRemoval(alarm, occurrence, pouchTitle);
    } else {
        // A repeating alarm: the person says which doses go.
        DeleteDoseDlgLogic dlg(c.strings, occurrence);
        if (c.host.runDialog(dlg) != kIdOk) return;
        edits = doseDeletion(alarm, occurrence, dlg.choice, pouchTitle);
    }
    commit(edits, owner);
}

void AlarmEditFlow::commit(AlarmEdits& edits, int owner) {
    const AlarmEditContext& c = c_;
    if (!writeAlarmEdits(c.store, edits, owner)) {
        c.host.showMessage(c.strings.load(ids::kOperationFailed), c.strings.load(ids::kCaptionError),
                           MessageIcon::Error);
        return;
    }
    if (c.user.id != owner) {
        // Another user became current while the dialog was open (the
        // reminder was removed or attached). The owner's reminder no
        // longer holds the owner's alarms: say so in the stored profile,
        // where selecting the owner again will find it.
        Profile p;
        if (c.store.loadProfile(owner, p) && p.id == owner) {
            p.is_programming_needed = true;
            c.store.updateProfile(p);
        }
        return;
    }
    std::vector<Alarm> reloaded;
    if (c.store.loadAlarms(owner, reloaded)) {
        c.user.alarms = std::move(reloaded);
    } else {
        c.user.alarms = alarmsAfter(c.user.alarms, edits);
    }
    std::stable_sort(c.user.alarms.begin(), c.user.alarms.end(), alarmStartsBefore);
    if (c.changed) c.changed();
}

}  // namespace velmora
