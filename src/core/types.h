#pragma once
// Basic value types shared by every subsystem.
#include <cstdint>
#include <string>

namespace velmora {

// User-visible text. Held as UTF-8 in std::string; converted to
// Windows-1252 where 8-bit text is needed (see cp1252.h).
using Text = std::string;

// Seconds since 1970-01-01 00:00:00 UTC, signed 32-bit: the stored and
// transmitted form of every instant. 0 means "no instant".
using TimeValue = std::int32_t;

// The last instant a TimeValue holds: 2038-01-19 03:14:07 UTC. The database
// and the reminder keep instants in 32 bits, so nothing later is expanded,
// stored or sent.
inline constexpr TimeValue kLastTimeValue = INT32_MAX;

// Calendar date-time in local time, laid out as eight unsigned 16-bit
// fields (the layout the reminder's tools and old files were built on).
struct SYSTEMTIME {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;       // 1-12
    std::uint16_t wDayOfWeek = 0;   // 0 = Sunday
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    friend bool operator==(const SYSTEMTIME&, const SYSTEMTIME&) = default;
};
static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME must be eight 16-bit fields");

// Builds a date-time from its parts (day of week left 0, milliseconds 0).
constexpr SYSTEMTIME makeTime(int year, int month, int day, int hour = 0, int minute = 0,
                              int second = 0) {
    SYSTEMTIME t;
    t.wYear = static_cast<std::uint16_t>(year);
    t.wMonth = static_cast<std::uint16_t>(month);
    t.wDay = static_cast<std::uint16_t>(day);
    t.wHour = static_cast<std::uint16_t>(hour);
    t.wMinute = static_cast<std::uint16_t>(minute);
    t.wSecond = static_cast<std::uint16_t>(second);
    return t;
}

}  // namespace velmora
