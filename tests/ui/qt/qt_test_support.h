#pragma once
// Helpers of the widget tests: act on the next modal window, type as a
// person types, find a button by its text, the controls a screen reader
// cannot name.
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace velmora::qttest {

// Runs `act` on the next modal window (dialog or message box) as soon as
// it is shown. The returned flag tells whether it was seen.
inline std::shared_ptr<bool> onNextModal(std::function<void(QWidget*)> act) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, seen] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        *seen = true;
        act(w);
    });
    timer->start();
    return seen;
}

// Types text key by key; letters outside ASCII (ä, ö) arrive as key
// events that carry only their text, as an input method delivers them.
inline void typeInto(QWidget* w, const QString& text) {
    w->setFocus();
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

inline QPushButton* buttonWithText(QWidget* parent, const QString& text) {
    for (QPushButton* b : parent->findChildren<QPushButton*>()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

// The focusable controls shown in `window` or on its tab pages not chosen,
// whose accessible name is empty, by object and class name.
inline QStringList unnamedControls(QWidget* window) {
    const auto shown = [window](QWidget* w) {
        for (; w && w != window; w = w->parentWidget()) {
            if (w->isHidden() && !qobject_cast<QStackedWidget*>(w->parentWidget())) return false;
        }
        return true;
    };
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !shown(w) || w->focusProxy()) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + " " + w->metaObject()->className();
    }
    return unnamed;
}

}  // namespace velmora::qttest
