#include "core/records.h"

#include <algorithm>

#include "core/datetime.h"

namespace velmora {

bool alarmStartsBefore(const Alarm& a, const Alarm& b) {
    return toTimeValue64(a.alarm_start) < toTimeValue64(b.alarm_start);
}

Text withoutLineFeeds(const Text& v) {
    Text out = v;
    out.erase(std::remove(out.begin(), out.end(), '\n'), out.end());
    return out;
}

void Profile::setName(const Text& v) { name = withoutLineFeeds(v); }
void Profile::setSsn(const Text& v) { ssn = withoutLineFeeds(v); }
void Profile::setPhone(const Text& v) { phone = withoutLineFeeds(v); }

}  // namespace velmora
