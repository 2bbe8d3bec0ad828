// The real libusb transport against the simulated reminder behind an
// emulated USB device (umockdev): discovery, the protocol end to end,
// timeouts, removal in the middle of an exchange, and hotplug.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/records.h"
#include "device/alarm_table.h"
#include "device/libusb_transport.h"
#include "device/reminder_link.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using namespace std::chrono_literals;
using sim::EmulatedUsbReminder;
using sim::SimulatedReminder;

namespace {

struct EmulatedUsb : ::testing::Test {
    SimulatedReminder reminder{1, 0xA1B2C3D4};
    std::unique_ptr<EmulatedUsbReminder> usb;
    std::unique_ptr<LibusbTransport> transport;

    void SetUp() override {
        ASSERT_TRUE(EmulatedUsbReminder::available())
            << "run with LD_PRELOAD=libumockdev-preload.so.0";
        // The emulated device exists before libusb starts.
        usb = std::make_unique<EmulatedUsbReminder>(reminder);
        usb->plug();
    }
    void TearDown() override {
        transport.reset();
        usb.reset();
    }
    LibusbTransport& makeTransport(unsigned timeoutMs = kTransferTimeoutMs) {
        transport = std::make_unique<LibusbTransport>(kPlaceholderReminderUsbIds, timeoutMs);
        return *transport;
    }
    static PacketBuffer plain(std::uint16_t command) {
        PacketBuffer p{};
        buildPlainRequest(p, command);
        return p;
    }
};

// Collects hotplug events from the libusb thread.
struct EventQueue {
    std::mutex m;
    std::condition_variable cv;
    std::deque<ReminderEvent> events;
    void push(ReminderEvent e) {
        std::lock_guard l(m);
        events.push_back(e);
        cv.notify_all();
    }
    bool waitFor(ReminderEvent e, std::chrono::milliseconds limit = 5000ms) {
        std::unique_lock l(m);
        const bool got = cv.wait_for(l, limit, [&] { return !events.empty(); });
        if (!got) return false;
        const ReminderEvent front = events.front();
        events.pop_front();
        return front == e;
    }
};

}  // namespace

TEST_F(EmulatedUsb, OpenFindsTheReminderAndItsBulkPipes) {
    LibusbTransport& t = makeTransport();
    EXPECT_EQ(t.packetSize(), kDefaultPacketSize);
    ASSERT_EQ(t.open(), kTransportOk);
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.inEndpoint(), 0x81);
    EXPECT_EQ(t.outEndpoint(), 0x01);
    EXPECT_EQ(t.packetSize(), 64u);
    PacketBuffer reply{};
    ASSERT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportOk);
    EXPECT_EQ(reply[4], 1);
    EXPECT_EQ(getU16(reply.data() + 6), 700);
    // A second open releases the first link and opens again.
    ASSERT_EQ(t.open(), kTransportOk);
    ASSERT_EQ(t.transfer(plain(kCmdIdentify), reply), kTransportOk);
    EXPECT_EQ(getU32(reply.data() + 12), 0xA1B2C3D4u);
}

TEST_F(EmulatedUsb, OtherIdsFindNoReminder) {
    transport = std::make_unique<LibusbTransport>(UsbIds{0xDEAD, 0xBEEF});
    EXPECT_EQ(transport->open(), kTransportNotFound);
    EXPECT_FALSE(transport->isOpen());
    PacketBuffer reply{};
    EXPECT_EQ(transport->transfer(plain(kCmdBattery), reply), kTransportWriteFailed);
}

TEST_F(EmulatedUsb, ProgramThenReadBackThroughLibusb) {
    LibusbTransport& t = makeTransport();
    reminder.setVersion("1.1.0");
    const SYSTEMTIME start = makeTime(2026, 3, 10, 12, 0);
    FixedClock clock{start};
    AlarmTable readBack;
    InstantList programming;
    ReminderLink link(t, readBack, clock);
    link.setProgrammingTable(&programming);
    ASSERT_EQ(link.open(), kTransportOk);
    ASSERT_TRUE(link.readAll());
    EXPECT_EQ(reminder.requestCount(), 131u);  // 1+1+1+1+63+64
    EXPECT_EQ(link.identity().serial, 0xA1B2C3D4u);

    // Program four alarms, one hour apart, with a 600 s window.
    const TimeValue now = clock.nowValue();
    for (int i = 1; i <= 4; ++i) programming.add(now + 3600 * i);
    link.sendCommand(kCmdStartProgramming);
    ASSERT_TRUE(link.clearTableArea());
    ASSERT_TRUE(link.clearLogArea());
    link.sendClock(static_cast<std::uint32_t>(now), 600);
    ASSERT_TRUE(link.writeTableArea(encodeTableArea(programming, now, link.memoryMap())));
    link.sendCommand(kCmdFinishOwn);
    EXPECT_EQ(reminder.programmingTime(), static_cast<std::uint32_t>(now));
    EXPECT_EQ(reminder.tableInstants().size(), 4u);
    EXPECT_EQ(reminder.clock(), static_cast<std::uint32_t>(now));
    EXPECT_EQ(reminder.commandCount(kCmdFinishOwn), 1u);

    // The person: early press, late press, nothing, nothing yet.
    const std::uint32_t t1 = now + 3600, t2 = now + 7200;
    reminder.pressButton(t1 - 120);
    reminder.pressButton(t2 + 700);
    const std::uint32_t later = now + 4 * 3600 + 100;
    reminder.actOut(later);
    clock.advanceSeconds(4 * 3600 + 100);

    readBack.clear();
    ASSERT_TRUE(link.readAll());
    EXPECT_EQ(readBack.programming_time, now);
    ASSERT_EQ(readBack.instants().size(), 4u);
    ASSERT_EQ(readBack.log_entries.size(), 4u);
    EXPECT_EQ(readBack.log_entries[0].status, kStatusAcknowledged);
    EXPECT_EQ(readBack.log_entries[0].ack, static_cast<TimeValue>(t1 - 120));
    EXPECT_EQ(readBack.log_entries[1].status, kStatusAcknowledgedLate);
    EXPECT_EQ(readBack.log_entries[2].status, kStatusForgottenAlt);  // 0xFFFFFFFF
    EXPECT_EQ(readBack.log_entries[3].status, kStatusForgottenAlt);  // alarmed, not acknowledged
    EXPECT_EQ(reminder.logWord(3), kLogWordAlarmed);
}

