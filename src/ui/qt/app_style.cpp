#include "ui/qt/app_style.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace velmora {

void applyAppStyle(QApplication& app) {
    // The program's own face at the desktop's text size (its theme's font,
    // 9 points where the desktop tells none).
    const qreal desktopSize = QApplication::font().pointSizeF();
    if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
    QFont font("DejaVu Sans");
    font.setPointSizeF(desktopSize > 0 ? desktopSize : 9);
    QApplication::setFont(font);
    QPalette pal = app.style()->standardPalette();
    pal.setColor(QPalette::Highlight, QColor(8, 174, 198));
    pal.setColor(QPalette::Link, QColor(8, 130, 160));
    app.setPalette(pal);
}

}  // namespace velmora
