#pragma once
// What the day, week and month views share: the view's logic (date, range,
// refresh, the requests it sends), the keyboard cursor, the tooltips, the
// context menu of an item and the painting of the viewport. A view says
// only how it lays out its range and paints it.
#include <QAbstractScrollArea>
#include <QDate>
#include <memory>
#include <optional>

#include "ui/logic/calendar/calendar_view.h"
#include "ui/qt/calendar/calendar_style.h"

namespace velmora {

class ResourceModule;

class CalendarViewBase : public QAbstractScrollArea {
    Q_OBJECT
public:
    ~CalendarViewBase() override;

    CalendarViewLogic& logic() { return *logic_; }
    // The whole view painted at `size` (the widget paints its viewport with it).
    virtual void paintAll(QPainter& p, const QSize& size) = 0;
    // Where the range's item `index` and the cursor are painted, in viewport
    // coordinates; empty when out of view.
    virtual QRect itemArea(int index) const = 0;
    virtual QRect cursorArea() const = 0;

public slots:
    // The main window's date: reloads when the range changes.
    void setDate(const QDate& date);
    // The main window's refresh: rebuilds the items of the range.
    void refresh();

protected:
    CalendarViewBase(ViewKind kind, CalendarRequests& requests, const ResourceModule& resources,
                     const Clock& clock, int tooltipWidth, QWidget* parent);

    // After a refresh, and after a key moved the cursor.
    virtual void itemsChanged() {}
    virtual void cursorMoved() {}
    // The item under a viewport point, -1 when none.
    virtual int itemAt(const QPoint&) const { return -1; }
    // The tooltip of a viewport point, none where there is nothing.
    virtual std::optional<Text> tooltipAt(const QPoint& at) const = 0;

    CalendarPalette colours() const { return CalendarPalette::from(palette()); }

    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

    std::unique_ptr<CalendarViewLogic> logic_;
    const ResourceModule& resources_;
    const Clock& clock_;

private:
    const int tooltipWidth_;
};

}  // namespace velmora
