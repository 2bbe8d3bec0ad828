#include "device/programming_pass.h"

#include "device/alarm_table.h"

namespace velmora {

PassResult runProgrammingPass(ReminderLink& link, const InstantList& table,
                              std::uint32_t windowSeconds, bool own, const Clock& clock) {
    PassResult r;
    if (!link.connected()) return r;
    const auto fails = [&](LinkStep step) {
        r.failed = step;
        return r;
    };
    if (!link.beginStep(LinkStep::ClearTable)) return fails(LinkStep::ClearTable);
    link.sendCommand(kCmdStartProgramming);
    if (!link.clearTableArea()) return fails(LinkStep::ClearTable);
    if (!link.beginStep(LinkStep::ClearLog) || !link.clearLogArea()) return fails(LinkStep::ClearLog);
    if (!link.beginStep(LinkStep::WriteSettings)) return fails(LinkStep::WriteSettings);
    r.programming_time = clock.nowValue();
    link.sendClock(static_cast<std::uint32_t>(clock.nowValue()), windowSeconds);
    const MemoryMap& map = link.memoryMap();
    const std::vector<std::uint8_t> image = encodeTableArea(table, r.programming_time, map);
    if (!link.beginStep(LinkStep::WriteTable) || !link.writeTableArea(image)) return fails(LinkStep::WriteTable);
    // What the reminder holds is checked before it is finished and before
    // anything about it is stored.
    if (!link.beginStep(LinkStep::Verify) || !link.verifyTableArea(image)) return fails(LinkStep::Verify);
    const std::size_t n = encodedEntryCount(table, map);
    r.written.assign(table.items().begin(), table.items().begin() + static_cast<std::ptrdiff_t>(n));
    if (own) link.sendCommand(kCmdFinishOwn);
    r.failed = LinkStep::None;
    return r;
}

}  // namespace velmora
