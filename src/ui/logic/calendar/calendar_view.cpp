#include "ui/logic/calendar/calendar_view.h"

#include <algorithm>
#include <string>

#include "core/datetime.h"
#include "core/text.h"
#include "resources/string_ids.h"

namespace velmora {

namespace {

SYSTEMTIME atTime(const SYSTEMTIME& date, int hour, int minute, int second = 0) {
    SYSTEMTIME t = normalizeDate(makeTime(date.wYear, date.wMonth, date.wDay, hour, minute, second));
    return t;
}

// A minute of the day (0-1439) on a date.
SYSTEMTIME atMinute(const SYSTEMTIME& date, int minuteOfDay) { return atTime(date, minuteOfDay / 60, minuteOfDay % 60); }

SYSTEMTIME dayStart(const SYSTEMTIME& date) { return atTime(date, 0, 0); }
SYSTEMTIME dayEnd(const SYSTEMTIME& date) { return atTime(date, 23, 59, 59); }

bool sameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// The start of the 30-minute slot that holds a time of day.
SYSTEMTIME slotOf(const SYSTEMTIME& t) {
    return atTime(t, t.wHour, t.wMinute - t.wMinute % CalendarViewLogic::kSlotMinutes);
}

// The same day of another month, the day cut to the month's length.
SYSTEMTIME addMonths(const SYSTEMTIME& t, int months) {
    const int index = t.wYear * 12 + (t.wMonth - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    const int day = std::min<int>(t.wDay, daysInMonth(year, month));
    return normalizeDate(makeTime(year, month, day, t.wHour, t.wMinute, t.wSecond));
}

class DayViewLogic final : public CalendarViewLogic {
public:
    using CalendarViewLogic::CalendarViewLogic;
    DateRange rangeOf(const SYSTEMTIME& date) const override { return {dayStart(date), dayEnd(date)}; }
    std::int64_t rangeKey(const SYSTEMTIME& date) const override { return dayNumber(date); }
};

class WeekViewLogic final : public CalendarViewLogic {
public:
    using CalendarViewLogic::CalendarViewLogic;
    DateRange rangeOf(const SYSTEMTIME& date) const override {
        const WeekSpan w = weekRange(normalizeDate(date));
        return {dayStart(w.start), dayEnd(w.end)};
    }
    // The ISO week, told apart from the same week number of other years by
    // its Monday.
    std::int64_t rangeKey(const SYSTEMTIME& date) const override { return dayNumber(rangeOf(date).first); }
};

class MonthViewLogic final : public CalendarViewLogic {
public:
    using CalendarViewLogic::CalendarViewLogic;
    // The whole weeks that hold the days of the month.
    DateRange rangeOf(const SYSTEMTIME& date) const override {
        const SYSTEMTIME first = normalizeDate(makeTime(date.wYear, date.wMonth, 1));
        const SYSTEMTIME last = normalizeDate(makeTime(date.wYear, date.wMonth, daysInMonth(date)));
        return {dayStart(weekRange(first).start), dayEnd(weekRange(last).end)};
    }
    std::int64_t rangeKey(const SYSTEMTIME& date) const override { return date.wYear * 12 + date.wMonth; }
};

}  // namespace

std::unique_ptr<CalendarViewLogic> CalendarViewLogic::make(ViewKind kind, CalendarRequests& requests,
                                                           const StringSource& strings, const Clock& clock) {
    switch (kind) {
        case ViewKind::Day: return std::make_unique<DayViewLogic>(kind, requests, strings, clock);
        case ViewKind::Week: return std::make_unique<WeekViewLogic>(kind, requests, strings, clock);
        case ViewKind::Month: break;
    }
    return std::make_unique<MonthViewLogic>(kind, requests, strings, clock);
}

CalendarViewLogic::CalendarViewLogic(ViewKind kind, CalendarRequests& requests, const StringSource& strings,
                                     const Clock& clock)
    : kind_(kind), requests_(requests), strings_(strings), clock_(clock) {
    cursor_ = slotOf(clock_.localNow());
}

bool CalendarViewLogic::setDate(const SYSTEMTIME& date) {
    date_ = normalizeDate(date);
    cursor_ = atTime(date_, cursor_.wHour, cursor_.wMinute);
    const std::int64_t key = rangeKey(date_);
    if (key == key_) {
        selectFirstItemInCursorSlot();
        return false;
    }
    key_ = key;
    range_ = rangeOf(date_);
    items_.clear();
    days_.clear();
    selected_ = remembered_ = -1;
    return true;
}

void CalendarViewLogic::refresh() {
    if (key_ < 0) return;  // no date yet
    std::vector<AlarmOccurrence> occurrences;
    requests_.occurrences(range_.first, range_.last, occurrences);
    // Only the log of the range: entries of other days are no items here.
    const std::map<TimeValue, LogEntry>& log = requests_.acknowledgementLog();
    const std::map<TimeValue, LogEntry> inRange(log.lower_bound(toTimeValue(range_.first)),
                                                log.upper_bound(toTimeValue(range_.last)));
    items_ = buildViewItems(std::move(occurrences), inRange, clock_.localNow(), strings_);
    sortIntoDays();
    remembered_ = -1;
    selectFirstItemInCursorSlot();
}

int CalendarViewLogic::dayCount() const {
    return static_cast<int>(dayNumber(range_.last) - dayNumber(range_.first)) + 1;
}

SYSTEMTIME CalendarViewLogic::dayAt(int index) const { return dayStart(addDays(range_.first, index)); }

int CalendarViewLogic::dayIndexOf(const SYSTEMTIME& date) const {
    const std::int64_t i = dayNumber(date) - dayNumber(range_.first);
    return i >= 0 && i < dayCount() ? static_cast<int>(i) : -1;
}

std::vector<const ViewItem*> CalendarViewLogic::itemsOfDay(int index) const {
    std::vector<const ViewItem*> out;
    if (index < 0 || index >= static_cast<int>(days_.size())) return out;
    out.reserve(days_[static_cast<std::size_t>(index)].size());
    for (int i : days_[static_cast<std::size_t>(index)]) out.push_back(&items_[static_cast<std::size_t>(i)]);
    return out;
}

void CalendarViewLogic::sortIntoDays() {
    days_.assign(static_cast<std::size_t>(dayCount()), {});
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const int day = dayIndexOf(items_[i].start);
        if (day >= 0) days_[static_cast<std::size_t>(day)].push_back(static_cast<int>(i));
    }
    // In the order the ruler reads: the wall-clock time of day.
    auto secondOf = [this](int i) {
        const SYSTEMTIME& t = items_[static_cast<std::size_t>(i)].start;
        return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
    };
    for (std::vector<int>& day : days_)
        std::stable_sort(day.begin(), day.end(), [&](int a, int b) { return secondOf(a) < secondOf(b); });
}

// ---- Mouse ----

bool CalendarViewLogic::addAllowed(const SYSTEMTIME& slotStart) const {
    return clock_.nowValue() - static_cast<std::int64_t>(toTimeValue64(slotStart)) <= kAddGraceSeconds;
}

bool CalendarViewLogic::clickSlot(const SYSTEMTIME& slotStart) {
    if (!addAllowed(slotStart)) return false;
    moveCursor(slotOf(slotStart));
    requests_.addAlarm(cursor_);
    return true;
}

void CalendarViewLogic::selectItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    moveCursor(slotOf(items_[static_cast<std::size_t>(index)].start));
    selected_ = index;
}

