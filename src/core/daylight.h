#pragma once
// Daylight-saving start and end instants per year.
#include <map>

#include "core/types.h"

namespace velmora {

struct DaylightTable {
    std::map<int, TimeValue> start;  // year -> instant daylight saving begins
    std::map<int, TimeValue> end;    // year -> instant daylight saving ends

    // A year that the table does not cover reads as 0: no transition.
    TimeValue startOf(int year) const {
        auto it = start.find(year);
        return it == start.end() ? 0 : it->second;
    }
    TimeValue endOf(int year) const {
        auto it = end.find(year);
        return it == end.end() ? 0 : it->second;
    }
};

}  // namespace velmora
