#pragma once
// What the calendar views paint with: the items' fill colours, the colours
// taken from the desktop palette, the ruler's fonts, the locale of the
// language module, and the views' tooltips and popup menu.
#include <QColor>
#include <QFont>
#include <QLocale>
#include <QPalette>
#include <QString>

#include "core/types.h"
#include "ui/logic/calendar/calendar_items.h"

class QMenu;
class QWidget;

namespace velmora {

class ResourceModule;

struct CalendarPalette {
    QColor base;        // the day area
    QColor face;        // ruler and header (button face)
    QColor text;        // button text
    QColor faintText;   // days outside the month
    QColor line;        // dark shadow lightened 15 % toward white
    QColor halfLine;    // the half-hour lines
    QColor today;       // tooltip background lightened 25 % toward white
    QColor selection;   // the cursor's slot or day
    QColor selectionFrame;

    static CalendarPalette from(const QPalette& p);
};

QColor itemColour(const ItemStyle::Rgb& c);
// Black or white, whichever reads better on the fill.
QColor itemTextColour(const QColor& fill);

// The ruler's hour font ("Tahoma", large) for a view whose font is `base`,
// and the history chart's small fixed font ("Arial", 11 pixels).
QFont rulerHourFont(const QFont& base);
QFont rulerMinuteFont();
// The small font of items and minutes: 11 pixels where `base` is 12, so
// it grows with the desktop's text size.
QFont smallFont(const QFont& base);

// The locale of the language module (ids::kLanguageCode): weekday names.
QLocale calendarLocale(const ResourceModule& resources);

// A tooltip text wrapped at `maxWidth` pixels.
QString calendarTooltip(const Text& text, int maxWidth);

// The first popup of the alarm context menu (ids::kMenuAlarmContext: edit,
// delete) as a menu; nullptr when the resource module has no such menu.
QMenu* alarmContextMenu(const ResourceModule& resources, QWidget* parent);

}  // namespace velmora
