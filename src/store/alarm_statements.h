#pragma once
// The statements that write one alarm row, on a connection the caller
// opened (and may hold in a transaction): shared by the record store and
// the alarm edits, so both write alarms with the same texts.
#include "core/records.h"

namespace velmora {

class Database;

// INSERT of a new alarm of `owner`; true when the step succeeded.
bool insertAlarmOn(Database& db, const Alarm& alarm, int owner);
// UPDATE of the row `alarm.id` (the owner is not changed).
bool updateAlarmOn(Database& db, const Alarm& alarm);
// DELETE of the row `id`.
bool deleteAlarmOn(Database& db, int id);

}  // namespace velmora
