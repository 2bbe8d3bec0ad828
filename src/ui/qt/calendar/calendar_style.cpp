#include "ui/qt/calendar/calendar_style.h"

#include <QAction>
#include <algorithm>
#include <QMenu>

#include "resources/resource_module.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/resource_menu.h"

namespace velmora {

namespace {

QColor towardWhite(const QColor& c, double share) {
    auto mix = [share](int v) { return static_cast<int>(v + (255 - v) * share + 0.5); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

}  // namespace

CalendarPalette CalendarPalette::from(const QPalette& p) {
    CalendarPalette c;
    c.base = p.color(QPalette::Base);
    c.face = p.color(QPalette::Button);
    c.text = p.color(QPalette::ButtonText);
    c.faintText = p.color(QPalette::Disabled, QPalette::Text);
    c.line = towardWhite(p.color(QPalette::Shadow), 0.15);
    c.halfLine = towardWhite(c.line, 0.6);
    c.line = towardWhite(c.line, 0.45);
    c.today = towardWhite(p.color(QPalette::ToolTipBase), 0.25);
    c.selection = p.color(QPalette::Highlight);
    c.selection.setAlpha(45);
    c.selectionFrame = p.color(QPalette::Highlight);
    return c;
}

QColor itemColour(const ItemStyle::Rgb& c) { return QColor(c.r, c.g, c.b); }

QColor itemTextColour(const QColor& fill) {
    const double luminance = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
    return luminance < 140 ? QColor(Qt::white) : QColor(20, 20, 20);
}

namespace {

// `f` scaled by `factor`, in points or in pixels as it is given.
QFont scaled(QFont f, double factor) {
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * factor);
    else f.setPixelSize(std::max(1, static_cast<int>(f.pixelSize() * factor + 0.5)));
    return f;
}

}  // namespace

// Matching a family the desktop may lack costs a font-configuration
// search; the families are matched once.
QFont rulerHourFont(const QFont& base) {
    static const QFont tahoma("Tahoma");
    const QFont sized = scaled(base, 23.0 / 12);
    QFont f = tahoma;
    if (sized.pointSizeF() > 0) f.setPointSizeF(sized.pointSizeF());
    else f.setPixelSize(sized.pixelSize());
    return f;
}

QFont smallFont(const QFont& base) { return scaled(base, 11.0 / 12); }

QFont rulerMinuteFont() {
    static const QFont f = [] {
        QFont made("Arial");
        made.setPixelSize(11);
        return made;
    }();
    return f;
}

QLocale calendarLocale(const ResourceModule& resources) {
    switch (localeIdentifier(resources.languageCode())) {
        case 1035: return QLocale(QLocale::Finnish, QLocale::Finland);
        case 1053: return QLocale(QLocale::Swedish, QLocale::Sweden);
        case 1044: return QLocale(QLocale::NorwegianBokmal, QLocale::Norway);
        case 1031: return QLocale(QLocale::German, QLocale::Germany);
        case 1030: return QLocale(QLocale::Danish, QLocale::Denmark);
        default: return QLocale(QLocale::English, QLocale::UnitedStates);
    }
}

QString calendarTooltip(const Text& text, int maxWidth) {
    QString html = toQ(text).toHtmlEscaped();
    html.replace('\n', "<br>");
    return QString("<table width=\"%1\"><tr><td>%2</td></tr></table>").arg(maxWidth).arg(html);
}

QMenu* alarmContextMenu(const ResourceModule& resources, QWidget* parent) {
    const Menu* menu = resources.menu(ids::kMenuAlarmContext);
    if (!menu) return nullptr;
    for (const MenuItem& top : menu->items) {
        if (top.kind != MenuItem::Kind::Popup) continue;
        auto* popup = new QMenu(parent);
        addMenuItems(popup, top.children, [](QAction* a, int id) {
            a->setData(id);
            a->setObjectName(commandObjectName(id));
        });
        return popup;
    }
    return nullptr;
}

}  // namespace velmora