bool CalendarViewLogic::contextMenuOn(int index) {
    remembered_ = -1;
    if (index < 0 || index >= static_cast<int>(items_.size())) return false;
    if (!itemEditable(items_[static_cast<std::size_t>(index)], clock_.localNow())) return false;
    remembered_ = index;
    return true;
}

void CalendarViewLogic::editRemembered() {
    if (remembered_ < 0) return;
    const ViewItem item = items_[static_cast<std::size_t>(remembered_)];
    remembered_ = -1;
    requests_.editAlarm(item.start, item.alarm);
}

void CalendarViewLogic::deleteRemembered() {
    if (remembered_ < 0) return;
    const ViewItem item = items_[static_cast<std::size_t>(remembered_)];
    remembered_ = -1;
    requests_.deleteAlarm(item.start, item.alarm);
}

void CalendarViewLogic::selectDay(const SYSTEMTIME& day) { moveCursor(atTime(day, cursor_.wHour, cursor_.wMinute)); }

void CalendarViewLogic::openDay(const SYSTEMTIME& day) {
    selectDay(day);
    requests_.selectTab(0);
}

// ---- Keyboard ----

void CalendarViewLogic::moveCursor(const SYSTEMTIME& to) {
    const bool newDay = !sameDay(to, date_);
    cursor_ = to;
    selected_ = -1;
    if (newDay) requests_.setDate(to);  // the main window's date follows and echoes it back
    selectFirstItemInCursorSlot();
}

