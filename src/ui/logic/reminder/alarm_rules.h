#pragma once
// What the user's reminder should hold and whether it must be programmed
// again: the expected instants and the needs-programming rule on top of
// the current user's records.
#include <vector>

#include "core/records.h"
#include "core/types.h"
#include "store/record_store.h"

namespace velmora {

inline constexpr TimeValue kExpectedRangeSeconds = 1814400;  // 21 days

// The instants the user's reminder should hold now: the occurrences from
// now up to the reminder's last alarm (at least 21 days ahead), at most as
// many as the reminder was given, ascending and distinct.
std::vector<TimeValue> expectedInstants(RecordStore& store, const CurrentUser& user,
                                        TimeValue now);

// True when the reminder must be programmed again: the window differs from
// the one programmed, the reminder's last alarm is less than 21 days ahead,
// or the expected instants are not the leading instants of what was
// programmed (from now on).
bool needsProgramming(RecordStore& store, const CurrentUser& user, int currentWindow,
                      TimeValue now);

// Records what was just written into the user's reminder.
void rememberProgrammed(CurrentUser& user, const std::vector<TimeValue>& instants, int window);

// The seam of RecordStore::selectUser: the programmed instants of a user
// whose reminder was programmed from these records are the expected ones.
AlarmTablePreparer alarmTablePreparer(RecordStore& store);

// Selects user `id` as the current user with the device's preparer: the
// store drops the previous user's programmed instants and window; when the
// stored flag is false they become the expected instants and the flag is
// set when the reminder is due for programming.
bool selectUserWithReminder(RecordStore& store, CurrentUser& user, int id, TimeValue now,
                            RecordStore::SaveCurrent save = RecordStore::SaveCurrent::Yes);

}  // namespace velmora
