#include "ui/qt/app_style.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace velmora {

void applyAppStyle(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
    QApplication::setFont(QFont("DejaVu Sans", 9));
    QPalette pal = app.style()->standardPalette();
    pal.setColor(QPalette::Highlight, QColor(8, 174, 198));
    pal.setColor(QPalette::Link, QColor(8, 130, 160));
    app.setPalette(pal);
}

}  // namespace velmora
