// The simulated reminder's person: how presses become log words.
#include <gtest/gtest.h>

#include <vector>

#include "reminder-sim/simulated_reminder.h"

using namespace velmora;
using sim::SimulatedReminder;

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

TEST(SimulatedReminderPackets, UnknownCommandsAndBadAddressesGetStatusZero) {
    SimulatedReminder r(1);
    std::uint8_t req[64] = {}, reply[64];
    putU16(req, 0x77);
    putU16(req + 2, 4);
    ASSERT_EQ(r.handle(req, 64, reply, 64), 64u);
    EXPECT_EQ(reply[4], 0);
    putU16(req, kCmdReadBlock);
    putU16(req + 2, 8);
    req[4] = 1;
    putU16(req + 6, 4096);  // past the end of a model-1 memory
    r.handle(req, 64, reply, 64);
    EXPECT_EQ(reply[4], 0);
    putU16(req, kCmdWriteBlock);
    putU16(req + 2, 40);
    putU16(req + 6, 0);  // addresses 0 to 31 are not writable
    req[8] = 0x55;
    r.handle(req, 64, reply, 64);
    EXPECT_EQ(reply[4], 0);
    EXPECT_EQ(r.word(0), 0u);
}
