#include "ui/qt/calendar/calendar_view_base.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/qt/calendar/calendar_accessible.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

std::optional<CalendarKey> calendarKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left: return CalendarKey::Left;
        case Qt::Key_Right: return CalendarKey::Right;
        case Qt::Key_Up: return CalendarKey::Up;
        case Qt::Key_Down: return CalendarKey::Down;
        case Qt::Key_PageUp: return CalendarKey::PageUp;
        case Qt::Key_PageDown: return CalendarKey::PageDown;
        case Qt::Key_Home: return CalendarKey::Home;
        case Qt::Key_Return:
        case Qt::Key_Enter: return CalendarKey::Enter;
        case Qt::Key_Delete: return CalendarKey::Delete;
        default: return std::nullopt;
    }
}

const char* objectNameOf(ViewKind kind) {
    switch (kind) {
        case ViewKind::Day: return "dayView";
        case ViewKind::Week: return "weekView";
        case ViewKind::Month: return "monthView";
    }
    return "";
}

}  // namespace

CalendarViewBase::CalendarViewBase(ViewKind kind, CalendarRequests& requests, const ResourceModule& resources,
                                   const Clock& clock, int tooltipWidth, QWidget* parent)
    : QAbstractScrollArea(parent),
      logic_(CalendarViewLogic::make(kind, requests, resources, clock)),
      resources_(resources),
      clock_(clock),
      tooltipWidth_(tooltipWidth) {
    setObjectName(objectNameOf(kind));
    installCalendarAccessibility();
    setAccessibleName(toQ(logic_->name()));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
}

CalendarViewBase::~CalendarViewBase() = default;

void CalendarViewBase::setDate(const QDate& date) {
    if (logic_->setDate(makeTime(date.year(), date.month(), date.day()))) {
        refresh();
    } else {
        announceCalendarCursor(this);
        viewport()->update();
    }
}

void CalendarViewBase::refresh() {
    logic_->refresh();
    itemsChanged();
    announceCalendarItems(this);
    viewport()->update();
}

void CalendarViewBase::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    paintAll(p, viewport()->size());
}

void CalendarViewBase::contextMenuEvent(QContextMenuEvent* event) {
    // From the keys (the menu key, Shift+F10) the menu is the selected item's.
    const bool keys = event->reason() == QContextMenuEvent::Keyboard;
    if (!logic_->contextMenuOn(keys ? logic_->selectedItem() : itemAt(event->pos()))) return;
    QMenu* menu = alarmContextMenu(resources_, this);
    if (!menu) return;
    QAction* chosen =
        menu->exec(keys ? viewport()->mapToGlobal(itemArea(logic_->selectedItem()).center()) : event->globalPos());
    const int id = chosen ? chosen->data().toInt() : 0;
    menu->deleteLater();
    if (id == cmd::kEditAlarm) logic_->editRemembered();
    else if (id == cmd::kDeleteAlarm) logic_->deleteRemembered();
}

void CalendarViewBase::keyPressEvent(QKeyEvent* event) {
    const std::optional<CalendarKey> key = calendarKeyOf(event->key());
    if (!key) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    logic_->key(*key);
    cursorMoved();
    announceCalendarCursor(this);
    viewport()->update();
}

void CalendarViewBase::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    announceCalendarCursor(this);
}

bool CalendarViewBase::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    if (const std::optional<Text> tip = tooltipAt(help->pos()))
        QToolTip::showText(help->globalPos(), calendarTooltip(*tip, tooltipWidth_), viewport());
    else QToolTip::hideText();
    return true;
}

}  // namespace velmora
