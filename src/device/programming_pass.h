#pragma once
// The device part of one programming pass on the connected reminder: start,
// clear the table and log areas, set the clock and window, write the table
// image, read it back to check it and, for the user's own reminder, finish
// it (the steps of kPassSteps). Says which step failed
// and what was actually written (a smaller reminder takes fewer instants).
#include <cstdint>
#include <vector>

#include "core/clock.h"
#include "core/instant_list.h"
#include "core/types.h"
#include "device/reminder_link.h"

namespace velmora {

struct PassResult {
    LinkStep failed = LinkStep::NotConnected;  // None on success
    TimeValue programming_time = 0;
    std::vector<TimeValue> written;  // the instants encoded into the image

    bool ok() const { return failed == LinkStep::None; }
    TimeValue lastAlarm() const { return written.empty() ? 0 : written.back(); }
    int count() const { return static_cast<int>(written.size()); }
};

// One pass with `table` and `windowSeconds`. `own` sends 0x92 at the end
// (a spare reminder is not finished). The programming time and the clock
// sent are read from `clock`. A failed clearing fails the pass: old log
// words would otherwise be read back against the new instants. A table
// read back other than written fails it with Verify. A cancelled job
// fails at the step it was in.
PassResult runProgrammingPass(ReminderLink& link, const InstantList& table,
                              std::uint32_t windowSeconds, bool own, const Clock& clock);

}  // namespace velmora
