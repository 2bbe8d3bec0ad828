#include "core/clock.h"

#include <ctime>

namespace velmora {

SYSTEMTIME SystemClock::localNow() const { return fromTimeValue(std::time(nullptr)); }

}  // namespace velmora
