#include "core/records.h"

#include <algorithm>
#include <utility>

#include "core/datetime.h"

namespace velmora {

bool alarmStartsBefore(const Alarm& a, const Alarm& b) {
    return toTimeValue64(a.alarm_start) < toTimeValue64(b.alarm_start);
}

Text withoutLineFeeds(Text v) {
    v.erase(std::remove(v.begin(), v.end(), '\n'), v.end());
    return v;
}

void Profile::setName(Text v) { name = withoutLineFeeds(std::move(v)); }
void Profile::setSsn(Text v) { ssn = withoutLineFeeds(std::move(v)); }
void Profile::setPhone(Text v) { phone = withoutLineFeeds(std::move(v)); }

}  // namespace velmora
