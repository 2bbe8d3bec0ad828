// One programming pass against the simulated reminder: what reaches the
// reminder, what the pass says it wrote, and a pass that fails midway.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/datetime.h"
#include "device/alarm_table.h"
#include "device/programming_pass.h"
#include "device/reminder_link.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;

namespace {

struct PassCase {
    int model;
    int instants;
    bool own;
    std::size_t silentAfter;  // SIZE_MAX: the reminder answers everything
    LinkStep failed;
    int written;
};

TEST(ProgrammingPass, WritesWhatFitsAndSaysWhichStepFailed) {
    const PassCase cases[] = {
        {3, 600, true, SIZE_MAX, LinkStep::None, 600},
        {1, 600, false, SIZE_MAX, LinkStep::None, 500},  // a smaller spare takes fewer
        {1, 10, true, 10, LinkStep::ClearTable, 0},
        {1, 10, true, 70, LinkStep::ClearLog, 0},
        {1, 10, true, 140, LinkStep::WriteTable, 0},
    };
    for (const PassCase& c : cases) {
        FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
        sim::SimulatedReminder reminder(c.model, 77);
        sim::SimTransport transport(reminder);
        AlarmTable readBack;
        InstantList table(2000);
        ReminderLink link(transport, readBack, clock);
        link.setProgrammingTable(&table);
        for (int i = 0; i < c.instants; ++i) table.add(clock.nowValue() + 3600 * (i + 1));
        ASSERT_EQ(link.open(), kTransportOk);
        ASSERT_TRUE(link.readIdentity());
        reminder.setLogWord(3, 1);
        reminder.resetCounters();
        reminder.goSilentAfter(c.silentAfter);

        const PassResult r = runProgrammingPass(link, table, 1200, c.own, clock);
        EXPECT_EQ(r.failed, c.failed) << c.model << "/" << c.silentAfter;
        EXPECT_EQ(r.count(), c.written) << c.model;
        if (!r.ok()) continue;
        EXPECT_EQ(reminder.tableInstants().size(), static_cast<std::size_t>(c.written));
        EXPECT_EQ(r.lastAlarm(), static_cast<TimeValue>(reminder.tableInstants().back()));
        EXPECT_EQ(reminder.programmingTime(), static_cast<std::uint32_t>(r.programming_time));
        EXPECT_EQ(reminder.window(), 1200u);
        EXPECT_EQ(reminder.logWord(3), 0u);
        EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), c.own ? 1u : 0u);
    }
}

}  // namespace
