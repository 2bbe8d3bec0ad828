// ReminderLink against the simulated reminder: packets byte for byte,
// identification, block reads and writes, exchange counts and faults.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/clock.h"
#include "core/datetime.h"
#include "device/alarm_table.h"
#include "device/reminder_link.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using sim::SimTransport;
using sim::SimulatedReminder;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes packet(std::initializer_list<int> head, std::size_t size = 64) {
    Bytes b(size, 0);
    std::size_t i = 0;
    for (int v : head) b[i++] = static_cast<std::uint8_t>(v);
    return b;
}

struct LinkFixture : ::testing::Test {
    explicit LinkFixture(int model = 1) : reminder(model, 0x12345678), transport(reminder) {}
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    SimulatedReminder reminder;
    SimTransport transport;
    AlarmTable readBack;
    InstantList programming{500};
    ReminderLink link{transport, readBack, clock};

    void SetUp() override {
        link.setProgrammingTable(&programming);
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
    EXPECT_FALSE(batteryLow(link.battery()));
    EXPECT_EQ(link.reminderWindow(), 3600u);
}

TEST_F(LinkFixture, WindowQueryOnlyForTheTwoExactVersions) {
    reminder.setWindow(2400);
    for (const char* v : {"1.1.0", "1.1.0 RD"}) {
        reminder.setVersion(v);
        ASSERT_TRUE(link.readIdentity()) << v;
        EXPECT_TRUE(link.identity().window_support) << v;
        EXPECT_EQ(link.reminderWindow(), 2400u) << v;
    }
    for (const char* v : {"1.1.0 rd", "1.1.0 ", "1.1.1", "", "1.1.0 RD "}) {
        reminder.resetCounters();
        reminder.setVersion(v);
        ASSERT_TRUE(link.readIdentity()) << v;
        EXPECT_FALSE(link.identity().window_support) << v;
        EXPECT_EQ(link.reminderWindow(), 0u) << v;
        EXPECT_EQ(reminder.commandCount(kCmdQueryWindow), 0u) << v;
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

TEST_F(LinkFixture, IdentificationSetsProgrammingCapacityFromTheModel) {
    EXPECT_TRUE(link.readIdentity());
    EXPECT_EQ(programming.capacity(), 500u);
}

TEST(Battery, Thresholds) {
    EXPECT_TRUE(batteryLow(0));
    EXPECT_FALSE(batteryLow(1));
    EXPECT_FALSE(batteryLow(824));
    EXPECT_TRUE(batteryLow(825));
    EXPECT_TRUE(batteryLow(0xFFFF));
}

// Full reads: block 0, identity (+ window query), the table and log areas.
class FullRead : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(FullRead, ExchangeCountsFollowTheMemoryMap) {
    const auto [model, windowFirmware] = GetParam();
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    SimulatedReminder reminder(model);
    reminder.setVersion(windowFirmware ? "1.1.0" : "1.0.4");
    SimTransport transport(reminder);
    AlarmTable readBack;
    InstantList programming;
    ReminderLink link(transport, readBack, clock);
    link.setProgrammingTable(&programming);
    ASSERT_EQ(link.open(), kTransportOk);
    ASSERT_TRUE(link.readAll());
    const MemoryMap map = *memoryMapForModel(model);
    const std::size_t expected = 1 + 1 + 1 + (windowFirmware ? 1 : 0) + map.tableBlocks() + map.logBlocks();
    EXPECT_EQ(reminder.requestCount(), expected);
    EXPECT_EQ(link.exchangeCount(), expected);
    EXPECT_EQ(programming.capacity(), map.table_capacity);
    if (model == 1) {
        EXPECT_EQ(expected, windowFirmware ? 131u : 130u);  // 1+1+1(+1)+63+64
    }
    if (model == 3) {
        EXPECT_EQ(expected, windowFirmware ? 515u : 514u);  // 1+1+1(+1)+255+256
    }
}

INSTANTIATE_TEST_SUITE_P(Models, FullRead,
                         ::testing::Combine(::testing::Values(1, 2, 3), ::testing::Bool()));

TEST(MemoryMaps, ModelsOneToThreeOnly) {
    EXPECT_EQ(memoryMapForModel(2)->table_end, 4096);
    EXPECT_EQ(memoryMapForModel(2)->first_log_word, 4100);
    EXPECT_EQ(memoryMapForModel(3)->log_end, 16384);
    EXPECT_EQ(memoryMapForModel(3)->table_capacity, 2000u);
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
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    SimulatedReminder reminder(2);
    reminder.setVersion("1.0.9");
    SimTransport transport(reminder, 48);
    AlarmTable readBack;
    ReminderLink link(transport, readBack, clock);
    ASSERT_EQ(link.open(), kTransportOk);
    EXPECT_EQ(transport.packetSize(), 48u);
    ASSERT_TRUE(link.readAll());
    EXPECT_EQ(link.identity().version, "1.0.9");
    EXPECT_EQ(link.memoryMap().model, 2);
}
