#include "core/programming_table.h"

#include "core/schedule.h"

namespace velmora {

bool buildProgrammingTable(CurrentUser& user, const SYSTEMTIME& now) {
    const bool filled = fillInstantList(user.alarm_table, user.alarms, user.alarms, now, user.daylight);
    // An alarm whose end lies ahead may still have no occurrence ahead.
    return filled && !user.alarm_table.empty();
}

}  // namespace velmora
