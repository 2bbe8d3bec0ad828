#pragma once
// The day and week views: a planner with the hour ruler, one column per
// day, 30-minute slots and the items of the range, painted here; clicks,
// keys and the context menu go to the view's logic.
#include "ui/logic/calendar/calendar_layout.h"
#include "ui/qt/calendar/calendar_view_base.h"

namespace velmora {

class PlannerView : public CalendarViewBase {
    Q_OBJECT
public:
    // `kind` is Day (one column) or Week (Monday to Sunday).
    PlannerView(ViewKind kind, CalendarRequests& requests, const ResourceModule& resources,
                const Clock& clock, QWidget* parent = nullptr);

    const PlannerGeometry& geometry() const { return geometry_; }
    void paintAll(QPainter& p, const QSize& size) override;
    QRect itemArea(int index) const override;
    QRect cursorArea() const override;

protected:
    void itemsChanged() override { relayout(); }
    void cursorMoved() override;
    int itemAt(const QPoint& p) const override;
    std::optional<Text> tooltipAt(const QPoint& at) const override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Placed {
        int item;
        PixelRect rect;
    };
    void fitToFont();
    QRect dayArea() const;
    void relayout();
    void syncScrollBar();
    void paintGrid(QPainter& p, const CalendarPalette& c);
    void paintTodayAndSelection(QPainter& p, const CalendarPalette& c);
    void paintItems(QPainter& p, const CalendarPalette& c);
    void paintRulerAndHeader(QPainter& p, const CalendarPalette& c);

    PlannerGeometry geometry_;
    std::vector<Placed> placed_;
    bool scrolledOnce_ = false;
};

}  // namespace velmora
