#include "ui/qt/calendar/planner_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "core/datetime.h"
#include "ui/qt/calendar/calendar_accessible.h"
#include "resources/resource_module.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

constexpr int kTooltipWidth = 300;
constexpr int kWorkingDayStartHour = 7;

QDate toDate(const SYSTEMTIME& t) { return QDate(t.wYear, t.wMonth, t.wDay); }

QRect toRect(const PixelRect& r) { return QRect(r.x, r.y, r.w, r.h); }

}  // namespace

PlannerView::PlannerView(ViewKind kind, CalendarRequests& requests, const ResourceModule& resources,
                         const Clock& clock, QWidget* parent)
    : CalendarViewBase(kind, requests, resources, clock, kTooltipWidth, parent) {
    geometry_.days = kind == ViewKind::Day ? 1 : 7;
    fitToFont();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::StyledPanel);
}

// The slots hold two lines of item text, the header a line and the ruler
// its hours, at any text size.
void PlannerView::fitToFont() {
    const QFontMetrics small(smallFont(font()));
    const QFontMetrics hours(rulerHourFont(font()));
    geometry_.slotHeight = std::max(28, 2 * small.height() + 2);  // an item is 2 pixels lower
    geometry_.headerHeight = std::max(30, fontMetrics().height() + 14);
    geometry_.rulerWidth = std::max(58, hours.horizontalAdvance("00") + small.horizontalAdvance("00") + 14);
}

void PlannerView::changeEvent(QEvent* event) {
    CalendarViewBase::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    fitToFont();
    syncScrollBar();
    relayout();
}

void PlannerView::relayout() {
    placed_.clear();
    for (int d = 0; d < geometry_.days; ++d) {
        const std::vector<const ViewItem*> day = logic_->itemsOfDay(d);
        for (const DayPlacement& p : layoutDay(day, PlannerGeometry::kSecondsPerSlot)) {
            const ViewItem* item = day[static_cast<std::size_t>(p.item)];
            placed_.push_back({static_cast<int>(item - logic_->items().data()), itemRect(geometry_, d, *item, p)});
        }
    }
}

void PlannerView::syncScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, geometry_.maxScroll());
    bar->setPageStep(std::max(1, geometry_.height - geometry_.headerHeight));
    bar->setSingleStep(geometry_.slotHeight);
    geometry_.scroll = std::clamp(geometry_.scroll, 0, geometry_.maxScroll());
    bar->setValue(geometry_.scroll);
}

void PlannerView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    geometry_.width = viewport()->width();
    geometry_.height = viewport()->height();
    syncScrollBar();
    relayout();
}

void PlannerView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (scrolledOnce_) return;
    scrolledOnce_ = true;
    geometry_.scroll = kWorkingDayStartHour * 2 * geometry_.slotHeight;
    syncScrollBar();
    relayout();
}

void PlannerView::scrollContentsBy(int, int) {
    geometry_.scroll = verticalScrollBar()->value();
    relayout();
    viewport()->update();
}

int PlannerView::itemAt(const QPoint& p) const {
    // Later items lie on top.
    for (auto it = placed_.rbegin(); it != placed_.rend(); ++it) {
        if (it->rect.contains(p.x(), p.y()) && p.y() >= geometry_.headerHeight) return it->item;
    }
    return -1;
}

// ---- Mouse and keys ----

void PlannerView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    const int item = itemAt(at);
    if (item >= 0) {
        logic_->selectItem(item);
    } else {
        const int day = geometry_.dayAt(at.x());
        if (day < 0) return;
        if (auto slot = geometry_.slotAt(logic_->dayAt(day), at.y())) logic_->clickSlot(*slot);
    }
    announceCalendarCursor(this);
    viewport()->update();
}

void PlannerView::cursorMoved() {
    geometry_.scroll = geometry_.scrollToShow(logic_->cursor());
    syncScrollBar();
    relayout();
}

// Only what lies below the header is in view.
QRect PlannerView::dayArea() const {
    return QRect(0, geometry_.headerHeight, geometry_.width, geometry_.height - geometry_.headerHeight);
}

QRect PlannerView::itemArea(int index) const {
    for (const Placed& placed : placed_) {
        if (placed.item == index) return toRect(placed.rect).intersected(dayArea());
    }
    return {};
}

