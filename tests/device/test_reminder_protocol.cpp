// ReminderLink: packets byte for byte, replies built by hand from the
// reminder's byte layout, identification, exchange counts and faults against
// the simulated reminder;
// the table area image and the log words decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/records.h"
#include "device/alarm_table.h"
#include "device/log_decode.h"
#include "device/reminder_link.h"
#include "reminder-sim/sim_transport.h"
#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using sim::SimTransport;
using sim::SimulatedReminder;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr TimeValue kNow = 1773144000;  // the present in the log tests

Bytes area(std::uint16_t count, std::uint32_t programmed, const std::vector<TimeValue>& entries,
           std::size_t size) {
    Bytes b(size, 0);
    putU16(b.data(), 2);
    putU16(b.data() + 2, static_cast<std::uint16_t>(12 + 4 * count));
    putU16(b.data() + 4, count);
    putU32(b.data() + 8, programmed);
    std::size_t i = 0;
    for (auto e : entries) putU32(b.data() + 12 + 4 * i++, e);
    return b;
}

Bytes packet(std::initializer_list<int> head) {
    Bytes b(64, 0);
    std::size_t i = 0;
    for (int v : head) b[i++] = static_cast<std::uint8_t>(v);
    return b;
}

// The program's side of the link and the simulated reminder behind it.
struct LinkFixture : ::testing::Test {
    void SetUp() override {
        link.setProgrammingTable(&programming);
        ASSERT_EQ(link.open(), kTransportOk);
        reminder.setRecording(true);
    }
    FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
    SimulatedReminder reminder{1, 0x12345678};
    SimTransport transport{reminder};
    AlarmTable readBack;
    InstantList programming{500};
    ReminderLink link{transport, readBack, clock};

    Bytes lastRequest() const { return reminder.requests().back(); }
    // Identifies a reminder of `version` that reports `window`, then zeroes the counters.
    void identified(const char* version, std::uint32_t window) {
        reminder.setVersion(version);
        reminder.setWindow(window);
        ASSERT_TRUE(link.readIdentity());
        ASSERT_EQ(link.reminderWindow(), window);
        reminder.resetCounters();
    }
};

// Answers each request with a reply written here byte by byte (never by the
// simulated reminder), chosen by command code and block address.
struct HandBuiltReplies final : UsbTransport {
    std::function<Bytes(std::uint16_t command, std::uint16_t address)> answer;
    std::size_t packet = 64;
    std::size_t transfers = 0;
    TransportStatus open() override { return kTransportOk; }
    TransportStatus transfer(const PacketBuffer& req, PacketBuffer& reply, std::size_t& received) override {
        ++transfers;
        const Bytes b = answer(static_cast<std::uint16_t>(req[0] | req[1] << 8),
                               static_cast<std::uint16_t>(req[6] | req[7] << 8));
        std::copy(b.begin(), b.end(), reply.begin());
        received = b.size();
        return kTransportOk;
    }
    std::size_t packetSize() const override { return packet; }
    bool isOpen() const override { return true; }
    void close() override {}
};

}  // namespace

