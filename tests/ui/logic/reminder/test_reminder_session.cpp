// The session's jobs through a runner that runs them on a thread of their
// own: what runs where, progress, and a removal in the middle of a job.
#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "core/clock.h"
#include "core/datetime.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"
#include "ui/logic/reminder/reminder_session.h"

namespace velmora {
namespace {

// Records the thread of every exchange; with `hold`, the exchange after
// the clock was set waits until it is counted down.
class ThreadNotingTransport : public UsbTransport {
public:
    explicit ThreadNotingTransport(sim::SimulatedReminder& r) : sim_(r) {}
    TransportStatus open() override { return sim_.open(); }
    TransportStatus transfer(const PacketBuffer& q, PacketBuffer& a, std::size_t& n) override {
        threads.push_back(std::this_thread::get_id());
        if (hold && clockSet) hold->wait();
        clockSet = getU16(q.data()) == kCmdSetClock;
        return sim_.transfer(q, a, n);
    }
    std::size_t packetSize() const override { return sim_.packetSize(); }
    bool isOpen() const override { return sim_.isOpen(); }
    void close() override { sim_.close(); }
    std::vector<std::thread::id> threads;
    std::latch* hold = nullptr;
    bool clockSet = false;

private:
    sim::SimTransport sim_;
};

struct SessionOnWorker : ::testing::Test {
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    sim::SimulatedReminder reminder{2, 4711};
    ThreadNotingTransport usb{reminder};
    ThreadReminderRunner runner;
    ReminderSession session{usb, clock, &runner};
    InstantList table{2000};

    void SetUp() override {
        session.setProgrammingTable(&table);
        for (int i = 1; i <= 20; ++i) table.add(clock.nowValue() + 3600 * i);
        ASSERT_TRUE(session.open());
        ASSERT_TRUE(session.read());
        usb.threads.clear();
    }
};

TEST_F(SessionOnWorker, JobsRunOffTheCallingThreadWhichSeesTheirProgressInOrder) {
    std::vector<std::pair<LinkStep, int>> seen;
    runner.onProgress = [&](LinkStep step, int percent) {
        EXPECT_TRUE(session.busy());
        seen.emplace_back(step, percent);
    };
    ASSERT_TRUE(session.program(table, 600, true, clock).ok());
    ASSERT_FALSE(usb.threads.empty());
    for (std::thread::id id : usb.threads) EXPECT_NE(id, std::this_thread::get_id());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().first, LinkStep::ClearTable);
    EXPECT_EQ(seen.back(), std::make_pair(LinkStep::Verify, 100));
    EXPECT_FALSE(session.busy());
    EXPECT_EQ(reminder.tableInstants().size(), 20u);
}

// A removal (and any other operation) while a job runs: the job stops at
// its next exchange, the link is dropped only after it returned, and the
// other operation is refused without an exchange.
TEST_F(SessionOnWorker, ARemovalDuringAJobCancelsItAndDropsTheLinkAfterIt) {
    const std::size_t requestsBefore = reminder.requestCount();
    std::size_t requestsAtRemoval = 0;
    std::latch removed(1);  // the worker waits at the first table block meanwhile
    usb.hold = &removed;
    bool stillOpen = false, refused = false;
    runner.onProgress = [&](LinkStep step, int) {
        if (step != LinkStep::WriteTable || requestsAtRemoval) return;
        session.disconnect();
        requestsAtRemoval = reminder.requestCount();
        stillOpen = usb.isOpen();
        refused = !session.answers() && !session.identify() && !session.program(table, 600, true, clock).ok();
        removed.count_down();
    };
    const PassResult r = session.program(table, 600, true, clock);
    EXPECT_EQ(r.failed, LinkStep::WriteTable);
    EXPECT_TRUE(stillOpen) << "the link stays with the worker until its job returned";
    EXPECT_TRUE(refused);
    EXPECT_GT(requestsAtRemoval, requestsBefore);
    EXPECT_LE(reminder.requestCount(), requestsAtRemoval + 1) << "at most the exchange under way";
    EXPECT_FALSE(session.connected());
    EXPECT_FALSE(usb.isOpen());
    EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), 0u);
}

}  // namespace
}  // namespace velmora
