#pragma once
// The day and week views: a planner with the hour ruler, one column per
// day, 30-minute slots and the items of the range, painted here; clicks,
// keys and the context menu go to the view's logic.
#include <QAbstractScrollArea>
#include <QDate>
#include <memory>

#include "ui/logic/calendar/calendar_layout.h"
#include "ui/logic/calendar/calendar_view.h"

namespace velmora {

class ResourceModule;

class PlannerView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // `kind` is Day (one column) or Week (Monday to Sunday).
    PlannerView(ViewKind kind, CalendarRequests& requests, const ResourceModule& resources,
                const Clock& clock, QWidget* parent = nullptr);
    ~PlannerView() override;

    CalendarViewLogic& logic() { return *logic_; }
    const PlannerGeometry& geometry() const { return geometry_; }
    // The whole view painted at `size` (the widget paints its viewport with it).
    void paintAll(QPainter& p, const QSize& size);

public slots:
    // 32872 and 32873 from the main window.
    void setDate(const QDate& date);
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Placed {
        int item;
        PixelRect rect;
    };
    void relayout();
    void syncScrollBar();
    int itemAt(const QPoint& p) const;
    void paintGrid(QPainter& p);
    void paintTodayAndSelection(QPainter& p);
    void paintItems(QPainter& p);
    void paintRulerAndHeader(QPainter& p);

    std::unique_ptr<CalendarViewLogic> logic_;
    const ResourceModule& resources_;
    const Clock& clock_;
    PlannerGeometry geometry_;
    std::vector<Placed> placed_;
    bool scrolledOnce_ = false;
};

}  // namespace velmora