TEST_F(LinkFixture, PlainClockAndBlockRequestsAreByteExact) {
    for (std::uint16_t c : {0x92, 0x94, 0x98, 0x9A}) {
        link.sendCommand(c);
        EXPECT_EQ(lastRequest(), packet({c, 0x00, 0x04, 0x00})) << std::hex << c;
    }
    link.sendClock(0x6A1B2C3D, 1200);  // the time, eight zero bytes, the window
    EXPECT_EQ(lastRequest(), packet({0x86, 0x00, 0x14, 0x00, 0x3D, 0x2C, 0x1B, 0x6A, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0xB0, 0x04, 0x00, 0x00}));

    std::uint8_t data[32];
    for (int i = 0; i < 32; ++i) data[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_TRUE(link.writeBlock(0x0820, data));
    Bytes expected = packet({0x9D, 0x00, 0x28, 0x00, 0x01, 0x00, 0x20, 0x08});
    std::memcpy(expected.data() + 8, data, 32);
    EXPECT_EQ(lastRequest(), expected);

    std::uint8_t back[32] = {};
    ASSERT_TRUE(link.readBlock(0x0820, back));
    EXPECT_EQ(lastRequest(), packet({0x9F, 0x00, 0x08, 0x00, 0x01, 0x00, 0x20, 0x08}));
}

// Replies as the reminder sends them, for each model: identity (status 1,
// model, serial 0x12345678, "1.1.0"), battery 812, window 600, the first
// table block (three alarms) and the first log block (on time, late,
// forgotten). Every other block reads as zeros. A full read is block 0,
// the identity, the window, the battery and every block of both areas.
TEST(HandBuiltReplies, DecodeIdentityTableAndLogForEveryModel) {
    struct Case { std::uint8_t model; std::uint16_t logStart; std::size_t capacity, exchanges; };
    for (const Case& c : {Case{1, 0x0800, 500, 131}, Case{2, 0x1000, 1000, 259}, Case{3, 0x2000, 2000, 515}}) {
        HandBuiltReplies replies;
        replies.answer = [&](std::uint16_t command, std::uint16_t address) -> Bytes {
            switch (command) {
                case 0x96: return packet({0x96, 0x00, 0x40, 0x00, 0x01, 0x00, 0x00, c.model, 0x00, 0x00,
                                          0x00, 0x00, 0x78, 0x56, 0x34, 0x12, '1', '.', '1', '.', '0', 0x00});
                case 0x9B: return packet({0x9B, 0x00, 0x40, 0x00, 0x01, 0x00, 0x2C, 0x03});
                case 0x88: return packet({0x88, 0x00, 0x40, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x58, 0x02});
            }
            if (address == 0x0020)  // marker 2, 24 bytes, 3 entries, programmed 0x699F0000, the alarms
                return packet({0x9F, 0x00, 0x28, 0x00, 0x01, 0x00, 0x20, 0x00, 0x02, 0x00, 0x18, 0x00,
                               0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x9F, 0x69, 0x00, 0x00, 0xA0, 0x69,
                               0x10, 0x0E, 0xA0, 0x69, 0x20, 0x1C, 0xA0, 0x69});
            if (address == c.logStart)  // a word not read, then 300 s early, 610 s late, forgotten
                return packet({0x9F, 0x00, 0x28, 0x00, 0x01, 0x00, 0x00, 0x00, 0xAA, 0xAA, 0xAA, 0xAA,
                               0xD4, 0xFE, 0x9F, 0x69, 0x72, 0x10, 0xA0, 0x69, 0xFF, 0xFF, 0xFF, 0xFF});
            return packet({0x9F, 0x00, 0x28, 0x00, 0x01});
        };
        FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
        AlarmTable readBack;
        InstantList programming;
        ReminderLink link(replies, readBack, clock);
        link.setProgrammingTable(&programming);
        ASSERT_TRUE(link.readAll()) << int{c.model};
        EXPECT_EQ(replies.transfers, c.exchanges) << int{c.model};
        EXPECT_EQ(link.exchangeCount(), c.exchanges) << int{c.model};
        EXPECT_EQ(link.identity().serial, 0x12345678u);
        EXPECT_EQ(link.identity().version, "1.1.0");
        EXPECT_EQ(link.battery(), 812);
        EXPECT_EQ(link.reminderWindow(), 600u);
        EXPECT_EQ(programming.capacity(), c.capacity) << int{c.model};
        const TimeValue t = 0x69A00000;
        EXPECT_EQ(readBack.programming_time, 0x699F0000);
        EXPECT_EQ(readBack.instants(), (std::vector<TimeValue>{t, t + 3600, t + 7200}));
        EXPECT_EQ(readBack.log_entries,
                  (std::vector<ReadBackEntry>{{0, t, t - 300, kStatusAcknowledged},
                                              {0, t + 3600, t + 3600 + 610, kStatusAcknowledgedLate},
                                              {0, t + 7200, 0, kStatusForgottenAlt}}))
            << int{c.model};
    }
}

// A reply shorter than its command's layout, or a packet too small for a
// request or a reply, fails the exchange (-4); a packet too small is not
// even sent, so programming cannot look done with nothing written.
TEST(HandBuiltReplies, ShortRepliesAndPacketsFail) {
    struct Case { const char* name; std::size_t packet, replyBytes; bool identifies, reads, writes; };
    for (const Case& c : {Case{"whole", 64, 64, true, true, true},
                          Case{"a 39-byte block reply", 64, 39, true, false, true},
                          Case{"a 15-byte identity reply", 64, 15, false, false, true},
                          Case{"a 32-byte packet", 32, 32, true, false, false},
                          Case{"an 8-byte packet", 8, 8, false, false, false}}) {
        HandBuiltReplies replies;
        replies.packet = c.packet;
        replies.answer = [&](std::uint16_t command, std::uint16_t) {
            Bytes b = packet({command, 0x00, 0x40, 0x00, 0x01, 0x00, 0x00, 0x01});
            b.resize(c.replyBytes);
            return b;
        };
        FixedClock clock{makeTime(2026, 3, 10, 12, 0)};
        AlarmTable readBack;
        ReminderLink link(replies, readBack, clock);
        EXPECT_EQ(link.readIdentity(), c.identifies) << c.name;
        std::uint8_t block[32] = {};
        EXPECT_EQ(link.readBlock(32, block), c.reads) << c.name;
        replies.transfers = 0;
        InstantList list;
        list.add(1773136800);
        EXPECT_EQ(link.writeTableArea(encodeTableArea(list, 1773130000, link.memoryMap())), c.writes)
            << c.name;
        EXPECT_EQ(replies.transfers, c.writes ? 63u : 0u) << c.name;
        if (!c.writes) { EXPECT_EQ(link.lastStatus(), kTransportPipeQueryFailed) << c.name; }
    }
}

TEST_F(LinkFixture, VersionTextAndTheWindowQueryOnlyForTheTwoExactVersions) {
    reminder.setWindow(2400);
    struct Case { const char* sent; const char* read; bool window; };
    for (const Case& c : {Case{"1.1.0", "1.1.0", true}, Case{"1.1.0 RD", "1.1.0 RD", true},
                          Case{"1.1.0 rd", "1.1.0 rd", false}, Case{"1.1.0 ", "1.1.0 ", false},
                          Case{"1.1.1", "1.1.1", false}, Case{"", "", false},
                          Case{"1.1.0 RD ", "1.1.0 RD ", false},
                          // Windows-1252 to UTF-8, cut at 29 characters.
                          Case{"Ver\xE4 0123456789012345678901234567890",
                               "Ver\xC3\xA4 012345678901234567890123", false}}) {
        reminder.resetCounters();
        reminder.setVersion(c.sent);
        ASSERT_TRUE(link.readIdentity()) << c.sent;
        EXPECT_EQ(link.identity().version, c.read);
        EXPECT_EQ(link.reminderWindow(), c.window ? 2400u : 0u) << c.sent;
        EXPECT_EQ(reminder.commandCount(kCmdQueryWindow), c.window ? 1u : 0u) << c.sent;
    }
}

TEST_F(LinkFixture, UnknownModelSends9AOnceThenKeepsThePreviousMap) {
    identified("1.1.0", 3600);
    reminder.setReportedModel(4);
    EXPECT_FALSE(link.readIdentity());
    EXPECT_EQ(link.reminderWindow(), 0u) << "no window is left from the earlier identification";
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
    identified("1.1.0", 1200);
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

TEST_F(LinkFixture, TheFirstFailedBlockEndsAReadOrAWrite) {
    ASSERT_TRUE(link.readIdentity());
    reminder.failReadsAt(32 + 5 * 32);
    reminder.resetCounters();
    EXPECT_FALSE(link.readTableArea());
    EXPECT_EQ(reminder.requestCount(), 6u);

    const auto image = encodeTableArea(InstantList{}, 1773130000, link.memoryMap());
    reminder.resetCounters();
    reminder.goSilentAfter(3);
    EXPECT_FALSE(link.writeTableArea(image));
    EXPECT_EQ(link.lastStatus(), kTransportTimeout);
    EXPECT_EQ(reminder.commandCount(kCmdWriteBlock), 3u);
}

TEST_F(LinkFixture, OnlyAWholeImageWithinTheModelsCapacityIsWritten) {
    ASSERT_TRUE(link.readIdentity());
    InstantList list(2000);
    for (int i = 0; i < 3; ++i) list.add(1773136800 + 60 * i);
    Bytes image = encodeTableArea(list, 1773130000, link.memoryMap());
    Bytes over = image;
    putU16(over.data() + kTableCountOffset, 501);
    reminder.resetCounters();
    for (const Bytes& bad : {Bytes{}, Bytes(image.begin(), image.end() - 32), over})
        EXPECT_FALSE(link.writeTableArea(bad)) << bad.size();
    EXPECT_EQ(reminder.commandCount(kCmdWriteBlock), 0u);
    EXPECT_TRUE(link.writeTableArea(image));
    EXPECT_EQ(reminder.tableInstants().size(), 3u);
}

TEST(EncodeTableArea, HeaderEntriesAndZeroFill) {
    struct Case { int model, instants, count; std::size_t bytes; std::vector<std::uint8_t> head; };
    for (const Case& c : {Case{1, 0, 0, 2016, {2, 0, 12, 0, 0, 0, 0, 0, 0x00, 0x00, 0xB0, 0x69}},
                          Case{3, 2000, 2000, 8160, {2, 0, 0x4C, 0x1F, 0xD0, 0x07, 0, 0, 0, 0, 0xB0, 0x69}},
                          // 501 instants would fit the area; model 1 holds 500.
                          Case{1, 600, 500, 2016, {2, 0, 0xDC, 0x07, 0xF4, 0x01, 0, 0, 0, 0, 0xB0, 0x69}}}) {
        InstantList list(2000);
        for (int i = 0; i < c.instants; ++i) list.add(1773136800 + 3600 * i);
        const auto image = encodeTableArea(list, 0x69B00000, *memoryMapForModel(c.model));
        ASSERT_EQ(image.size(), c.bytes) << c.model;
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 12), c.head) << c.count;
        for (int i = 0; i < c.count; ++i)
            ASSERT_EQ(getU32(image.data() + 12 + 4 * i), 1773136800u + 3600u * i) << i;
        for (std::size_t i = 12 + 4 * c.count; i < image.size(); ++i) ASSERT_EQ(image[i], 0) << i;
    }
}

