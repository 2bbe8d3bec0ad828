#pragma once
// The day, week and month views' logic: the date, the range it gives, the
// refresh that rebuilds the range's items, and the requests the views send
// to the main window (they never write themselves).
#include <memory>
#include <vector>

#include "core/clock.h"
#include "core/interaction.h"
#include "core/records.h"
#include "core/schedule.h"
#include "ui/logic/calendar/calendar_items.h"

namespace velmora {

// What a view asks of the main window: the data of its range (the
// occurrences and the acknowledgement log) and the requests it sends
// (a new date, a tab to show, add, edit or delete an alarm).
class CalendarRequests {
public:
    virtual ~CalendarRequests() = default;
    virtual void occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                             std::vector<AlarmOccurrence>& out) const = 0;
    virtual const std::map<TimeValue, LogEntry>& acknowledgementLog() const = 0;
    virtual void setDate(const SYSTEMTIME& date) = 0;
    virtual void selectTab(int index) = 0;
    virtual void addAlarm(const SYSTEMTIME& start) = 0;
    virtual void editAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) = 0;
    virtual void deleteAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) = 0;
};

// The days shown, from the first day's 00:00:00 to the last day's 23:59:59.
struct DateRange {
    SYSTEMTIME first{};
    SYSTEMTIME last{};
};

enum class ViewKind { Day, Week, Month };

// What a view does with a key.
enum class CalendarKey { Left, Right, Up, Down, PageUp, PageDown, Home, Enter, Delete };

class CalendarViewLogic {
public:
    // A slot may be added at until it lies this far in the past.
    static constexpr TimeValue kAddGraceSeconds = 3600;
    static constexpr int kSlotMinutes = 30;

    static std::unique_ptr<CalendarViewLogic> make(ViewKind kind, CalendarRequests& requests,
                                                   const StringSource& strings, const Clock& clock);
    virtual ~CalendarViewLogic() = default;

    ViewKind kind() const { return kind_; }
    // The range of a date for this kind of view, and the key that tells
    // whether a new date needs a reload.
    virtual DateRange rangeOf(const SYSTEMTIME& date) const = 0;
    virtual std::int64_t rangeKey(const SYSTEMTIME& date) const = 0;

    // Takes the date; true when its range key changed, the view then
    // refreshes. The cursor moves to the date, keeping its time of day.
    bool setDate(const SYSTEMTIME& date);
    // Rebuilds the items of the range.
    void refresh();

    const SYSTEMTIME& date() const { return date_; }
    const DateRange& range() const { return range_; }
    int dayCount() const;
    // The date (00:00) of the range's day `index`.
    SYSTEMTIME dayAt(int index) const;
    // The range's day index of a date; -1 outside the range.
    int dayIndexOf(const SYSTEMTIME& date) const;
    const std::vector<ViewItem>& items() const { return items_; }
    // The items of the range's day `index`, in time order.
    std::vector<const ViewItem*> itemsOfDay(int index) const;

    // ---- Mouse ----
    // Left button on a slot: selects it and, when it lies at most an hour
    // in the past, asks to add an alarm there. True when asked.
    bool clickSlot(const SYSTEMTIME& slotStart);
    // Left button on an item: selects it.
    void selectItem(int index);
    // Right button on an item (-1: none): true when the context menu may
    // open; the item is remembered for its commands.
    bool contextMenuOn(int index);
    void editRemembered();    // cmd::kEditAlarm
    void deleteRemembered();  // cmd::kDeleteAlarm
    // Month grid: a click selects a day (the main window's date follows),
    // a double-click opens the day view on it.
    void selectDay(const SYSTEMTIME& day);
    void openDay(const SYSTEMTIME& day);

    // ---- Keyboard ----
    // The cursor: a day and (planners) the start of a 30-minute slot.
    const SYSTEMTIME& cursor() const { return cursor_; }
    // The selected item, -1 when none.
    int selectedItem() const { return selected_; }
    void key(CalendarKey key);

    // ---- Screen readers ----
    // The view's name ("Week calendar").
    Text name() const;
    // The range's item `index` as spoken (spokenItem), empty outside the range.
    Text itemSpeech(int index) const;
    // Its day and second line: "weekday d.m.yyyy, description".
    Text itemDetails(int index) const;
    // The cursor's slot ("weekday d.m.yyyy hh:mm–hh:mm"; the month grid: its
    // day) and, after a colon, the items in it or "no doses".
    Text cursorSpeech() const;
    // The ISO week of the range's first day, for the planner's corner ("vk 11").
    Text weekLabel() const;

    // Views are made by make(); the kinds differ only in their range.
    CalendarViewLogic(ViewKind kind, CalendarRequests& requests, const StringSource& strings,
                      const Clock& clock);

private:
    bool addAllowed(const SYSTEMTIME& slotStart) const;
    void moveCursor(const SYSTEMTIME& to);
    void selectFirstItemInCursorSlot();
    void sortIntoDays();

    ViewKind kind_;
    CalendarRequests& requests_;
    const StringSource& strings_;
    const Clock& clock_;
    SYSTEMTIME date_{};
    DateRange range_{};
    std::int64_t key_ = -1;
    std::vector<ViewItem> items_;
    std::vector<std::vector<int>> days_;  // item indexes per day of the range
    SYSTEMTIME cursor_{};
    int selected_ = -1;
    int remembered_ = -1;
};

}  // namespace velmora