void CalendarViewLogic::selectFirstItemInCursorSlot() {
    selected_ = -1;
    if (kind_ == ViewKind::Month) return;
    const std::int64_t from = toTimeValue64(cursor_);
    const std::int64_t to = from + kSlotMinutes * 60;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const std::int64_t at = toTimeValue64(items_[i].start);
        if (at >= from && at < to && sameDay(items_[i].start, cursor_)) {
            selected_ = static_cast<int>(i);
            return;
        }
    }
}

void CalendarViewLogic::key(CalendarKey key) {
    const bool month = kind_ == ViewKind::Month;
    const int minutes = cursor_.wHour * 60 + cursor_.wMinute;
    switch (key) {
        case CalendarKey::Left: moveCursor(addDays(cursor_, -1)); break;
        case CalendarKey::Right: moveCursor(addDays(cursor_, 1)); break;
        case CalendarKey::Up:
            if (month) moveCursor(addDays(cursor_, -7));
            else if (minutes >= kSlotMinutes) moveCursor(atMinute(cursor_, minutes - kSlotMinutes));
            break;
        case CalendarKey::Down:
            if (month) moveCursor(addDays(cursor_, 7));
            else if (minutes + kSlotMinutes < 24 * 60) moveCursor(atMinute(cursor_, minutes + kSlotMinutes));
            break;
        case CalendarKey::PageUp:
            moveCursor(month ? addMonths(cursor_, -1) : addDays(cursor_, -dayCount()));
            break;
        case CalendarKey::PageDown:
            moveCursor(month ? addMonths(cursor_, 1) : addDays(cursor_, dayCount()));
            break;
        case CalendarKey::Home: moveCursor(slotOf(clock_.localNow())); break;
        case CalendarKey::Enter:
            if (month) openDay(cursor_);
            else if (addAllowed(cursor_)) requests_.addAlarm(cursor_);
            break;
        case CalendarKey::Delete:
            if (selected_ >= 0 && itemEditable(items_[static_cast<std::size_t>(selected_)], clock_.localNow())) {
                const ViewItem item = items_[static_cast<std::size_t>(selected_)];
                requests_.deleteAlarm(item.start, item.alarm);
            }
            break;
    }
}

// ---- Screen readers ----

Text CalendarViewLogic::name() const {
    switch (kind_) {
        case ViewKind::Day: return strings_.load(ids::kDayCalendarName);
        case ViewKind::Week: return strings_.load(ids::kWeekCalendarName);
        case ViewKind::Month: break;
    }
    return strings_.load(ids::kMonthCalendarName);
}

Text CalendarViewLogic::itemSpeech(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return {};
    return spokenItem(items_[static_cast<std::size_t>(index)], clock_.localNow(), strings_);
}

Text CalendarViewLogic::itemDetails(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return {};
    const ViewItem& item = items_[static_cast<std::size_t>(index)];
    const Text day = spokenDay(item.start, strings_);
    return item.text.empty() ? day : day + ", " + item.text;
}

Text CalendarViewLogic::weekLabel() const {
    return fillPlaceholder(strings_.load(ids::kWeekNumberLabel), std::to_string(weekNumber(dayAt(0))));
}

Text CalendarViewLogic::cursorSpeech() const {
    Text out = spokenDay(cursor_, strings_);
    const bool month = kind_ == ViewKind::Month;
    const std::int64_t from = toTimeValue64(cursor_);
    const std::int64_t to = from + kSlotMinutes * 60;
    if (!month) out += " " + formatTimeOfDay(cursor_) + "\u2013" + formatTimeOfDay(addSecondsRounded(cursor_, kSlotMinutes * 60));
    Text items;
    for (const ViewItem* item : itemsOfDay(dayIndexOf(cursor_))) {
        const std::int64_t at = toTimeValue64(item->start);
        if (!month && (at < from || at >= to)) continue;
        items += (items.empty() ? "" : "; ") + spokenItem(*item, clock_.localNow(), strings_);
    }
    return out + ": " + (items.empty() ? strings_.load(ids::kSpokenNoDoses) : items);
}

}  // namespace velmora
