// One programming pass against the simulated reminder: what reaches the
// reminder, what the pass says it wrote, a pass that fails midway, the
// read-back check, the job's steps and weights, and cancellation.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <span>
#include <vector>

#include "core/clock.h"
#include "core/datetime.h"
#include "device/alarm_table.h"
#include "device/link_progress.h"
#include "device/programming_pass.h"
#include "device/reminder_link.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "support/forwarding_transport.h"

using namespace velmora;

namespace {

// Flips one byte of every block read back from `address` (a reminder whose
// memory does not keep what was written).
class FlippingTransport : public velmora::testing::ForwardingTransport {
public:
    FlippingTransport(UsbTransport& to, std::uint16_t address) : ForwardingTransport(&to), address_(address) {}
    TransportStatus transfer(const PacketBuffer& q, PacketBuffer& a, std::size_t& n) override {
        const TransportStatus s = ForwardingTransport::transfer(q, a, n);
        if (address_ && getU16(q.data()) == kCmdReadBlock && getU16(q.data() + kBlockAddressOffset) == address_)
            a[kBlockDataOffset + 5] ^= 0x40;
        return s;
    }

private:
    std::uint16_t address_;
};

struct PassCase {
    int model;
    int instants;
    bool own;
    std::size_t silentAfter;  // SIZE_MAX: the reminder answers everything
    std::uint16_t flipAt;     // a block address read back wrong, or 0
    LinkStep cancelAt;        // the job is cancelled at this step's report number `cancelReport`
    int cancelReport;         // 1: as it begins, 2: a percent into it
    LinkStep failed;
    int written;
};

TEST(ProgrammingPass, WritesWhatFitsChecksItAndSaysWhichStepFailed) {
    constexpr auto None = LinkStep::None;
    const PassCase cases[] = {
        {3, 600, true, SIZE_MAX, 0, None, 0, None, 600},
        {1, 600, false, SIZE_MAX, 0, None, 0, None, 500},  // a smaller spare takes fewer
        {1, 10, true, 10, 0, None, 0, LinkStep::ClearTable, 0},
        {1, 10, true, 70, 0, None, 0, LinkStep::ClearLog, 0},
        {1, 10, true, 140, 0, None, 0, LinkStep::WriteTable, 0},
        {2, 10, true, SIZE_MAX, 32, None, 0, LinkStep::Verify, 0},    // the header read back wrong
        {2, 10, true, SIZE_MAX, 4064, None, 0, LinkStep::Verify, 0},  // the last block
        {1, 10, true, 200, 0, None, 0, LinkStep::Verify, 0},          // silent while checking
        {2, 10, true, SIZE_MAX, 0, LinkStep::ClearLog, 2, LinkStep::ClearLog, 0},
        {2, 10, true, SIZE_MAX, 0, LinkStep::WriteSettings, 1, LinkStep::WriteSettings, 0},
        {2, 10, true, SIZE_MAX, 0, LinkStep::Verify, 2, LinkStep::Verify, 0},
    };
    for (const PassCase& c : cases) {
        FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
        sim::SimulatedReminder reminder(c.model, 77);
        sim::SimTransport sim(reminder);
        FlippingTransport transport(sim, c.flipAt);
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
        std::atomic<bool> cancel{false};
        std::size_t requestsAtCancel = 0;
        int reports = 0;
        LinkProgress progress(kPassSteps, [&](LinkStep step, int) {
            if (step != c.cancelAt || ++reports != c.cancelReport) return;
            cancel = true;
            requestsAtCancel = reminder.requestCount();
        }, cancel);
        link.watch(&progress);

        const PassResult r = runProgrammingPass(link, table, 1200, c.own, clock);
        EXPECT_EQ(r.failed, c.failed) << c.model << "/" << c.silentAfter << "/" << c.flipAt;
        EXPECT_EQ(r.count(), c.written) << c.model;
        if (cancel) {
            EXPECT_EQ(reminder.requestCount(), requestsAtCancel) << "nothing is sent once cancelled";
        }
        if (!r.ok()) {
            EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), 0u) << "a failed pass does not finish the reminder";
            continue;
        }
        EXPECT_EQ(reminder.tableInstants().size(), static_cast<std::size_t>(c.written));
        EXPECT_EQ(r.lastAlarm(), static_cast<TimeValue>(reminder.tableInstants().back()));
        EXPECT_EQ(reminder.programmingTime(), static_cast<std::uint32_t>(r.programming_time));
        EXPECT_EQ(reminder.window(), 1200u);
        EXPECT_EQ(reminder.clock(), static_cast<std::uint32_t>(clock.nowValue()));
        EXPECT_EQ(reminder.logWord(3), 0u);
        EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), c.own ? 1u : 0u);
    }
}

// The steps of a full read and of an own pass, in order, each weighted by
// the exchanges it makes: the progress runs through them once and ends at 100.
TEST(LinkProgress, StepsComeInOrderAndTheirWeightsAreTheExchangesMade) {
    for (const int model : {1, 3}) {
        for (const bool pass : {false, true}) {
            FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
            sim::SimulatedReminder reminder(model, 77);
            sim::SimTransport transport(reminder);
            AlarmTable readBack;
            InstantList table(2000);
            table.add(clock.nowValue() + 3600);
            ReminderLink link(transport, readBack, clock);
            ASSERT_EQ(link.open(), kTransportOk);
            ASSERT_TRUE(link.readIdentity());
            const std::span<const LinkStep> plan = pass ? std::span<const LinkStep>(kPassSteps) : kReadSteps;
            std::vector<LinkStep> steps;
            std::vector<std::size_t> startedAt;  // requests made before each step
            int last = -1;
            bool rising = true;
            std::atomic<bool> cancel{false};
            LinkProgress progress(plan, [&](LinkStep s, int percent) {
                if (steps.empty() || steps.back() != s) {
                    steps.push_back(s);
                    startedAt.push_back(reminder.requestCount());
                }
                rising = rising && percent >= last;
                last = percent;
            }, cancel);
            link.watch(&progress);
            reminder.resetCounters();
            ASSERT_TRUE(pass ? runProgrammingPass(link, table, 600, true, clock).ok() : link.readAll());
            ASSERT_EQ(steps, std::vector<LinkStep>(plan.begin(), plan.end())) << model;
            startedAt.push_back(reminder.requestCount());
            for (std::size_t i = 0; i < plan.size(); ++i)
                EXPECT_EQ(startedAt[i + 1] - startedAt[i], stepWeight(plan[i], *memoryMapForModel(model)))
                    << model << " step " << i;
            EXPECT_TRUE(rising) << model;
            EXPECT_EQ(last, 100) << model;
        }
    }
}

}  // namespace
