#include "ui/qt/logo.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace velmora {

namespace {
const QColor kBrand(8, 174, 198);
const QColor kBrandLight(51, 205, 215);

void drawMark(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBrand);
    p.drawEllipse(r);
    const QRectF inner = r.adjusted(r.width() * 0.16, r.height() * 0.16, -r.width() * 0.16,
                                    -r.height() * 0.16);
    p.setBrush(Qt::white);
    p.drawEllipse(inner);
    const QRectF button = r.adjusted(r.width() * 0.32, r.height() * 0.32, -r.width() * 0.32,
                                     -r.height() * 0.32);
    p.setBrush(kBrandLight);
    p.drawEllipse(button);
}
}  // namespace

QPixmap velmoraLogo(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    drawMark(p, QRectF(1, 1, size - 2, size - 2));
    return pm;
}

QPixmap velmoraWordmark(int height) {
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(height * 2 / 3);
    const QFontMetrics fm(f);
    const int textWidth = fm.horizontalAdvance("Velmora");
    QPixmap pm(height + 6 + textWidth + 2, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    drawMark(p, QRectF(1, 1, height - 2, height - 2));
    p.setFont(f);
    p.setPen(kBrand);
    p.drawText(QRect(height + 6, 0, textWidth + 2, height), Qt::AlignVCenter | Qt::AlignLeft, "Velmora");
    return pm;
}

}  // namespace velmora