QRect PlannerView::cursorArea() const {
    const int day = logic_->dayIndexOf(logic_->cursor());
    if (day < 0) return {};
    const QRect slot(geometry_.columnLeft(day), geometry_.yOf(logic_->cursor()), geometry_.columnWidth(day),
                     geometry_.slotHeight);
    return slot.intersected(dayArea());
}

std::optional<Text> PlannerView::tooltipAt(const QPoint& at) const {
    const int item = itemAt(at);
    if (item < 0) return std::nullopt;
    return plannerTooltip(logic_->items()[static_cast<std::size_t>(item)]);
}

// ---- Painting ----

void PlannerView::paintAll(QPainter& p, const QSize& size) {
    if (geometry_.width != size.width() || geometry_.height != size.height()) {
        geometry_.width = size.width();
        geometry_.height = size.height();
        geometry_.scroll = std::clamp(geometry_.scroll, 0, geometry_.maxScroll());
        relayout();
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    const CalendarPalette c = colours();
    paintGrid(p, c);
    paintTodayAndSelection(p, c);
    paintItems(p, c);
    paintRulerAndHeader(p, c);
}

void PlannerView::paintGrid(QPainter& p, const CalendarPalette& c) {
    const PlannerGeometry& g = geometry_;
    p.fillRect(QRect(0, 0, g.width, g.height), c.base);
    for (int slot = 0; slot <= PlannerGeometry::kSlotsPerDay; ++slot) {
        const int y = g.yOfSecond(slot * PlannerGeometry::kSecondsPerSlot);
        if (y < g.headerHeight || y > g.height) continue;
        p.setPen(QPen(slot % 2 == 0 ? c.line : c.halfLine, 1, slot % 2 == 0 ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(g.rulerWidth, y, g.width, y);
    }
    p.setPen(c.line);
    for (int d = 0; d < g.days; ++d) {
        const int x = g.columnLeft(d);
        p.drawLine(x, 0, x, g.height);
    }
}

void PlannerView::paintTodayAndSelection(QPainter& p, const CalendarPalette& c) {
    const PlannerGeometry& g = geometry_;
    const SYSTEMTIME now = clock_.localNow();
    p.save();
    p.setClipRect(QRect(g.rulerWidth, g.headerHeight, g.width - g.rulerWidth, g.height - g.headerHeight));
    const int today = logic_->dayIndexOf(now);
    if (today >= 0) {
        QColor shade = c.today;
        shade.setAlpha(110);
        p.fillRect(QRect(g.columnLeft(today) + 1, g.headerHeight, g.columnWidth(today) - 1, g.height), shade);
    }
    // The cursor's slot: filled while the view has the keys, framed when
    // they are elsewhere (a dialog, the panel), so it is never lost.
    const int cursorDay = logic_->dayIndexOf(logic_->cursor());
    if (cursorDay >= 0) {
        const int y = g.yOf(logic_->cursor());
        const QRect slot(g.columnLeft(cursorDay) + 1, y + 1, g.columnWidth(cursorDay) - 2, g.slotHeight - 1);
        if (hasFocus()) p.fillRect(slot, c.selection);
        p.setPen(QPen(c.selectionFrame, 1, hasFocus() ? Qt::SolidLine : Qt::DashLine));
        p.drawRect(slot.adjusted(0, 0, -1, -1));
    }
    if (today >= 0) {
        const int y = g.yOf(now);
        p.setPen(QPen(c.selectionFrame, 2));
        p.drawLine(g.columnLeft(today) + 1, y, g.columnLeft(today) + g.columnWidth(today) - 1, y);
    }
    p.restore();
}

void PlannerView::paintItems(QPainter& p, const CalendarPalette& c) {
    const PlannerGeometry& g = geometry_;
    p.save();
    p.setClipRect(QRect(g.rulerWidth, g.headerHeight, g.width - g.rulerWidth, g.height - g.headerHeight));
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont titleFont = smallFont(font());
    titleFont.setBold(true);
    QFont textFont = titleFont;
    textFont.setBold(false);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics textMetrics(textFont);
    const int lineHeight = titleMetrics.height();
    for (const Placed& placed : placed_) {
        const QRect r = toRect(placed.rect);
        if (r.bottom() < g.headerHeight || r.top() > g.height) continue;
        const ViewItem& item = logic_->items()[static_cast<std::size_t>(placed.item)];
        const QColor fill = itemColour(item.colour);
        const bool selected = placed.item == logic_->selectedItem();
        p.setPen(QPen(selected ? c.selectionFrame : fill.darker(135), selected ? 2 : 1));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        p.setPen(itemTextColour(fill));
        const QRect inner = r.adjusted(4, 0, -3, 0);
        const bool twoLines = r.height() >= 2 * lineHeight && !item.text.empty();
        const int top = inner.top() + (inner.height() - (twoLines ? 2 : 1) * lineHeight) / 2;
        const QString time = QString::fromStdString(formatTimeOfDay(item.start));
        p.setFont(titleFont);
        // Narrow columns leave the time to the ruler and keep the title.
        QString title = time + "  " + toQ(item.title);
        if (titleMetrics.horizontalAdvance(title) > inner.width()) title = toQ(item.title);
        p.drawText(QRect(inner.left(), top, inner.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   titleMetrics.elidedText(title, Qt::ElideRight, inner.width()));
        if (twoLines) {
            p.setFont(textFont);
            p.drawText(QRect(inner.left(), top + lineHeight, inner.width(), lineHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       textMetrics.elidedText(toQ(item.text), Qt::ElideRight, inner.width()));
        }
    }
    p.restore();
}

void PlannerView::paintRulerAndHeader(QPainter& p, const CalendarPalette& c) {
    const PlannerGeometry& g = geometry_;
    // Ruler: the hour large, its minutes small beside it.
    p.save();
    p.setClipRect(QRect(0, g.headerHeight, g.rulerWidth, g.height - g.headerHeight));
    p.fillRect(QRect(0, g.headerHeight, g.rulerWidth, g.height), c.face);
    const QFont hourFont = rulerHourFont(font());
    const QFont minuteFont = smallFont(font());
    const QFontMetrics hm(hourFont);
    const QFontMetrics minuteMetrics(minuteFont);
    for (int hour = 0; hour < 24; ++hour) {
        const int y = g.yOfSecond(hour * 3600);
        if (y + 2 * g.slotHeight < g.headerHeight || y > g.height) continue;
        p.setPen(c.line);
        p.drawLine(6, y, g.rulerWidth - 4, y);
        p.setPen(c.text);
        p.setFont(hourFont);
        const QString h = QString("%1").arg(hour, 2, 10, QChar('0'));
        const int hourWidth = hm.horizontalAdvance(h);
        const int right = g.rulerWidth - 6;
        const int minuteWidth = minuteMetrics.horizontalAdvance("00");
        p.drawText(QRect(right - minuteWidth - 2 - hourWidth, y + 2, hourWidth, hm.height()),
                   Qt::AlignLeft | Qt::AlignTop, h);
        p.setFont(minuteFont);
        p.drawText(QRect(right - minuteWidth, y + 5, minuteWidth, minuteMetrics.height()), Qt::AlignLeft | Qt::AlignTop,
                   "00");
    }
    p.restore();
    p.setPen(c.line);
    p.drawLine(g.rulerWidth, g.headerHeight, g.rulerWidth, g.height);

    // Header: "ddd d.M." per day, today's in bold; "d.M." or "d" where
    // large text leaves a column too narrow.
    p.fillRect(QRect(0, 0, g.width, g.headerHeight), c.face);
    p.setPen(c.text);
    p.drawText(QRect(0, 0, g.rulerWidth, g.headerHeight), Qt::AlignCenter, toQ(logic_->weekLabel()));
    const QLocale locale = calendarLocale(resources_);
    const int today = logic_->dayIndexOf(clock_.localNow());
    for (int d = 0; d < g.days; ++d) {
        const QRect cell(g.columnLeft(d), 0, g.columnWidth(d), g.headerHeight);
        if (d == today) p.fillRect(cell.adjusted(1, 0, 0, 0), c.today);
        QFont f = font();
        f.setBold(d == today);
        p.setFont(f);
        p.setPen(c.text);
        QString label;
        for (const char* format : {"ddd d.M.", "d.M.", "d"}) {
            label = locale.toString(toDate(logic_->dayAt(d)), format);
            if (QFontMetrics(f).horizontalAdvance(label) <= cell.width() - 4) break;
        }
        p.drawText(cell, Qt::AlignCenter, label);
        p.setPen(c.line);
        p.drawLine(cell.left(), 0, cell.left(), g.headerHeight);
    }
    p.drawLine(0, g.headerHeight, g.width, g.headerHeight);
}

}  // namespace velmora
