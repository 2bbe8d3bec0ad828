#include "ui/logic/calendar/calendar_items.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/text.h"
#include "core/datetime.h"
#include "resources/string_ids.h"
#include "ui/logic/users/profile_dlg_logic.h"

namespace velmora {

ItemStyle::Rgb statusColour(int logStatus) {
    switch (logStatus) {
        case kStatusForgotten:
        case kStatusForgottenAlt: return ItemStyle::kForgotten;
        case kStatusAcknowledged: return ItemStyle::kAcknowledged;
        case kStatusAcknowledgedLate: return ItemStyle::kAcknowledgedLate;
        default: return ItemStyle::kAlarm;
    }
}

namespace {

constexpr std::size_t kMonthTitleLength = 63;


// The status part of an item: colour and second line by the log status.
void applyStatus(ViewItem& item, const StringSource& strings) {
    switch (item.status) {
        case kStatusForgotten:
        case kStatusForgottenAlt:
            item.colour = statusColour(item.status);
            item.text = fillPlaceholder(strings.load(ids::kAlarmTime), formatTimeOfDay(item.start));
            break;
        case kStatusAcknowledged:
        case kStatusAcknowledgedLate:
            item.colour = statusColour(item.status);
            item.text = fillPlaceholder(
                fillPlaceholder(strings.load(ids::kAlarmAndAckTimes), formatTimeOfDay(item.start)),
                formatTimeOfDay(item.ackTime));
            break;
        default: break;
    }
}

// Whether a local time lies before now. Other days compare by the
// calendar alone; the instants are computed only for today, where the
// hour repeated at the end of daylight saving needs them.
bool beforeNow(const SYSTEMTIME& t, const SYSTEMTIME& now) {
    const auto date = [](const SYSTEMTIME& x) { return (x.wYear * 16 + x.wMonth) * 32 + x.wDay; };
    if (date(t) != date(now)) return date(t) < date(now);
    return toTimeValue64(t) < toTimeValue64(now);
}

}  // namespace

std::vector<ViewItem> buildViewItems(std::vector<AlarmOccurrence> occurrences,
                                     const std::map<TimeValue, LogEntry>& log, const SYSTEMTIME& now,
                                     const StringSource& strings) {
    std::vector<LogEntry> unmatched;
    applyHistory(occurrences, log, unmatched);
    std::vector<ViewItem> items;
    items.reserve(occurrences.size() + unmatched.size());
    for (const AlarmOccurrence& o : occurrences) {
        ViewItem item;
        item.start = item.end = o.time;
        item.title = o.title;
        item.text = o.description;
        item.colour = o.alarm_type == 1 ? ItemStyle::kPouchAlarm : ItemStyle::kAlarm;
        if (o.source) {
            item.alarm = *o.source;
            item.hasAlarm = true;
        }
        item.status = o.status;
        item.ackTime = o.ack_time;
        if (o.status == kStatusNotAlarmed && beforeNow(o.time, now)) {
            if (log.count(toTimeValue(o.time))) {
                item.title = strings.load(ids::kStatusNotAlarmed);
            } else {
                item.title = strings.load(ids::kAwaitingReadBack);
                item.colour = ItemStyle::kAwaitingReadBack;
            }
        }
        applyStatus(item, strings);
        items.push_back(std::move(item));
    }
    for (const LogEntry& e : unmatched) {
        ViewItem item;
        item.start = item.end = fromTimeValue(static_cast<std::uint32_t>(e.alarm_time));
        item.title = strings.load(ids::kStatusNotAlarmed);
        item.status = e.log_status;
        if (e.log_status == kStatusAcknowledged || e.log_status == kStatusAcknowledgedLate)
            item.ackTime = fromTimeValue(static_cast<std::uint32_t>(e.ack));
        applyStatus(item, strings);
        items.push_back(std::move(item));
    }
    return items;
}

Text monthCellText(const ViewItem& item, const StringSource& strings) {
    Text label;
    if (item.hasAlarm) {
        const std::u16string wide = utf8ToUtf16(item.title);
        label = wide.size() > kMonthTitleLength ? utf16ToUtf8(wide.substr(0, kMonthTitleLength)) : item.title;
    } else {
        switch (item.status) {
            case kStatusForgotten:
            case kStatusForgottenAlt: label = strings.load(ids::kStatusForgotten); break;
            case kStatusAcknowledged: label = strings.load(ids::kStatusAcknowledged); break;
            case kStatusAcknowledgedLate: label = strings.load(ids::kStatusAcknowledgedLate); break;
            default: label = strings.load(ids::kStatusNotAlarmed); break;
        }
    }
    return formatTimeOfDay(item.start) + "  " + label;
}

Text plannerTooltip(const ViewItem& item) {
    return formatDateShort(item.start) + " " + formatTimeOfDay(item.start) + "\n\n" + item.title + "\n\n" +
           item.text;
}

Text monthDayTooltip(const SYSTEMTIME& day, const std::vector<const ViewItem*>& items,
                     const StringSource& strings) {
    Text out = formatDateShort(day);
    for (const ViewItem* item : items) out += "\n" + monthCellText(*item, strings);
    return out;
}

Text spokenItem(const ViewItem& item, const SYSTEMTIME& now, const StringSource& strings) {
    Text state;
    switch (item.status) {
        case kStatusForgotten:
        case kStatusForgottenAlt: state = strings.load(ids::kStatusForgotten); break;
        case kStatusAcknowledged:
            state = strings.load(ids::kStatusAcknowledged) + " " + formatTimeOfDay(item.ackTime);
            break;
        case kStatusAcknowledgedLate:
            state = strings.load(ids::kStatusAcknowledgedLate) + " " + formatTimeOfDay(item.ackTime);
            break;
        default:
            // A past dose says what its title says (not alarmed, not read
            // from the reminder); one still ahead is upcoming.
            if (item.hasAlarm && !beforeNow(item.start, now))
                state = strings.load(item.colour == ItemStyle::kPouchAlarm ? ids::kSpokenUpcomingPouch
                                                                           : ids::kSpokenUpcoming);
            else if (item.title != (item.hasAlarm ? item.alarm.title : Text())) state = item.title;
            break;
    }
    Text out = formatTimeOfDay(item.start);
    if (item.hasAlarm && !item.alarm.title.empty()) out += " " + item.alarm.title;
    return state.empty() ? out : out + ", " + state;
}

Text weekdayName(const StringSource& strings, int dayOfWeek) {
    const std::vector<Text> names = tabSeparatedFields(strings.load(ids::kWeekdayNames));
    const std::size_t mondayFirst = static_cast<std::size_t>((dayOfWeek + 6) % 7);
    return mondayFirst < names.size() ? names[mondayFirst] : Text();
}

Text spokenDay(const SYSTEMTIME& day, const StringSource& strings) {
    return weekdayName(strings, dayOfWeek(day.wYear, day.wMonth, day.wDay)) + " " + formatDateShort(day);
}

bool itemEditable(const ViewItem& item, const SYSTEMTIME& now) {
    return item.hasAlarm && !beforeNow(item.start, now);
}

}  // namespace velmora
