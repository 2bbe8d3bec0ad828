#pragma once
// Changes of one user's alarms that belong together: the alarm editing
// ends or deletes an alarm, adds a continuation and stores the edited
// alarm. They are written in one transaction, so a failure in the middle
// leaves the stored alarms as they were.
#include <vector>

#include "core/records.h"
#include "store/record_store.h"

namespace velmora {

struct AlarmEdits {
    std::vector<int> deleted;     // ids of stored alarms to delete
    std::vector<Alarm> updated;   // stored alarms (id > 0) to rewrite
    std::vector<Alarm> inserted;  // new alarms of the owner
};

// Writes every change of `edits` for `owner` in one transaction: all or
// nothing. The ids of `edits.inserted` are set only when it committed.
// False, with nothing written, when the database did not open, a
// statement failed or the commit failed.
bool writeAlarmEdits(const RecordStore& store, AlarmEdits& edits, int owner);

}  // namespace velmora
