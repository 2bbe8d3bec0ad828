#include "ui/logic/history/chronology_chart.h"

#include <algorithm>
#include <cstdlib>

#include "core/datetime.h"
#include "resources/string_ids.h"
#include "ui/logic/history/log_dlg_logic.h"

namespace velmora {

ChronologyChart::ChronologyChart(const std::map<TimeValue, LogEntry>& history, const PeriodDays& days)
    : days_(days), firstDay_(dayNumber(days.first)) {
    days_.days = std::max(days_.days, 1);
    const TimeValue end = toTimeValue(addDays(days_.first, days_.days));
    for (auto it = history.lower_bound(days_.from); it != history.end() && it->first < end; ++it) {
        const LogEntry& e = it->second;
        ChartMark m;
        m.alarm = e.alarm_time;
        m.ack = e.ack;
        m.status = e.log_status;
        m.row = rowOf(e.alarm_time, m.daySecond);
        if (m.row < 0) continue;
        const bool taken = e.log_status == kStatusAcknowledged || e.log_status == kStatusAcknowledgedLate;
        if (taken && e.ack != 0) m.ackRow = rowOf(e.ack, m.ackDaySecond);
        marks_.push_back(m);
    }
}

int ChronologyChart::rowOf(TimeValue t, int& daySecond) const {
    const SYSTEMTIME local = fromTimeValue(t);
    daySecond = local.wHour * 3600 + local.wMinute * 60 + local.wSecond;
    const std::int64_t row = dayNumber(local) - firstDay_;
    return row >= 0 && row < days_.days ? static_cast<int>(row) : -1;
}

void ChronologyChart::setWidth(int width) { plotWidth_ = std::max(width - kLabelWidth, kMinPlotWidth); }

std::pair<int, int> ChronologyChart::rowsBetween(int y0, int y1) const {
    auto rowAt = [this](int y) { return std::clamp((y - kHeaderHeight) / kRowHeight, 0, rows()); };
    return {rowAt(std::max(y0, kHeaderHeight)), std::min(rowAt(y1) + 1, rows())};
}

std::pair<std::size_t, std::size_t> ChronologyChart::marksOfRows(int firstRow, int lastRow) const {
    auto byRow = [](const ChartMark& m, int row) { return m.row < row; };
    auto b = std::lower_bound(marks_.begin(), marks_.end(), firstRow, byRow);
    auto e = std::lower_bound(b, marks_.end(), lastRow, byRow);
    return {static_cast<std::size_t>(b - marks_.begin()), static_cast<std::size_t>(e - marks_.begin())};
}

int ChronologyChart::markAt(int x, int y) const {
    if (y < kHeaderHeight) return -1;
    const int row = (y - kHeaderHeight) / kRowHeight;
    if (row >= rows()) return -1;
    const auto [b, e] = marksOfRows(row, row + 1);
    int best = -1;
    int bestDistance = kMarkRadius + 2 + 1;
    for (std::size_t i = b; i < e; ++i) {
        const int d = std::abs(xOf(marks_[i].daySecond) - x);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<ChartLegendEntry> chartLegend(const StringSource& strings) {
    std::vector<ChartLegendEntry> out;
    for (int status : {kStatusAcknowledged, kStatusAcknowledgedLate, kStatusForgotten, kStatusNotAlarmed})
        out.push_back({statusColour(status), LogDlgLogic::statusWord(status, strings)});
    out.push_back({statusColour(kStatusAcknowledged), strings.load(ids::kChartAckTick), true});
    return out;
}

Text chartMarkText(const ChartMark& m, const StringSource& strings) {
    LogEntry e{m.alarm, m.ack, m.status};
    return LogDlgLogic::formatLine(e, strings);
}

}  // namespace velmora
