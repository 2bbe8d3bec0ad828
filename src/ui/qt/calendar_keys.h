#pragma once
// The keys the calendar views handle, as the views' logic names them.
#include <Qt>

#include "ui/logic/calendar/calendar_view.h"

namespace velmora {

inline bool calendarKeyOf(int qtKey, CalendarKey& out) {
    switch (qtKey) {
        case Qt::Key_Left: out = CalendarKey::Left; return true;
        case Qt::Key_Right: out = CalendarKey::Right; return true;
        case Qt::Key_Up: out = CalendarKey::Up; return true;
        case Qt::Key_Down: out = CalendarKey::Down; return true;
        case Qt::Key_PageUp: out = CalendarKey::PageUp; return true;
        case Qt::Key_PageDown: out = CalendarKey::PageDown; return true;
        case Qt::Key_Home: out = CalendarKey::Home; return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: out = CalendarKey::Enter; return true;
        case Qt::Key_Delete: out = CalendarKey::Delete; return true;
        default: return false;
    }
}

}  // namespace velmora
