#include "ui/qt/elided_label.h"

#include <QResizeEvent>

namespace velmora {

namespace {
// Widest the label asks for; it takes more when the layout gives it.
constexpr int kPreferredWidth = 160;
}  // namespace

void ElidedLabel::setFullText(const QString& text) {
    full_ = text;
    elide();
}

QSize ElidedLabel::sizeHint() const {
    const int wanted = fontMetrics().horizontalAdvance(full_) + 2 * margin() + 2;
    return {std::min(wanted, kPreferredWidth), minimumSizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("W…")), fontMetrics().height() + 2 * margin()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width());
    if (shown != text()) setText(shown);
    setToolTip(shown != full_ ? full_ : QString());
}

}  // namespace velmora