TEST_F(EmulatedUsb, SilentReminderTimesOutOnTheRead) {
    LibusbTransport& t = makeTransport();  // the production 3000 ms
    ASSERT_EQ(t.open(), kTransportOk);
    reminder.setSilent(true);
    PacketBuffer reply{};
    reply.fill(0xAB);
    EXPECT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportTimeout);
    EXPECT_EQ(usb->inSubmits(), 1u);
    reminder.setSilent(false);
    // The link is still usable afterwards.
    ASSERT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportOk);
    EXPECT_EQ(reply[4], 1);
}

TEST_F(EmulatedUsb, StalledWriteTimesOutWithoutARead) {
    LibusbTransport& t = makeTransport(400);
    ASSERT_EQ(t.open(), kTransportOk);
    usb->stallWrites(true);
    PacketBuffer reply{};
    EXPECT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportTimeout);
    EXPECT_EQ(usb->outSubmits(), 1u);
    EXPECT_EQ(usb->inSubmits(), 0u);
    EXPECT_EQ(reminder.requestCount(), 0u);
}

TEST_F(EmulatedUsb, RemovalInTheMiddleOfAnExchangeFailsIt) {
    LibusbTransport& t = makeTransport();
    ASSERT_EQ(t.open(), kTransportOk);
    reminder.setSilent(true);  // the reply never comes; the reminder is pulled meanwhile
    std::thread puller([this] {
        std::this_thread::sleep_for(300ms);
        usb->unplug();
    });
    PacketBuffer reply{};
    const auto before = std::chrono::steady_clock::now();
    const TransportStatus s = t.transfer(plain(kCmdBattery), reply);
    const auto took = std::chrono::steady_clock::now() - before;
    puller.join();
    EXPECT_EQ(s, kTransportReadFailed);
    EXPECT_LT(took, 2500ms) << "the removal, not the timeout, ended the exchange";
    EXPECT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportWriteFailed);
    t.close();
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportWriteFailed);
}

TEST_F(EmulatedUsb, HotplugReportsPresentReminderRemovalAndArrival) {
    LibusbTransport& t = makeTransport();
    EventQueue q;
    ASSERT_TRUE(t.startWatch([&q](ReminderEvent e) { q.push(e); }));
    EXPECT_TRUE(q.waitFor(ReminderEvent::Arrived, 0ms)) << "present reminder reported at registration";
    ASSERT_EQ(t.open(), kTransportOk);

    usb->unplug();
    EXPECT_TRUE(q.waitFor(ReminderEvent::Left));
    PacketBuffer reply{};
    EXPECT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportWriteFailed);
    t.close();
    EXPECT_EQ(t.open(), kTransportNotFound);

    usb->plug();
    EXPECT_TRUE(q.waitFor(ReminderEvent::Arrived));
    ASSERT_EQ(t.open(), kTransportOk);
    ASSERT_EQ(t.transfer(plain(kCmdBattery), reply), kTransportOk);
    EXPECT_EQ(reply[4], 1);
    t.stopWatch();
}

TEST(EmulatedUsbWithoutInPipe, PacketSizeStaysAt48AndReadsFail) {
    ASSERT_TRUE(EmulatedUsbReminder::available());
    SimulatedReminder reminder;
    EmulatedUsbReminder usb(reminder, {kPlaceholderReminderUsbIds, 0});
    usb.plug();
    LibusbTransport t(kPlaceholderReminderUsbIds, 500);
    ASSERT_EQ(t.open(), kTransportOk);
    EXPECT_EQ(t.packetSize(), 48u);
    EXPECT_EQ(t.inEndpoint(), 0);
    PacketBuffer request{}, reply{};
    buildPlainRequest(request, kCmdBattery);
    EXPECT_EQ(t.transfer(request, reply), kTransportReadFailed);
}

TEST(EmulatedUsbLargePackets, PacketSizeIsCappedAtTheBuffers) {
    ASSERT_TRUE(EmulatedUsbReminder::available());
    SimulatedReminder reminder(3, 99);
    EmulatedUsbReminder usb(reminder, {kPlaceholderReminderUsbIds, 512});
    usb.plug();
    LibusbTransport t(kPlaceholderReminderUsbIds, 1000);
    ASSERT_EQ(t.open(), kTransportOk);
    EXPECT_EQ(t.packetSize(), 64u);
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    AlarmTable readBack;
    ReminderLink link(t, readBack, clock);
    ASSERT_EQ(link.open(), kTransportOk);
    ASSERT_TRUE(link.readIdentity());
    EXPECT_EQ(link.identity().serial, 99u);
    EXPECT_EQ(link.memoryMap().model, 3);
}
