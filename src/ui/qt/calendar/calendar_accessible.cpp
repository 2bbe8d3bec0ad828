#include "ui/qt/calendar/calendar_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

#include "ui/qt/calendar/calendar_view_base.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

// One item of the range (index into the logic's items), or the cursor.
class CalendarChild : public QAccessibleInterface {
public:
    static constexpr int kCursor = -1;

    CalendarChild(CalendarViewBase* view, int item) : view_(view), item_(item) {}

    bool isValid() const override {
        return view_ && (item_ == kCursor || item_ < static_cast<int>(view_->logic().items().size()));
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const CalendarViewLogic& logic = view_->logic();
        if (t == QAccessible::Name) return toQ(item_ == kCursor ? logic.cursorSpeech() : logic.itemSpeech(item_));
        if (t == QAccessible::Description && item_ != kCursor) return toQ(logic.itemDetails(item_));
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = item_ == kCursor ? view_->cursorArea() : view_->itemArea(item_);
        return r.isEmpty() ? QRect() : QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = item_ == kCursor;
        s.focused = item_ == kCursor && view_->hasFocus();
        s.selected = item_ == kCursor || item_ == view_->logic().selectedItem();
        s.offscreen = rect().isEmpty();
        return s;
    }

    const CalendarViewBase* view() const { return view_; }
    int item() const { return item_; }

private:
    QPointer<CalendarViewBase> view_;
    const int item_;
};

// The view: its children are made when first asked for and registered
// with Qt's cache; the items' go when the items are rebuilt.
class CalendarAccessible : public QAccessibleWidget {
public:
    explicit CalendarAccessible(CalendarViewBase* view) : QAccessibleWidget(view, QAccessible::List), view_(view) {}
    // Qt drops the interface while the view is being destroyed: only the
    // children are let go, the view is not asked anything.
    ~CalendarAccessible() override {
        dropItems();
        if (cursor_) QAccessible::deleteAccessibleInterface(cursor_);
    }

    int childCount() const override { return itemCount() + 1; }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index > itemCount()) return nullptr;
        if (static_cast<int>(items_.size()) != itemCount()) forgetItems();
        QAccessible::Id& id = index == itemCount() ? cursor_ : items_[static_cast<std::size_t>(index)];
        if (!id) {
            id = QAccessible::registerAccessibleInterface(
                new CalendarChild(view_, index == itemCount() ? CalendarChild::kCursor : index));
        }
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* c = dynamic_cast<const CalendarChild*>(child);
        if (!c || c->view() != view_ || !c->isValid()) return -1;
        return c->item() == CalendarChild::kCursor ? itemCount() : c->item();
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface* c = child(i);
            if (c && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override { return view_->hasFocus() ? child(itemCount()) : nullptr; }

    void forgetItems() const {
        dropItems();
        items_.assign(static_cast<std::size_t>(itemCount()), 0);
    }

private:
    void dropItems() const {
        for (QAccessible::Id id : items_) {
            if (id) QAccessible::deleteAccessibleInterface(id);
        }
        items_.clear();
    }

    int itemCount() const { return static_cast<int>(view_->logic().items().size()); }

    CalendarViewBase* view_;
    mutable std::vector<QAccessible::Id> items_;
    mutable QAccessible::Id cursor_ = 0;
};

QAccessibleInterface* calendarFactory(const QString&, QObject* object) {
    auto* view = qobject_cast<CalendarViewBase*>(object);
    return view ? new CalendarAccessible(view) : nullptr;
}

void send(CalendarViewBase* view, QAccessible::Event type, int child) {
    QAccessibleEvent event(view, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void installCalendarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(calendarFactory);
        return true;
    }();
    (void)installed;
}

void announceCalendarItems(CalendarViewBase* view) {
    if (auto* me = dynamic_cast<CalendarAccessible*>(QAccessible::queryAccessibleInterface(view)))
        me->forgetItems();
    send(view, QAccessible::ObjectReorder, -1);
    announceCalendarCursor(view);
}

void announceCalendarCursor(CalendarViewBase* view) {
    const int cursor = static_cast<int>(view->logic().items().size());
    send(view, QAccessible::NameChanged, cursor);
    if (view->hasFocus()) send(view, QAccessible::Focus, cursor);
}

}  // namespace velmora
