#include "ui/qt/calendar/month_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "resources/resource_module.h"
#include "ui/qt/calendar/calendar_accessible.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {
constexpr int kTooltipWidth = 400;
}  // namespace

MonthView::MonthView(CalendarRequests& requests, const ResourceModule& resources, const Clock& clock,
                     QWidget* parent)
    : CalendarViewBase(ViewKind::Month, requests, resources, clock, kTooltipWidth, parent) {
    // The grid fills the widget: no frame, nothing to scroll.
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QFont MonthView::titleFont() const {
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 2);
    return f;
}

MonthGeometry MonthView::fitted(const QSize& size) const {
    MonthGeometry g = geometry_;
    g.width = size.width();
    g.height = size.height();
    // The rows grow with the text.
    const int line = fontMetrics().height();
    g.titleHeight = std::max(28, QFontMetrics(titleFont()).height() + 8);
    g.headerHeight = std::max(24, line + 8);
    g.dayLineHeight = std::max(18, line + 3);
    g.itemLineHeight = std::max(16, QFontMetrics(smallFont(font())).height() + 2);
    g.weeks = std::max(1, logic_->dayCount() / 7);
    return g;
}

int MonthView::dayAt(const QPoint& p) const {
    const int cell = fitted(viewport()->size()).cellAt(p.x(), p.y());
    return cell < logic_->dayCount() ? cell : -1;
}

void MonthView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int day = dayAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && day >= 0) logic_->selectDay(logic_->dayAt(day));
    announceCalendarCursor(this);
    viewport()->update();
}

void MonthView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int day = dayAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && day >= 0) logic_->openDay(logic_->dayAt(day));
}

// An item's line in its day's cell; the cell itself when its line did
// not fit.
QRect MonthView::itemArea(int index) const {
    if (index < 0 || index >= static_cast<int>(logic_->items().size())) return {};
    const ViewItem* item = &logic_->items()[static_cast<std::size_t>(index)];
    const int day = logic_->dayIndexOf(item->start);
    if (day < 0) return {};
    const MonthGeometry g = fitted(viewport()->size());
    const PixelRect cell = g.cell(day);
    const std::vector<const ViewItem*> items = logic_->itemsOfDay(day);
    const int row = static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
    if (row >= layoutCell(g, day, static_cast<int>(items.size())).shown) return QRect(cell.x, cell.y, cell.w, cell.h);
    return QRect(cell.x, cell.y + g.dayLineHeight + row * g.itemLineHeight, cell.w, g.itemLineHeight);
}

QRect MonthView::cursorArea() const {
    const int day = logic_->dayIndexOf(logic_->cursor());
    if (day < 0) return {};
    const PixelRect cell = fitted(viewport()->size()).cell(day);
    return QRect(cell.x, cell.y, cell.w, cell.h);
}

std::optional<Text> MonthView::tooltipAt(const QPoint& at) const {
    const int day = dayAt(at);
    if (day < 0) return std::nullopt;
    return monthDayTooltip(logic_->dayAt(day), logic_->itemsOfDay(day), resources_);
}

const QStaticText& MonthView::shapedLine(const QString& text, const QFont& font, const QFontMetrics& metrics,
                                         int width) {
    // Shaping text costs more than everything else a cell paints, and the
    // same lines come back on every repaint: keep them shaped.
    const QString key = text + QChar(0) + QString::number(width);
    auto it = shaped_.find(key);
    if (it != shaped_.end()) return it.value();
    if (shaped_.size() >= kShapedLinesKept) shaped_.clear();
    QStaticText line(metrics.elidedText(text, Qt::ElideRight, width));
    line.setTextFormat(Qt::PlainText);
    line.prepare(QTransform(), font);
    return shaped_.insert(key, line).value();
}

