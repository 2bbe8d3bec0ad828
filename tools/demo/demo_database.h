#pragma once
// The demo database: a few people with alarms and history, one of them
// with a reminder that was programmed some days ago. The simulated
// reminder started with `simulatorArguments()` is that person's reminder:
// same serial number, and the same table as the database says it was
// given, so its first arrival reads back that person's acknowledgements.
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/types.h"
#include "store/record_store.h"

namespace velmora::demo {

struct DemoReminder {
    std::uint32_t serial = 100234;
    int model = 2;
    int historyDays = 14;               // programmed this many days ago
    std::string dailyTimes = "08:00,14:00,20:00";
};

struct DemoDatabase {
    int personWithReminder = 0;  // user id of Aino, whose reminder it is
    DemoReminder reminder;
};

// Creates the database in `dataDirectory` (which must hold none yet) with
// the program's own store code, as the program would find it on `now`.
// False when a database already exists there or a write failed.
bool makeDemoDatabase(const std::filesystem::path& dataDirectory, const SYSTEMTIME& now,
                      DemoDatabase& out);

// The options of velmora-reminder-sim that make it that reminder.
std::string simulatorArguments(const DemoReminder& reminder);

}  // namespace velmora::demo
