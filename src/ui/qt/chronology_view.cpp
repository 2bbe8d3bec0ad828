#include "ui/qt/chronology_view.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include "core/datetime.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {
using Chart = ChronologyChart;

void paintHeader(QPainter& p, const Chart& chart, const CalendarPalette& pal) {
    p.fillRect(0, 0, chart.width(), Chart::kHeaderHeight, pal.face);
    p.setPen(pal.text);
    p.setFont(rulerMinuteFont());
    for (int h = 0; h <= 24; h += 2) {
        const int x = chart.xOf(h * 3600);
        // 24 keeps inside the chart, right-aligned to its line.
        const QRect label(h == 24 ? x - 24 : x - 12, 0, 24, Chart::kHeaderHeight);
        p.drawText(label, h == 24 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter, QString::number(h));
    }
}
}  // namespace

void paintChronology(QPainter& p, const Chart& chart, const CalendarPalette& pal, int firstRow, int lastRow) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, chart.rows());
    const int shift = chart.rowTop(firstRow) - Chart::kHeaderHeight;  // first row under the header
    const int bottom = chart.rowTop(lastRow) - shift;
    p.fillRect(0, Chart::kHeaderHeight, chart.width(), bottom - Chart::kHeaderHeight, pal.base);
    // Hour lines: every six hours stronger.
    for (int h = 0; h <= 24; ++h) {
        p.setPen(h % 6 ? pal.halfLine : pal.line);
        const int x = chart.xOf(h * 3600);
        p.drawLine(x, Chart::kHeaderHeight, x, bottom);
    }
    p.setFont(rulerMinuteFont());
    for (int r = firstRow; r < lastRow; ++r) {
        const int top = chart.rowTop(r) - shift;
        const SYSTEMTIME day = normalizeDate(chart.rowDate(r));
        const bool weekend = day.wDayOfWeek == 0 || day.wDayOfWeek == 6;
        p.fillRect(0, top, Chart::kLabelWidth, Chart::kRowHeight, weekend ? pal.today : pal.face);
        p.setPen(pal.text);
        p.drawText(QRect(4, top, Chart::kLabelWidth - 8, Chart::kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   toQ(formatDate(day)));
        p.setPen(pal.halfLine);
        p.drawLine(0, top + Chart::kRowHeight - 1, chart.width(), top + Chart::kRowHeight - 1);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    const auto [b, e] = chart.marksOfRows(firstRow, lastRow);
    const int r = Chart::kMarkRadius;
    for (std::size_t i = b; i < e; ++i) {
        const ChartMark& m = chart.marks()[i];
        const QColor fill = itemColour(Chart::colourOf(m));
        if (m.ackRow >= firstRow && m.ackRow < lastRow) {
            const int x = chart.xOf(m.ackDaySecond);
            const int y = chart.rowCentre(m.ackRow) - shift;
            p.setPen(QPen(fill.darker(160), 2));
            p.drawLine(x, y - r - 1, x, y + r + 1);
        }
        p.setPen(pal.text);
        p.setBrush(fill);
        p.drawEllipse(QPoint(chart.xOf(m.daySecond), chart.rowCentre(m.row) - shift), r, r);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    paintHeader(p, chart, pal);
}

QImage chronologyImage(const Chart& chart, const CalendarPalette& palette, int firstRow, int lastRow) {
    const int rows = std::max(0, std::min(lastRow, chart.rows()) - std::max(firstRow, 0));
    QImage image(chart.width(), Chart::kHeaderHeight + rows * Chart::kRowHeight, QImage::Format_RGB32);
    image.fill(palette.base);
    QPainter p(&image);
    paintChronology(p, chart, palette, firstRow, lastRow);
    return image;
}

ChronologyLegend::ChronologyLegend(const StringSource& strings, QWidget* parent)
    : QWidget(parent), entries_(chartLegend(strings)) {
    setObjectName("chronologyLegend");
}

namespace {
constexpr int kLegendSymbol = 14;  // the room of a dot or a tick
constexpr int kLegendGap = 16;     // between entries
}  // namespace

QSize ChronologyLegend::sizeHint() const {
    int width = 0;
    for (const ChartLegendEntry& e : entries_)
        width += kLegendSymbol + 4 + fontMetrics().horizontalAdvance(toQ(e.text)) + kLegendGap;
    return {width, fontMetrics().height() + 6};
}

void ChronologyLegend::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int y = height() / 2;
    const int r = Chart::kMarkRadius;
    int x = 2;
    for (const ChartLegendEntry& e : entries_) {
        const QColor fill = itemColour(e.colour);
        if (e.tick) {
            p.setPen(QPen(fill.darker(160), 2));
            p.drawLine(x + kLegendSymbol / 2, y - r - 1, x + kLegendSymbol / 2, y + r + 1);
        } else {
            p.setPen(palette().color(QPalette::WindowText));
            p.setBrush(fill);
            p.drawEllipse(QPoint(x + kLegendSymbol / 2, y), r, r);
        }
        x += kLegendSymbol + 4;
        const QString text = toQ(e.text);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += fontMetrics().horizontalAdvance(text) + kLegendGap;
    }
}

ChronologyView::ChronologyView(const StringSource& strings, QWidget* parent)
    : QWidget(parent), strings_(strings) {
    setObjectName("chronology");
    setMouseTracking(true);
}

void ChronologyView::setChart(const ChronologyChart& chart) {
    chart_ = chart;
    chart_->setWidth(width());
    setMinimumHeight(chart_->height());
    setMinimumWidth(ChronologyChart::kLabelWidth + ChronologyChart::kMinPlotWidth);
    update();
}

void ChronologyView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (chart_) chart_->setWidth(width());
}

void ChronologyView::paintEvent(QPaintEvent* e) {
    if (!chart_) return;
    QPainter p(this);
    const CalendarPalette pal = CalendarPalette::from(palette());
    const QRect seen = visibleRegion().boundingRect();
    const QRect area = e->rect().intersected(seen);
    const auto [first, last] = chart_->rowsBetween(area.top(), area.bottom());
    // paintChronology puts the header right above `first`: shifted back by
    // the rows above, the rows land where they belong and the header falls
    // outside the update area unless `first` is the first row.
    p.translate(0, chart_->rowTop(first) - ChronologyChart::kHeaderHeight);
    paintChronology(p, *chart_, pal, first, last);
    // The hours stay in sight at the top of what the scroll area shows.
    p.resetTransform();
    p.translate(0, seen.top());
    paintHeader(p, *chart_, pal);
}

void ChronologyView::moveEvent(QMoveEvent* e) {
    // Scrolling moves the chart: the header drawn at the old top moved
    // with it.
    QWidget::moveEvent(e);
    update();
}

bool ChronologyView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && chart_) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int i = chart_->markAt(help->pos().x(), help->pos().y());
        if (i < 0) {
            QToolTip::hideText();
            e->ignore();
        } else {
            QToolTip::showText(help->globalPos(), toQ(chartMarkText(chart_->marks()[static_cast<std::size_t>(i)], strings_)),
                               this);
        }
        return true;
    }
    return QWidget::event(e);
}

}  // namespace velmora
