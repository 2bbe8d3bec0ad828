// ReminderLink against the simulated reminder: packets byte for byte,
// identification, block reads and writes, exchange counts and faults; the
// simulated reminder's person; the USB ids.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <vector>

#include "core/clock.h"
#include "core/datetime.h"
#include "device/alarm_table.h"
#include "device/reminder_link.h"
#include "device/usb_ids.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using sim::SimTransport;
using sim::SimulatedReminder;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes packet(std::initializer_list<int> head) {
    Bytes b(64, 0);
    std::size_t i = 0;
    for (int v : head) b[i++] = static_cast<std::uint8_t>(v);
    return b;
}

// The program's side of the link and the simulated reminder behind it.
struct Peer {
    explicit Peer(int model = 1, std::size_t packetSize = 64)
        : reminder(model, 0x12345678), transport(reminder, packetSize) {
        link.setProgrammingTable(&programming);
    }
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    SimulatedReminder reminder;
    SimTransport transport;
    AlarmTable readBack;
    InstantList programming{500};
    ReminderLink link{transport, readBack, clock};
};

struct LinkFixture : ::testing::Test, Peer {
    void SetUp() override {
        ASSERT_EQ(link.open(), kTransportOk);
        reminder.setRecording(true);
    }
    Bytes lastRequest() const { return reminder.requests().back(); }
};

}  // namespace

TEST_F(LinkFixture, PlainCommandsAreFourByteRequestsPaddedWithZeros) {
    for (std::uint16_t c : {0x92, 0x94, 0x98, 0x9A}) {
        link.sendCommand(c);
        EXPECT_EQ(lastRequest(), packet({c, 0x00, 0x04, 0x00})) << std::hex << c;
    }
}

TEST_F(LinkFixture, ClockRequestCarriesTimeZerosAndWindow) {
    link.sendClock(0x6A1B2C3D, 1200);
    EXPECT_EQ(lastRequest(), packet({0x86, 0x00, 0x14, 0x00, 0x3D, 0x2C, 0x1B, 0x6A, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0xB0, 0x04, 0x00, 0x00}));
    EXPECT_EQ(reminder.clock(), 0x6A1B2C3Du);
    EXPECT_EQ(reminder.window(), 1200u);
}

