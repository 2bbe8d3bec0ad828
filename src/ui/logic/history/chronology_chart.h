#pragma once
// The chronology chart of the history dialog: one row per day of a period,
// the hours 0-24 across, each logged dose a mark at its alarm time and its
// acknowledgement a tick at the acknowledgement time (on the row of that
// day). Geometry and hit-testing in pixels; the Qt side only paints.
#include <cstdint>
#include <map>
#include <vector>

#include "core/datetime.h"
#include "core/records.h"
#include "ui/logic/history/adherence.h"
#include "ui/logic/calendar/calendar_items.h"

namespace velmora {

struct ChartMark {
    TimeValue alarm = 0;
    TimeValue ack = 0;
    int status = 0;
    int row = 0;        // day of the period, 0 = first
    int daySecond = 0;  // local time of day of the alarm
    int ackRow = -1;    // -1: no acknowledgement tick in the period
    int ackDaySecond = 0;
};

class ChronologyChart {
public:
    static constexpr int kLabelWidth = 76;    // the dates at the left
    static constexpr int kHeaderHeight = 20;  // the hours at the top
    static constexpr int kRowHeight = 14;
    static constexpr int kMarkRadius = 4;
    static constexpr int kMinPlotWidth = 240;

    ChronologyChart(const std::map<TimeValue, LogEntry>& history, const PeriodDays& days);

    // Fits the hours into `width` pixels (the plot keeps kMinPlotWidth).
    void setWidth(int width);
    int width() const { return kLabelWidth + plotWidth_; }
    int height() const { return kHeaderHeight + rows() * kRowHeight; }
    int rows() const { return days_.days; }

    SYSTEMTIME rowDate(int row) const { return addDays(days_.first, row); }
    int rowTop(int row) const { return kHeaderHeight + row * kRowHeight; }
    int rowCentre(int row) const { return rowTop(row) + kRowHeight / 2; }
    // The rows that meet the pixel lines y0..y1 (clamped), as [first, last).
    std::pair<int, int> rowsBetween(int y0, int y1) const;
    // x of a time of day in seconds (0-86400).
    int xOf(int daySecond) const {
        return kLabelWidth + static_cast<int>(static_cast<std::int64_t>(daySecond) * plotWidth_ / 86400);
    }

    // In alarm-time order, so in row order.
    const std::vector<ChartMark>& marks() const { return marks_; }
    // Marks of rows [firstRow, lastRow) as index range [begin, end).
    std::pair<std::size_t, std::size_t> marksOfRows(int firstRow, int lastRow) const;
    // Index of the mark under the point (the nearest within the mark's
    // radius and two pixels), -1 for none.
    int markAt(int x, int y) const;
    // The mark's fill: the calendar's colour of its status.
    static ItemStyle::Rgb colourOf(const ChartMark& m) { return statusColour(m.status); }
    // The row of the newest mark, the one the chart opens at; the last row
    // when there is none.
    int newestRow() const { return marks_.empty() ? rows() - 1 : marks_.back().row; }

private:
    int rowOf(TimeValue t, int& daySecond) const;

    PeriodDays days_;
    std::int64_t firstDay_ = 0;
    int plotWidth_ = kMinPlotWidth;
    std::vector<ChartMark> marks_;
};

// What the marks mean: a dot per outcome in its colour, then the
// acknowledgement tick.
struct ChartLegendEntry {
    ItemStyle::Rgb colour;
    Text text;
    bool tick = false;
};
std::vector<ChartLegendEntry> chartLegend(const StringSource& strings);

// The tooltip of a mark: the history line of its entry.
Text chartMarkText(const ChartMark& m, const StringSource& strings);

}  // namespace velmora
