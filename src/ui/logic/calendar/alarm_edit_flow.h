#pragma once
// Adding, editing and deleting the current user's alarms at the calendar
// views' request: runs the alarm dialog, removes a single occurrence of a
// repeating alarm, keeps a pouch alarm going after an edited or deleted
// dose, and writes every change of one request in one transaction.
#include <functional>
#include <vector>

#include "core/clock.h"
#include "core/interaction.h"
#include "core/records.h"
#include "store/alarm_edits.h"
#include "store/record_store.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// What the alarm editing works on.
struct AlarmEditContext {
    RecordStore& store;
    UiHost& host;
    const StringSource& strings;
    const Clock& clock;
    CurrentUser& user;
    // The medication window the spacing rule keeps at the time of a
    // request, in seconds.
    std::function<int()> window;
    // After the current user's alarms changed (the list is already
    // reloaded): recompute whether the reminder must be programmed again,
    // mark the month view stale and refresh.
    std::function<void()> changed;
};

// What removing the occurrence at `occurrence` does to `alarm`: a single
// alarm, or the occurrence on its first day, deletes it; a later
// occurrence ends the series the day before (and it no longer repeats
// forever). A pouch alarm every other week also gets a continuation from
// the next dose on, titled `pouchTitle`.
AlarmEdits occurrenceRemoval(const Alarm& alarm, const SYSTEMTIME& occurrence,
                             const Text& pouchTitle);

// What editing the occurrence at `occurrence` of `alarm` into `edited`
// writes: the occurrence is stored as the edit flow stores a removed one
// (occurrenceRemoval), and `edited` takes its place. A pouch dose that
// still repeats every other week in the dialog is that one dose moved: it
// is stored as a single alarm, beside the pouch's continuation. `edited`
// is taken as the dialog accepted it (title, type and description set).
AlarmEdits occurrenceEdit(const Alarm& alarm, const SYSTEMTIME& occurrence, Alarm edited,
                          const Text& pouchTitle);

// `alarms` as they stand once `edits` are written.
std::vector<Alarm> alarmsAfter(const std::vector<Alarm>& alarms, const AlarmEdits& edits);

// The calendar's requests on the current user's alarms.
class AlarmEditFlow final : public AlarmRequests {
public:
    explicit AlarmEditFlow(AlarmEditContext context) : c_(std::move(context)) {}

    // A new alarm from `start`. Without a current user the person is told
    // to create or choose one.
    void add(const SYSTEMTIME& start) override;
    // Edits the occurrence at `occurrence` of `alarm`: the occurrence and
    // the days after it give way to the dialog's alarm. A pouch alarm is
    // edited only after a Yes.
    void edit(const SYSTEMTIME& occurrence, const Alarm& alarm) override;
    // Deletes the occurrence at `occurrence` of `alarm`: a single alarm
    // after a Yes; of a repeating one the doses the person chooses.
    void remove(const SYSTEMTIME& occurrence, const Alarm& alarm) override;

private:
    // Writes `edits` for `owner`, the user the request began with; tells
    // the person when nothing could be written.
    void commit(AlarmEdits& edits, int owner);

    AlarmEditContext c_;
};

}  // namespace velmora