TEST_F(LinkFixture, BlockReadAndWriteRequestsAreByteExact) {
    std::uint8_t data[32];
    for (int i = 0; i < 32; ++i) data[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_TRUE(link.writeBlock(0x0820, data));
    Bytes expected = packet({0x9D, 0x00, 0x28, 0x00, 0x01, 0x00, 0x20, 0x08});
    std::memcpy(expected.data() + 8, data, 32);
    EXPECT_EQ(lastRequest(), expected);

    std::uint8_t back[32] = {};
    ASSERT_TRUE(link.readBlock(0x0820, back));
    EXPECT_EQ(lastRequest(), packet({0x9F, 0x00, 0x08, 0x00, 0x01, 0x00, 0x20, 0x08}));
    EXPECT_EQ(0, std::memcmp(back, data, 32));
}

TEST_F(LinkFixture, IdentificationRequestsAndFields) {
    reminder.setVersion("1.1.0 RD");
    reminder.setWindow(3600);
    reminder.setBattery(812);
    ASSERT_TRUE(link.readIdentity());
    const auto reqs = reminder.requests();
    ASSERT_EQ(reqs.size(), 3u);
    EXPECT_EQ(reqs[0], packet({0x96, 0x00, 0x04, 0x00}));
    EXPECT_EQ(reqs[1], packet({0x9B, 0x00, 0x04, 0x00}));
    EXPECT_EQ(reqs[2], packet({0x88, 0x00, 0x04, 0x00}));
    EXPECT_EQ(link.identity().serial, 0x12345678u);
    EXPECT_EQ(link.identity().model, 1);
    EXPECT_EQ(link.identity().version, "1.1.0 RD");
    EXPECT_TRUE(link.identity().window_support);
    EXPECT_EQ(link.battery(), 812);
    EXPECT_EQ(link.reminderWindow(), 3600u);
}

TEST_F(LinkFixture, WindowQueryOnlyForTheTwoExactVersions) {
    reminder.setWindow(2400);
    for (auto [version, supported] : {std::pair{"1.1.0", true}, std::pair{"1.1.0 RD", true},
                                      std::pair{"1.1.0 rd", false}, std::pair{"1.1.0 ", false},
                                      std::pair{"1.1.1", false}, std::pair{"", false},
                                      std::pair{"1.1.0 RD ", false}}) {
        reminder.resetCounters();
        reminder.setVersion(version);
        ASSERT_TRUE(link.readIdentity()) << version;
        EXPECT_EQ(link.identity().window_support, supported) << version;
        EXPECT_EQ(link.reminderWindow(), supported ? 2400u : 0u) << version;
        EXPECT_EQ(reminder.commandCount(kCmdQueryWindow), supported ? 1u : 0u) << version;
    }
}

TEST_F(LinkFixture, VersionTextIsConvertedAndCutAt29Characters) {
    reminder.setVersion("Ver\xE4 0123456789012345678901234567890");
    ASSERT_TRUE(link.readIdentity());
    EXPECT_EQ(link.identity().version, "Ver\xC3\xA4 012345678901234567890123");
}

TEST_F(LinkFixture, UnknownModelSends9AOnceThenKeepsThePreviousMap) {
    reminder.setReportedModel(4);
    EXPECT_FALSE(link.readIdentity());
    EXPECT_EQ(reminder.commandCount(kCmdUnknownModel), 1u);
    EXPECT_EQ(reminder.commandCount(kCmdBattery), 0u);
    EXPECT_EQ(link.unrecognisedModelCount(), 1);
    // The reminder comes back: identification goes on with model 1's map.
    EXPECT_TRUE(link.readIdentity());
    EXPECT_EQ(reminder.commandCount(kCmdUnknownModel), 1u);
    EXPECT_EQ(link.memoryMap(), *memoryMapForModel(1));
    EXPECT_EQ(link.unrecognisedModelCount(), 1);
}

TEST_F(LinkFixture, FailedIdentifyResetsWindowAndStillQueriesItForWindowFirmware) {
    reminder.setVersion("1.1.0");
    reminder.setWindow(1200);
    ASSERT_TRUE(link.readIdentity());
    ASSERT_EQ(link.reminderWindow(), 1200u);
    reminder.resetCounters();
    transport.failNextRead(kTransportReadFailed);
    EXPECT_FALSE(link.readIdentity());
    // 0x96 failed; the window is read again because the earlier firmware supported it.
    EXPECT_EQ(reminder.commandCount(kCmdQueryWindow), 1u);
    EXPECT_EQ(link.reminderWindow(), 1200u);
    reminder.setVersion("2.0");
    ASSERT_TRUE(link.readIdentity());
    reminder.resetCounters();
    reminder.setSilent(true);
    EXPECT_FALSE(link.readIdentity());
    EXPECT_EQ(link.reminderWindow(), 0u);
    EXPECT_EQ(link.lastStatus(), kTransportTimeout);
}

TEST(Battery, Thresholds) {
    for (auto [value, low] : {std::pair{0, true}, std::pair{1, false}, std::pair{812, false},
                              std::pair{824, false}, std::pair{825, true}, std::pair{0xFFFF, true}})
        EXPECT_EQ(batteryLow(static_cast<std::uint16_t>(value)), low) << value;
}

// Full reads: block 0, identity (+ window query), the table and log areas.
TEST(FullRead, ExchangeCountsFollowTheMemoryMap) {
    struct Case { int model; std::size_t exchanges, capacity; std::uint16_t firstLogWord; };
    for (const Case& c : {Case{1, 130, 500, 2052}, Case{2, 258, 1000, 4100}, Case{3, 514, 2000, 8196}}) {
        EXPECT_EQ(memoryMapForModel(c.model)->first_log_word, c.firstLogWord);
        for (bool windowFirmware : {false, true}) {
            Peer p(c.model);
            p.reminder.setVersion(windowFirmware ? "1.1.0" : "1.0.4");
            ASSERT_EQ(p.link.open(), kTransportOk);
            ASSERT_TRUE(p.link.readAll()) << c.model;
            const std::size_t expected = c.exchanges + (windowFirmware ? 1 : 0);
            EXPECT_EQ(p.reminder.requestCount(), expected) << c.model << " " << windowFirmware;
            EXPECT_EQ(p.link.exchangeCount(), expected) << c.model << " " << windowFirmware;
            EXPECT_EQ(p.programming.capacity(), c.capacity) << c.model;
        }
    }
    EXPECT_FALSE(memoryMapForModel(0));
    EXPECT_FALSE(memoryMapForModel(4));
}

TEST_F(LinkFixture, ClearingWritesZeroBlocksOverBothAreas) {
    for (std::size_t a = 32; a < 4096; a += 4) reminder.setWord(a, 0xDEADBEEF);
    reminder.setWord(0, 0x11111111);
    ASSERT_TRUE(link.readIdentity());
    reminder.resetCounters();
    EXPECT_TRUE(link.clearTableArea());
    EXPECT_EQ(reminder.commandCount(kCmdClearTable), 1u);
    EXPECT_EQ(reminder.commandCount(kCmdWriteBlock), 63u);
    EXPECT_TRUE(link.clearLogArea());
    EXPECT_EQ(reminder.commandCount(kCmdWriteBlock), 63u + 64u);
    const auto mem = reminder.memory();
    for (std::size_t a = 32; a < mem.size(); ++a) ASSERT_EQ(mem[a], 0) << a;
    EXPECT_EQ(reminder.word(0), 0x11111111u);  // addresses 0 to 31 are never written
}

TEST_F(LinkFixture, ReadsStopAtTheFirstFailedBlock) {
    ASSERT_TRUE(link.readIdentity());
    reminder.failReadsAt(32 + 5 * 32);
    reminder.resetCounters();
    EXPECT_FALSE(link.readTableArea());
    EXPECT_EQ(reminder.requestCount(), 6u);
    EXPECT_FALSE(link.readAll());
}

TEST_F(LinkFixture, WriteTimeoutEndsTheTableWrite) {
    ASSERT_TRUE(link.readIdentity());
    InstantList list;
    list.add(1773136800);
    const auto image = encodeTableArea(list, 1773130000, link.memoryMap());
    reminder.resetCounters();
    reminder.goSilentAfter(3);
    EXPECT_FALSE(link.writeTableArea(image));
    EXPECT_EQ(link.lastStatus(), kTransportTimeout);
    EXPECT_EQ(reminder.commandCount(kCmdWriteBlock), 3u);
}

TEST_F(LinkFixture, TransfersFailWhenTheLinkIsGone) {
    transport.setPresent(false);
    EXPECT_FALSE(link.readIdentity());
    EXPECT_EQ(link.lastStatus(), kTransportWriteFailed);
    EXPECT_EQ(link.open(), kTransportNotFound);
    EXPECT_FALSE(link.connected());
}

TEST(ShortPackets, A48BytePacketStillCarriesBlocksAndIdentity) {
    Peer p(2, 48);
    p.reminder.setVersion("1.0.9");
    ASSERT_EQ(p.link.open(), kTransportOk);
    EXPECT_EQ(p.transport.packetSize(), 48u);
    ASSERT_TRUE(p.link.readAll());
    EXPECT_EQ(p.link.identity().version, "1.0.9");
    EXPECT_EQ(p.link.memoryMap().model, 2);
}

TEST(SimulatedReminderPackets, UnknownCommandsAndBadAddressesGetStatusZero) {
    SimulatedReminder r(1);
    // An unknown command, a read past model 1's memory, a write to addresses 0 to 31.
    struct Case { std::uint16_t command, length, address; };
    for (const Case& c : {Case{0x77, 4, 0}, Case{kCmdReadBlock, 8, 4096}, Case{kCmdWriteBlock, 40, 0}}) {
        std::uint8_t req[64] = {}, reply[64];
        putU16(req, c.command);
        putU16(req + 2, c.length);
        req[4] = 1;
        putU16(req + 6, c.address);
        req[8] = 0x55;
        ASSERT_EQ(r.handle(req, 64, reply, 64), 64u) << c.command;
        EXPECT_EQ(reply[4], 0) << c.command;
    }
    EXPECT_EQ(r.word(0), 0u);
}

namespace {
// Writes a table of alarm times straight into the reminder's memory.
void program(SimulatedReminder& r, const std::vector<std::uint32_t>& times, std::uint32_t window) {
    r.setWindow(window);
    r.setWord(32, 2u | ((12u + 4u * static_cast<std::uint32_t>(times.size())) << 16));
    r.setWord(36, static_cast<std::uint32_t>(times.size()));
    for (std::size_t i = 0; i < times.size(); ++i) r.setWord(44 + 4 * i, times[i]);
}
constexpr std::uint32_t T = 1773136800;
}  // namespace

TEST(SimulatedPerson, PressesAlarmsAndForgottenAlarms) {
    SimulatedReminder r(1);
    program(r, {T, T + 7200, T + 14400, T + 21600}, 600);
    ASSERT_EQ(r.tableInstants().size(), 4u);
    r.pressButton(T - 700);        // before the first window opens: not counted
    r.pressButton(T - 300);        // inside the window
    r.pressButton(T + 7200 + 900); // late, before the next window opens
    r.actOut(T + 14400 + 60);
    EXPECT_EQ(r.logWord(0), T - 300);
    EXPECT_EQ(r.logWord(1), T + 7200 + 900);
    EXPECT_EQ(r.logWord(2), kLogWordAlarmed);  // has come, no press yet
    EXPECT_EQ(r.logWord(3), kLogWordEmpty);    // still ahead
    r.actOut(T + 21600 - 600);                 // the next window opens
    EXPECT_EQ(r.logWord(2), kLogWordForgotten);
    EXPECT_EQ(r.logWord(3), kLogWordEmpty);
}

TEST(SimulatedPerson, ForgottenAfterAnHourForTheLastAlarm) {
    SimulatedReminder r(1);
    program(r, {T}, 600);
    r.actOut(T + 3599);
    EXPECT_EQ(r.logWord(0), kLogWordAlarmed);
    r.actOut(T + 3600);
    EXPECT_EQ(r.logWord(0), kLogWordForgotten);
    r.pressButton(T + 3000);
    r.actOut(T + 4000);
    EXPECT_EQ(r.logWord(0), T + 3000);
}

TEST(SimulatedPerson, PressAroundEveryAlarm) {
    SimulatedReminder r(2);
    program(r, {T, T + 3600}, 600);
    r.pressAroundEveryAlarm(-60);
    r.actOut(T + 3600 - 90);  // the second press lies in the future
    EXPECT_EQ(r.logWord(0), T - 60);
    EXPECT_EQ(r.logWord(1), kLogWordEmpty);
    r.actOut(T + 3600);
    EXPECT_EQ(r.logWord(1), T + 3600 - 60);
}

TEST(UsbIds, ParsesHexPairsAndTheEnvironmentOverridesThePlaceholder) {
    EXPECT_EQ(parseUsbIds("1209:0001"), (UsbIds{0x1209, 0x0001}));
    EXPECT_EQ(parseUsbIds("abCD:f"), (UsbIds{0xABCD, 0x000F}));
    for (const char* bad : {"12090001", "1209:", ":0001", "12345:0001", "12g9:0001"})
        EXPECT_FALSE(parseUsbIds(bad)) << bad;
    unsetenv(kUsbIdsEnvironmentVariable);
    EXPECT_EQ(reminderUsbIds(), kPlaceholderReminderUsbIds);
    setenv(kUsbIdsEnvironmentVariable, "04d8:f00d", 1);
    EXPECT_EQ(reminderUsbIds(), (UsbIds{0x04D8, 0xF00D}));
    setenv(kUsbIdsEnvironmentVariable, "garbage", 1);
    EXPECT_EQ(reminderUsbIds(), kPlaceholderReminderUsbIds);
    unsetenv(kUsbIdsEnvironmentVariable);
}