TEST(DecodeTableArea, TheCountAZeroEntryAndTheAreaEndLimitTheTable) {
    std::vector<TimeValue> full(501);  // as many words as a model-1 area holds after the header
    for (std::size_t i = 0; i < full.size(); ++i) full[i] = static_cast<TimeValue>(1000 + i);
    struct Case { const char* name; std::uint16_t count; std::vector<TimeValue> entries, expected;
                  std::size_t bytes; TimeValue programmed; };
    for (const Case& c : {Case{"a zero entry ends it", 10, {11, 12, 13, 14, 0, 16}, {11, 12, 13, 14}, 2016,
                               1773000000},
                          Case{"a count above 2000 empties it", 2001, {11, 12}, {}, 8160, 0},
                          Case{"a count of 2000 is read", 2000, {11, 12}, {11, 12}, 8160, 1773000000},
                          Case{"no reading past the area", 2000, full, full, 2016, 1773000000}}) {
        AlarmTable table;
        table.add(5);
        const auto b = area(c.count, 1773000000, c.entries, c.bytes);
        decodeTableArea(b.data(), b.size(), table);
        EXPECT_EQ(table.instants(), c.expected) << c.name;
        EXPECT_EQ(table.programming_time, c.programmed) << c.name;
    }
}

TEST(DecodeLog, StatusesFromLogWordsTimesAndTheWindow) {
    const TimeValue t = kNow - 7200;
    const auto at = [](TimeValue v) { return static_cast<std::uint32_t>(v); };
    struct Case { const char* name; std::vector<TimeValue> instants; std::vector<std::uint32_t> log;
                  std::uint32_t window; std::vector<ReadBackEntry> expected; };
    const Case cases[] = {
        {"pressed before", {t}, {at(t - 300)}, 0, {{0, t, t - 300, kStatusAcknowledged}}},
        {"pressed 609 s after", {t}, {at(t + 609)}, 0, {{0, t, t + 609, kStatusAcknowledged}}},
        {"pressed 610 s after", {t}, {at(t + 610)}, 0, {{0, t, t + 610, kStatusAcknowledgedLate}}},
        {"past: nothing, alarmed, forgotten", {t, t + 100, t + 200}, {0, 1, kLogWordForgotten}, 0,
         {{0, t + 100, 0, kStatusForgottenAlt}, {0, t + 200, 0, kStatusForgottenAlt}}},
        {"window 0 stops at future alarms", {kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0}, 0,
         {{0, kNow - 60, 0, kStatusForgottenAlt}}},
        {"an open window: not alarmed yet", {kNow - 60, kNow + 1800, kNow + 7200}, {1, 0, 0}, 3600,
         {{0, kNow - 60, 0, kStatusForgottenAlt}, {0, kNow + 1800, 0, kStatusNotAlarmed}}},
        {"alarmed inside its open window", {kNow + 600}, {1}, 1200, {{0, kNow + 600, 0, kStatusNotAlarmed}}},
        {"pressed inside its open window", {kNow + 600}, {at(kNow - 10)}, 1200,
         {{0, kNow + 600, kNow - 10, kStatusAcknowledged}}},
        {"more instants than log words", {t, t + 100, t + 200, t + 300, t + 400}, {1, 1, 1}, 0,
         {{0, t, 0, kStatusForgottenAlt}, {0, t + 100, 0, kStatusForgottenAlt},
          {0, t + 200, 0, kStatusForgottenAlt}}},
    };
    for (const Case& c : cases) {
        AlarmTable table;
        for (TimeValue i : c.instants) table.add(i);
        std::vector<std::uint8_t> words(4 * c.log.size());
        for (std::size_t i = 0; i < c.log.size(); ++i) putU32(words.data() + 4 * i, c.log[i]);
        decodeLog(words.data(), c.log.size(), table, c.window, kNow);
        EXPECT_EQ(table.log_entries, c.expected) << c.name;
        decodeLog(words.data(), 0, table, c.window, kNow);
        EXPECT_TRUE(table.log_entries.empty()) << c.name << ": a decoding without words leaves none";
    }
}
