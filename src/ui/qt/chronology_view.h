#pragma once
// The chronology chart on screen and on paper: days down, hours across,
// each dose a mark in the calendar's colour of its status and its
// acknowledgement a tick; the geometry is ChronologyChart's.
#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

#include "core/interaction.h"
#include "ui/logic/history/chronology_chart.h"
#include "ui/qt/calendar/calendar_style.h"

class QPainter;

namespace velmora {

// Paints the hour header at y 0 and the rows [firstRow, lastRow) below it,
// the first of them right under the header.
void paintChronology(QPainter& p, const ChronologyChart& chart, const CalendarPalette& palette, int firstRow,
                     int lastRow);
// The same into an image of the chart's width: a page's share for printing.
QImage chronologyImage(const ChronologyChart& chart, const CalendarPalette& palette, int firstRow, int lastRow);

// The chart's legend in one row: a dot per outcome, then the tick.
class ChronologyLegend : public QWidget {
public:
    ChronologyLegend(const StringSource& strings, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::vector<ChartLegendEntry> entries_;
};

class ChronologyView : public QWidget {
    Q_OBJECT
public:
    ChronologyView(const StringSource& strings, QWidget* parent = nullptr);
    void setChart(const ChronologyChart& chart);
    const ChronologyChart* chart() const { return chart_ ? &*chart_ : nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    bool event(QEvent* e) override;

private:
    const StringSource& strings_;
    std::optional<ChronologyChart> chart_;
};

}  // namespace velmora
