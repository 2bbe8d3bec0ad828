#pragma once
// The items a calendar view shows: occurrences of the range with their
// acknowledgement state from the log, and log entries whose alarm is gone;
// their colours, texts and tooltips.
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
#include "core/schedule.h"

namespace velmora {

// Fill colours of the items (red, green, blue). Everything else a view
// paints takes its colours from the desktop palette.
struct ItemStyle {
    struct Rgb {
        int r, g, b;
        friend bool operator==(const Rgb&, const Rgb&) = default;
    };
    static constexpr Rgb kAlarm{51, 205, 215};
    static constexpr Rgb kPouchAlarm{8, 174, 198};
    static constexpr Rgb kForgotten{255, 0, 0};
    static constexpr Rgb kAcknowledged{170, 225, 0};
    static constexpr Rgb kAcknowledgedLate{255, 235, 0};
    // A past dose whose outcome the reminder has not yet been read for.
    static constexpr Rgb kAwaitingReadBack{200, 203, 207};
};

// The fill of a log status: forgotten (2, 3), taken (4), taken late (5);
// the alarm colour for any other.
ItemStyle::Rgb statusColour(int logStatus);

// One entry of a planner or of the month grid.
struct ViewItem {
    SYSTEMTIME start{};  // the occurrence, or the alarm time of a log entry
    SYSTEMTIME end{};    // equal to start: an item is an instant
    Text title;
    Text text;           // second line: description or acknowledgement times
    ItemStyle::Rgb colour = ItemStyle::kAlarm;
    Alarm alarm;         // copy of the alarm; empty for a log entry without one
    bool hasAlarm = false;
    int status = 0;      // 0 none, 1 not alarmed, 2/3 forgotten, 4 taken, 5 taken late
    SYSTEMTIME ackTime{};  // for status 4 and 5
};

// Items of a range: one per occurrence, coloured and labelled by the log
// entry at its second, then one per log entry that matched no occurrence.
// A past occurrence without a log entry is grey and titled "not read from
// the reminder": nothing is known of it yet, unlike an alarm still ahead.
// `occurrences` is sorted; the result keeps that order, log entries after.
std::vector<ViewItem> buildViewItems(std::vector<AlarmOccurrence> occurrences,
                                     const std::map<TimeValue, LogEntry>& log, const SYSTEMTIME& now,
                                     const StringSource& strings);

// The line of an item in a month cell: "hh:mm  title" (the title cut to
// 63 characters), or the status word for a log entry without its alarm.
Text monthCellText(const ViewItem& item, const StringSource& strings);

// The planners' tooltip: "d.m.yyyy hh:mm", empty line, title, empty line, text.
Text plannerTooltip(const ViewItem& item);

// The month grid's tooltip of a day: "d.m.yyyy", then the day's cell texts.
Text monthDayTooltip(const SYSTEMTIME& day, const std::vector<const ViewItem*>& items,
                     const StringSource& strings);

// What a screen reader says of an item: "hh:mm title, state", the state
// being what its colour shows (upcoming, forgotten, acknowledged hh:mm ...).
Text spokenItem(const ViewItem& item, const SYSTEMTIME& now, const StringSource& strings);

// The weekday's name in the language in use (0 = Sunday, as dayOfWeek).
Text weekdayName(const StringSource& strings, int dayOfWeek);

// A day as a screen reader says it: "weekday d.m.yyyy".
Text spokenDay(const SYSTEMTIME& day, const StringSource& strings);

// True when the person may edit or delete the item at `now`: it belongs to
// an alarm and does not lie in the past.
bool itemEditable(const ViewItem& item, const SYSTEMTIME& now);

}  // namespace velmora
