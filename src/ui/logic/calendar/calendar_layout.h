#pragma once
// Where things go before anything is painted: the planner's one mapping
// between time and pixels, the columns of items that overlap in a day,
// and the month grid's cells with the rows that fit in each.
#include <optional>
#include <vector>

#include "core/types.h"
#include "ui/logic/calendar/calendar_items.h"

namespace velmora {

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The planner: a ruler on the left, a header row of days on top, and
// below it 48 slots of 30 minutes per day column, scrolled vertically.
// Positions are wall-clock times of day, as the ruler reads: on the days
// daylight saving starts or ends the ruler still shows 00 to 23.
struct PlannerGeometry {
    int width = 0;
    int height = 0;         // of the visible area
    int rulerWidth = 58;
    int headerHeight = 30;
    int slotHeight = 22;    // one 30-minute slot
    int days = 1;
    int scroll = 0;         // pixels of the day scrolled out above

    static constexpr int kSlotsPerDay = 48;
    static constexpr int kSecondsPerSlot = 1800;

    int contentHeight() const { return kSlotsPerDay * slotHeight; }
    int maxScroll() const;
    int columnLeft(int day) const;
    int columnWidth(int day) const;
    // The day column under x, -1 on the ruler or outside.
    int dayAt(int x) const;

    // The one pair of mappings: a time of day to its pixel row, and a pixel
    // row of the day area to the earliest time of day drawn there.
    int yOf(const SYSTEMTIME& time) const;
    int yOfSecond(int secondOfDay) const;
    int secondAt(int y) const;
    // The time (on `day`) under a pixel row; nullopt outside the day area.
    std::optional<SYSTEMTIME> timeAt(const SYSTEMTIME& day, int y) const;
    // The start of the 30-minute slot under a pixel row.
    std::optional<SYSTEMTIME> slotAt(const SYSTEMTIME& day, int y) const;
    // The scroll that shows the slot holding `time` (unchanged when it is
    // in view already).
    int scrollToShow(const SYSTEMTIME& time) const;
};

// An item's place in its day: column `column` of `columns` side by side.
struct DayPlacement {
    int item = 0;  // index into the items given
    int column = 0;
    int columns = 1;
};
// Items that overlap (each drawn as `minSeconds` long) share their day
// side by side; a group of items that overlap one another, directly or
// through others, shares one column count.
std::vector<DayPlacement> layoutDay(const std::vector<const ViewItem*>& items, int minSeconds);

// The item rectangles of a planner for one day column.
PixelRect itemRect(const PlannerGeometry& g, int day, const ViewItem& item, const DayPlacement& p);

// The month grid: the month and year on top, the weekday names under
// them, a row of seven cells per week.
struct MonthGeometry {
    int width = 0;
    int height = 0;
    int titleHeight = 28;
    int headerHeight = 24;
    int weeks = 5;
    int dayLineHeight = 18;   // the day number line of a cell
    int itemLineHeight = 16;  // one item line

    int cellsTop() const { return titleHeight + headerHeight; }
    PixelRect cell(int index) const;  // index = week * 7 + weekday (Monday 0)
    int cellAt(int x, int y) const;   // -1 outside the cells
};

// How many item lines a cell shows; when not all fit, the last line says
// how many are hidden.
struct CellRows {
    int shown = 0;
    int hidden = 0;
};
CellRows layoutCell(const MonthGeometry& g, int cellIndex, int itemCount);

}  // namespace velmora
