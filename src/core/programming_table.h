#pragma once
// The instants that programming writes into the reminder: the user's alarm
// occurrences ahead of now, as many as the reminder takes.
#include "core/records.h"
#include "core/types.h"

namespace velmora {

// Fills user.alarm_table (its capacity is the identified reminder's) with
// the occurrence instants of the user's alarms ahead of `now`. False when
// there is nothing to program: no alarms, nothing ahead of now, or no
// instant at all in the table.
bool buildProgrammingTable(CurrentUser& user, const SYSTEMTIME& now);

}  // namespace velmora
