#pragma once
// The month view: the weeks of the month as a grid of day cells, each
// listing its items; a click selects a day, a double-click opens the day
// view on it.
#include <QDate>
#include <QHash>
#include <QStaticText>
#include <QWidget>
#include <memory>

#include "ui/logic/calendar/calendar_layout.h"
#include "ui/logic/calendar/calendar_view.h"

namespace velmora {

class ResourceModule;

class MonthView : public QWidget {
    Q_OBJECT
public:
    MonthView(CalendarRequests& requests, const ResourceModule& resources, const Clock& clock,
              QWidget* parent = nullptr);
    ~MonthView() override;

    CalendarViewLogic& logic() { return *logic_; }
    const MonthGeometry& geometry() const { return geometry_; }
    void paintAll(QPainter& p, const QSize& size);

public slots:
    // 32872 from the main window: reloads only when the month changes.
    void setDate(const QDate& date);
    // 32873 when the main window marked the month view stale.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void fit(const QSize& size);
    int dayAt(const QPoint& p) const;
    // An item line elided to `width` and shaped once.
    const QStaticText& shapedLine(const QString& text, const QFont& font, const QFontMetrics& metrics,
                                  int width);

    std::unique_ptr<CalendarViewLogic> logic_;
    const ResourceModule& resources_;
    const Clock& clock_;
    MonthGeometry geometry_;
    static constexpr qsizetype kShapedLinesKept = 2000;
    QHash<QString, QStaticText> shaped_;
};

}  // namespace velmora
