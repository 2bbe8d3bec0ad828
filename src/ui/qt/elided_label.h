#pragma once
// A one-line label that shows as much of its text as fits, ending in "…",
// with the whole text as its tooltip when cut; it never widens its layout.
#include <QLabel>

namespace velmora {

class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString full_;
};

}  // namespace velmora
