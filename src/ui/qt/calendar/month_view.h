#pragma once
// The month view: the weeks of the month as a grid of day cells, each
// listing its items; a click selects a day, a double-click opens the day
// view on it.
#include <QHash>
#include <QStaticText>

#include "ui/logic/calendar/calendar_layout.h"
#include "ui/qt/calendar/calendar_view_base.h"

namespace velmora {

// setDate reloads only when the month changes; refresh comes when the main
// window marked the month view stale.
class MonthView : public CalendarViewBase {
    Q_OBJECT
public:
    MonthView(CalendarRequests& requests, const ResourceModule& resources, const Clock& clock,
              QWidget* parent = nullptr);

    const MonthGeometry& geometry() const { return geometry_; }
    void paintAll(QPainter& p, const QSize& size) override;
    QRect itemArea(int index) const override;
    QRect cursorArea() const override;

protected:
    std::optional<Text> tooltipAt(const QPoint& at) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The geometry of the grid at `size`, the logic's weeks.
    MonthGeometry fitted(const QSize& size) const;
    // The month and year on top.
    QFont titleFont() const;
    // The range's day index of the cell at `p`, -1 outside the grid.
    int dayAt(const QPoint& p) const;
    // An item line elided to `width` and shaped once.
    const QStaticText& shapedLine(const QString& text, const QFont& font, const QFontMetrics& metrics,
                                  int width);

    MonthGeometry geometry_;
    static constexpr qsizetype kShapedLinesKept = 2000;
    QHash<QString, QStaticText> shaped_;
};

}  // namespace velmora
