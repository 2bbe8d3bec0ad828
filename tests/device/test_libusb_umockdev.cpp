// The real libusb transport against the simulated reminder behind an
// emulated USB device (umockdev): discovery, packets both ways, timeouts,
// removal in the middle of an exchange, and hotplug. A whole read and a
// programming pass through it are the end-to-end test's.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

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
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    AlarmTable readBack;
    PacketBuffer reply{};

    void SetUp() override {
        ASSERT_TRUE(EmulatedUsbReminder::available()) << "run with LD_PRELOAD=libumockdev-preload.so.0";
    }
    void TearDown() override {
        transport.reset();
        usb.reset();
    }
    // Plugs the reminder in, before libusb starts, and makes the transport.
    LibusbTransport& plugIn(unsigned timeoutMs = kTransferTimeoutMs,
                            EmulatedUsbReminder::Options device = {},
                            std::vector<UsbIds> ids = {kPlaceholderReminderUsbIds}) {
        TearDown();
        usb = std::make_unique<EmulatedUsbReminder>(reminder, device);
        usb->plug();
        transport = std::make_unique<LibusbTransport>(std::move(ids), timeoutMs);
        return *transport;
    }
    // Sends a plain request; the answer lands in `reply`.
    TransportStatus send(std::uint16_t command) {
        PacketBuffer request{};
        buildPlainRequest(request, command);
        std::size_t received = 0;
        return transport->transfer(request, reply, received);
    }
};

// Waits up to five seconds for a condition set on libusb's event thread.
bool eventually(const std::function<bool()>& holds) {
    for (int i = 0; i < 500 && !holds(); ++i) std::this_thread::sleep_for(10ms);
    return holds();
}

}  // namespace

TEST_F(EmulatedUsb, PacketSizeIsTheInPipesCappedAtTheBuffersOr48WithoutOne) {
    // A 32-byte packet carries the identity but no block request: nothing is
    // sent. Without an IN pipe the request goes out and the reply read fails.
    struct Case { std::size_t inPacketSize, packetSize; int inEndpoint; bool identifies, writes, stored; };
    for (const Case& c : {Case{64, 64, 0x81, true, true, true}, Case{512, 64, 0x81, true, true, true},
                          Case{32, 32, 0x81, true, false, false}, Case{0, 48, 0, false, false, true}}) {
        LibusbTransport& t = plugIn(1000, {kPlaceholderReminderUsbIds, c.inPacketSize});
        ASSERT_EQ(t.open(), kTransportOk) << c.inPacketSize;
        EXPECT_EQ(t.packetSize(), c.packetSize) << c.inPacketSize;
        EXPECT_EQ(t.inEndpoint(), c.inEndpoint) << c.inPacketSize;
        ReminderLink link(t, readBack, clock);
        EXPECT_EQ(link.readIdentity(), c.identifies) << c.inPacketSize;
        const std::uint8_t block[32] = {0x5A};
        EXPECT_EQ(link.writeBlock(64, block), c.writes) << c.inPacketSize;
        EXPECT_EQ(reminder.word(64), c.stored ? 0x5Au : 0u) << c.inPacketSize;
        reminder.setWord(64, 0);
    }
}

TEST_F(EmulatedUsb, FoundByListedIdsOrByTheInterfaceClassAndNeverClaimedOtherwise) {
    using ClassIn = EmulatedUsbReminder::ClassIn;
    const UsbIds other{0xDEAD, 0xBEEF};
    struct Case { const char* name; UsbIds device; ClassIn in; TransportStatus status; };
    for (const Case& c : {Case{"the second listed id", kPlaceholderReminderUsbIds, ClassIn::Nowhere, kTransportOk},
                          Case{"OS 2.0 descriptors", other, ClassIn::MsOs20, kTransportOk},
                          Case{"OS 1.0 descriptors", other, ClassIn::MsOs10, kTransportOk},
                          Case{"neither", other, ClassIn::Nowhere, kTransportNotFound}}) {
        LibusbTransport& t = plugIn(1000, {c.device, 64, c.in}, {{0x16C0, 0x05DC}, kPlaceholderReminderUsbIds});
        EXPECT_EQ(t.open(), c.status) << c.name;
        EXPECT_EQ(t.open(), c.status) << c.name << ": a second open releases the first link";
        EXPECT_EQ(usb->claims(), c.status == kTransportOk ? 2u : 0u) << c.name;
        EXPECT_EQ(send(kCmdBattery), c.status == kTransportOk ? kTransportOk : kTransportWriteFailed) << c.name;
    }
}