void MonthView::paintAll(QPainter& p, const QSize& size) {
    geometry_ = fitted(size);
    const CalendarPalette c = colours();
    const MonthGeometry& g = geometry_;
    const QLocale locale = calendarLocale(resources_);
    const SYSTEMTIME& cursor = logic_->cursor();
    const int today = logic_->dayIndexOf(clock_.localNow());
    const int selected = logic_->dayIndexOf(cursor);

    // The month and year of the page, then the weekday names, the cells,
    // days of other months faint.
    p.fillRect(QRect(0, 0, g.width, g.height), c.base);
    p.setFont(titleFont());
    p.setPen(c.text);
    QString month = locale.standaloneMonthName(logic_->date().wMonth);
    if (!month.isEmpty()) month[0] = month[0].toUpper();
    p.drawText(QRect(0, 0, g.width, g.titleHeight), Qt::AlignCenter,
               month + ' ' + QString::number(logic_->date().wYear));
    p.setFont(font());
    p.fillRect(QRect(0, g.titleHeight, g.width, g.headerHeight), c.face);
    for (int wd = 0; wd < 7; ++wd) {
        const PixelRect r = g.cell(wd);
        p.drawText(QRect(r.x, g.titleHeight, r.w, g.headerHeight), Qt::AlignCenter,
                   locale.dayName(wd + 1, QLocale::ShortFormat));
    }
    const int cells = logic_->dayCount();
    // Layer 2: today and the selected day.
    for (int i = 0; i < cells; ++i) {
        const PixelRect r = g.cell(i);
        if (i == today) p.fillRect(QRect(r.x, r.y, r.w, r.h), c.today);
        if (i == selected && hasFocus()) p.fillRect(QRect(r.x, r.y, r.w, r.h), c.selection);
    }
    p.setPen(c.line);
    for (int w = 0; w <= g.weeks; ++w) {
        const int y = w < g.weeks ? g.cell(w * 7).y : g.height - 1;
        p.drawLine(0, y, g.width, y);
    }
    for (int wd = 1; wd < 7; ++wd) p.drawLine(g.cell(wd).x, g.titleHeight, g.cell(wd).x, g.height);
    if (selected >= 0) {
        const PixelRect r = g.cell(selected);
        p.setPen(QPen(c.selectionFrame, 2));
        p.drawRect(QRect(r.x + 1, r.y + 1, r.w - 2, r.h - 2));
    }

    // Layer 3: day numbers and the items of each cell.
    QFont dayFont = font();
    const QFont itemFont = smallFont(font());
    const QFontMetrics im(itemFont);
    for (int i = 0; i < cells; ++i) {
        const PixelRect r = g.cell(i);
        const SYSTEMTIME day = logic_->dayAt(i);
        dayFont.setBold(i == today);
        p.setFont(dayFont);
        p.setPen(day.wMonth == logic_->date().wMonth ? c.text : c.faintText);
        p.drawText(QRect(r.x + 4, r.y + 1, r.w - 8, g.dayLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(day.wDay));
        const std::vector<const ViewItem*> items = logic_->itemsOfDay(i);
        const CellRows rows = layoutCell(g, i, static_cast<int>(items.size()));
        p.setFont(itemFont);
        int y = r.y + g.dayLineHeight;
        const int textLeft = r.x + 12;
        const int textWidth = r.w - 15;
        for (int k = 0; k < rows.shown; ++k, y += g.itemLineHeight) {
            const ViewItem& item = *items[static_cast<std::size_t>(k)];
            const QColor fill = itemColour(item.colour);
            p.setPen(fill.darker(135));
            p.setBrush(fill);
            p.drawRect(QRect(r.x + 4, y + 4, 5, g.itemLineHeight - 8));
            p.setPen(c.text);
            const QStaticText& line = shapedLine(toQ(monthCellText(item, resources_)), itemFont, im, textWidth);
            p.drawStaticText(textLeft, y + (g.itemLineHeight - im.height()) / 2, line);
        }
        if (rows.hidden > 0) {
            p.setPen(c.faintText);
            p.drawText(QRect(textLeft, y, textWidth, g.itemLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       QString("+%1 …").arg(rows.hidden));
        }
    }
    p.setBrush(Qt::NoBrush);
}

}  // namespace velmora
