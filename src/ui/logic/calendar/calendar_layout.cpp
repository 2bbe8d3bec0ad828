#include "ui/logic/calendar/calendar_layout.h"

#include <algorithm>
#include <numeric>

#include "core/datetime.h"

namespace velmora {

// ---- Planner ----

int PlannerGeometry::maxScroll() const { return std::max(0, contentHeight() - (height - headerHeight)); }

int PlannerGeometry::columnLeft(int day) const {
    return rulerWidth + static_cast<int>(static_cast<long long>(width - rulerWidth) * day / std::max(1, days));
}

int PlannerGeometry::columnWidth(int day) const { return columnLeft(day + 1) - columnLeft(day); }

int PlannerGeometry::dayAt(int x) const {
    if (x < rulerWidth || x >= width) return -1;
    for (int d = 0; d < days; ++d) {
        if (x < columnLeft(d + 1)) return d;
    }
    return -1;
}

int PlannerGeometry::yOfSecond(int secondOfDay) const {
    return headerHeight - scroll +
           static_cast<int>(static_cast<long long>(secondOfDay) * slotHeight / kSecondsPerSlot);
}

int PlannerGeometry::yOf(const SYSTEMTIME& time) const {
    return yOfSecond(time.wHour * 3600 + time.wMinute * 60 + time.wSecond);
}

int PlannerGeometry::secondAt(int y) const {
    const long long p = y - headerHeight + scroll;
    // The smallest second whose row is y: rounding up undoes yOfSecond's
    // rounding down, as a slot is never taller than its seconds.
    const long long s = (p * kSecondsPerSlot + slotHeight - 1) / slotHeight;
    return static_cast<int>(std::clamp<long long>(s, 0, 86399));
}

std::optional<SYSTEMTIME> PlannerGeometry::timeAt(const SYSTEMTIME& day, int y) const {
    const int p = y - headerHeight + scroll;
    if (y < headerHeight || p < 0 || p >= contentHeight()) return std::nullopt;
    const int s = secondAt(y);
    return normalizeDate(makeTime(day.wYear, day.wMonth, day.wDay, s / 3600, s / 60 % 60, s % 60));
}

std::optional<SYSTEMTIME> PlannerGeometry::slotAt(const SYSTEMTIME& day, int y) const {
    auto t = timeAt(day, y);
    if (t) {
        t->wMinute = static_cast<std::uint16_t>(t->wMinute - t->wMinute % 30);
        t->wSecond = 0;
    }
    return t;
}

int PlannerGeometry::scrollToShow(const SYSTEMTIME& time) const {
    const int slot = (time.wHour * 60 + time.wMinute) / 30;
    const int top = slot * slotHeight;
    const int visible = height - headerHeight;
    int s = scroll;
    if (top < s) s = top;
    else if (top + slotHeight > s + visible) s = top + slotHeight - visible;
    return std::clamp(s, 0, maxScroll());
}

std::vector<DayPlacement> layoutDay(const std::vector<const ViewItem*>& items, int minSeconds) {
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    auto startOf = [&](int i) { return toTimeValue64(items[static_cast<std::size_t>(i)]->start); };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return startOf(a) < startOf(b); });

    std::vector<DayPlacement> out;
    out.reserve(items.size());
    std::vector<std::int64_t> columnEnds;  // of the group being laid out
    std::size_t groupBegin = 0;
    std::int64_t groupEnd = 0;
    auto closeGroup = [&] {
        for (std::size_t k = groupBegin; k < out.size(); ++k) out[k].columns = static_cast<int>(columnEnds.size());
        groupBegin = out.size();
        columnEnds.clear();
        groupEnd = 0;
    };
    for (int i : order) {
        const std::int64_t start = startOf(i);
        const std::int64_t end = start + std::max(1, minSeconds);
        if (!columnEnds.empty() && start >= groupEnd) closeGroup();
        auto free = std::find_if(columnEnds.begin(), columnEnds.end(), [&](std::int64_t e) { return e <= start; });
        int column;
        if (free == columnEnds.end()) {
            column = static_cast<int>(columnEnds.size());
            columnEnds.push_back(end);
        } else {
            column = static_cast<int>(free - columnEnds.begin());
            *free = end;
        }
        groupEnd = std::max(groupEnd, end);
        out.push_back({i, column, 1});
    }
    closeGroup();
    return out;
}

PixelRect itemRect(const PlannerGeometry& g, int day, const ViewItem& item, const DayPlacement& p) {
    const int left = g.columnLeft(day) + 2;
    const int width = g.columnWidth(day) - 5;
    const int x0 = left + width * p.column / std::max(1, p.columns);
    const int x1 = left + width * (p.column + 1) / std::max(1, p.columns);
    return {x0, g.yOf(item.start) + 1, std::max(1, x1 - x0 - 1), std::max(1, g.slotHeight - 2)};
}

// ---- Month ----

PixelRect MonthGeometry::cell(int index) const {
    const int week = index / 7;
    const int weekday = index % 7;
    const int body = height - cellsTop();
    const int x0 = width * weekday / 7;
    const int x1 = width * (weekday + 1) / 7;
    const int y0 = cellsTop() + body * week / std::max(1, weeks);
    const int y1 = cellsTop() + body * (week + 1) / std::max(1, weeks);
    return {x0, y0, x1 - x0, y1 - y0};
}

int MonthGeometry::cellAt(int x, int y) const {
    if (x < 0 || x >= width || y < cellsTop() || y >= height) return -1;
    for (int i = 0; i < weeks * 7; ++i) {
        if (cell(i).contains(x, y)) return i;
    }
    return -1;
}

CellRows layoutCell(const MonthGeometry& g, int cellIndex, int itemCount) {
    const int lines = std::max(0, (g.cell(cellIndex).h - g.dayLineHeight - 2) / std::max(1, g.itemLineHeight));
    if (itemCount <= lines) return {itemCount, 0};
    const int shown = std::max(0, lines - 1);
    return {shown, itemCount - shown};
}

}  // namespace velmora
