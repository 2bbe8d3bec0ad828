#include "device/programming_pass.h"

#include "device/alarm_table.h"

namespace velmora {

PassResult runProgrammingPass(ReminderLink& link, const InstantList& table,
                              std::uint32_t windowSeconds, bool own, const Clock& clock) {
    PassResult r;
    if (!link.connected()) return r;
    link.sendCommand(kCmdStartProgramming);
    if (!link.clearTableArea()) {
        r.failed = LinkStep::ClearTable;
        return r;
    }
    if (!link.clearLogArea()) {
        r.failed = LinkStep::ClearLog;
        return r;
    }
    r.programming_time = clock.nowValue();
    link.sendClock(static_cast<std::uint32_t>(clock.nowValue()), windowSeconds);
    const MemoryMap& map = link.memoryMap();
    if (!link.writeTableArea(encodeTableArea(table, r.programming_time, map))) {
        r.failed = LinkStep::WriteTable;
        return r;
    }
    const std::size_t n = encodedEntryCount(table, map);
    r.written.assign(table.items().begin(), table.items().begin() + static_cast<std::ptrdiff_t>(n));
    if (own) link.sendCommand(kCmdFinishOwn);
    r.failed = LinkStep::None;
    return r;
}

}  // namespace velmora
