#pragma once
// The present instant reaches the code through a Clock, so that tests can
// fix it.
#include "core/datetime.h"
#include "core/types.h"

namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    // The local clock as a calendar date-time.
    virtual SYSTEMTIME localNow() const = 0;
    TimeValue nowValue() const { return toTimeValue(localNow()); }
};

// The real local clock.
class SystemClock final : public Clock {
public:
    SYSTEMTIME localNow() const override;
};

// A clock that stands still (or moves only when told): for tests and
// benches.
class FixedClock final : public Clock {
public:
    explicit FixedClock(const SYSTEMTIME& t) : now_(t) {}
    SYSTEMTIME localNow() const override { return now_; }
    void set(const SYSTEMTIME& t) { now_ = t; }
    void advanceSeconds(std::int64_t s) { now_ = fromTimeValue(toTimeValue64(now_) + s); }

private:
    SYSTEMTIME now_;
};

}  // namespace velmora
