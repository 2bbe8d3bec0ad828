// The session's jobs through a runner that runs them on a thread of their
// own, and a removal in the middle of a job.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "core/clock.h"
#include "core/datetime.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "support/forwarding_transport.h"
#include "ui/logic/reminder/reminder_session.h"

namespace velmora {
namespace {

// Notes whether an exchange ran on the test's thread; the exchange after
// the clock was set waits for `hold`.
class HoldingTransport : public testing::ForwardingTransport {
public:
    explicit HoldingTransport(sim::SimulatedReminder& r) : ForwardingTransport(&sim_), sim_(r) {}
    TransportStatus transfer(const PacketBuffer& q, PacketBuffer& a, std::size_t& n) override {
        onTestThread = onTestThread || std::this_thread::get_id() == testThread;
        if (hold && clockSet) hold->wait();
        clockSet = getU16(q.data()) == kCmdSetClock;
        return ForwardingTransport::transfer(q, a, n);
    }
    const std::thread::id testThread = std::this_thread::get_id();
    bool onTestThread = false, clockSet = false;
    std::latch* hold = nullptr;

private:
    sim::SimTransport sim_;
};

// The removal comes while the worker waits at the first table block: the
// job stops at its next exchange, the link is dropped only after it
// returned, and any other operation meanwhile is refused without one.
TEST(SessionOnWorker, JobsRunOffTheCallingThreadAndARemovalCancelsOneAndDropsTheLinkAfterIt) {
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    sim::SimulatedReminder reminder{2, 4711};
    HoldingTransport usb{reminder};
    ThreadReminderRunner runner;
    ReminderSession session{usb, clock, &runner};
    InstantList table{2000};
    session.setProgrammingTable(&table);
    table.add(clock.nowValue() + 3600);
    ASSERT_TRUE(session.open() && session.read());
    EXPECT_EQ(table.capacity(), memoryMapForModel(2)->table_capacity) << "set after the job, on this thread";
    std::latch removed(1);
    usb.hold = &removed;
    std::size_t requestsAtRemoval = 0;
    bool stillOpen = false, refused = false;
    runner.onProgress = [&](LinkStep step, int) {
        if (step != LinkStep::WriteTable || requestsAtRemoval) return;
        session.disconnect();
        requestsAtRemoval = reminder.requestCount();
        stillOpen = usb.isOpen();
        refused = !session.answers() && !session.identify() && !session.program(table, 600, true, clock).ok();
        removed.count_down();
    };
    EXPECT_EQ(session.program(table, 600, true, clock).failed, LinkStep::WriteTable);
    EXPECT_FALSE(usb.onTestThread);
    EXPECT_TRUE(stillOpen) << "the link stays with the worker until its job returned";
    EXPECT_TRUE(refused);
    EXPECT_LE(reminder.requestCount(), requestsAtRemoval + 1) << "at most the exchange under way";
    EXPECT_FALSE(session.connected());
    EXPECT_FALSE(usb.isOpen());
    EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), 0u);
}

}  // namespace
}  // namespace velmora
