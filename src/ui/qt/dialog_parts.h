#pragma once
// Small pieces the dialogs share: the bold frame of a group of controls
// and the normal weight of what it holds.
#include <QFont>
#include <QGroupBox>
#include <QString>

namespace velmora {

inline QGroupBox* boldFrame(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    QFont f = box->font();
    f.setBold(true);
    box->setFont(f);
    return box;
}

// Children of a bold frame keep the dialog's normal weight.
inline void plainFont(QWidget* w, const QWidget* dialog) {
    QFont f = dialog->font();
    f.setBold(false);
    w->setFont(f);
}

}  // namespace velmora