// A silent reminder times out on the read and the link is usable afterwards;
// a stalled write times out without a read.
TEST_F(EmulatedUsb, SilenceAndAStalledWriteTimeOut) {
    ASSERT_EQ(plugIn(400).open(), kTransportOk);
    reminder.setSilent(true);
    EXPECT_EQ(send(kCmdBattery), kTransportTimeout);
    EXPECT_EQ(usb->inSubmits(), 1u);
    reminder.setSilent(false);
    ASSERT_EQ(send(kCmdBattery), kTransportOk);
    EXPECT_EQ(reply[4], 1);

    const std::size_t requests = reminder.requestCount();
    usb->stallWrites(true);
    EXPECT_EQ(send(kCmdBattery), kTransportTimeout);
    EXPECT_EQ(usb->outSubmits(), 3u);
    EXPECT_EQ(usb->inSubmits(), 2u);
    EXPECT_EQ(reminder.requestCount(), requests);
}

TEST_F(EmulatedUsb, RemovalInTheMiddleOfAnExchangeFailsIt) {
    LibusbTransport& t = plugIn();
    ASSERT_EQ(t.open(), kTransportOk);
    reminder.setSilent(true);  // the reply never comes; the reminder is pulled meanwhile
    std::thread puller([this] {
        std::this_thread::sleep_for(300ms);
        usb->unplug();
    });
    const auto before = std::chrono::steady_clock::now();
    const TransportStatus s = send(kCmdBattery);
    const auto took = std::chrono::steady_clock::now() - before;
    puller.join();
    EXPECT_EQ(s, kTransportReadFailed);
    EXPECT_LT(took, 2500ms) << "the removal, not the timeout, ended the exchange";
    EXPECT_EQ(send(kCmdBattery), kTransportWriteFailed);
    t.close();
    EXPECT_FALSE(t.isOpen());
}

// Beside the reminder: a device with a vendor-specific interface that is no
// reminder, and a reminder known only by its interface class. The reminders
// present at registration are reported; then only the reminders' own events
// count: the link stays up while the others come and go.
TEST_F(EmulatedUsb, HotplugReportsOnlyTheRemindersOwnEvents) {
    using ClassIn = EmulatedUsbReminder::ClassIn;
    LibusbTransport& t = plugIn();
    SimulatedReminder spare{1, 42};
    EmulatedUsbReminder other(spare, {{0xDEAD, 0xBEEF}, 64, ClassIn::Nowhere, 8});
    EmulatedUsbReminder byClass(spare, {{0xDEAD, 0xBEF0}, 64, ClassIn::MsOs20, 9});
    other.plug();
    byClass.plug();
    std::atomic<int> arrivals{0}, removals{0};
    ASSERT_TRUE(t.startWatch([&](ReminderEvent e) { ++(e == ReminderEvent::Arrived ? arrivals : removals); }));
    EXPECT_EQ(arrivals, 2) << "the two reminders, not the other device";
    ASSERT_EQ(t.open(), kTransportOk);

    other.unplug();
    other.plug();
    byClass.unplug();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(arrivals, 2);
    EXPECT_EQ(removals, 0);
    EXPECT_EQ(send(kCmdBattery), kTransportOk) << "the open link is untouched";

    byClass.plug();
    EXPECT_TRUE(eventually([&] { return arrivals == 3; }));
    usb->unplug();
    EXPECT_TRUE(eventually([&] { return removals == 1; }));
    t.close();
    byClass.unplug();
    EXPECT_EQ(t.open(), kTransportNotFound);

    usb->plug();
    EXPECT_TRUE(eventually([&] { return arrivals == 4; }));
    ASSERT_EQ(t.open(), kTransportOk);
    ASSERT_EQ(send(kCmdBattery), kTransportOk);
    EXPECT_EQ(reply[4], 1);
    t.stopWatch();
}
