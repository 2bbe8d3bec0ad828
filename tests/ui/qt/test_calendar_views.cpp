// The calendar views inside the main window on the offscreen platform:
// what a click, a right click and the month grid's clicks ask for reaches
// the alarm flows and the window's date; what a screen reader is told.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "ui/qt/calendar/month_view.h"
#include "ui/qt/calendar/planner_view.h"
#include "main_window_fixture.h"

namespace velmora {
namespace {

// The alarm requests as the views make them.
class RecordingFlows : public AlarmRequests {
public:
    void add(const SYSTEMTIME& start) override { adds.push_back(formatDateTime(start)); }
    void edit(const SYSTEMTIME& at, const Alarm&) override { edits.push_back(formatDateTime(at)); }
    void remove(const SYSTEMTIME& at, const Alarm&) override { deletes.push_back(formatDateTime(at)); }
    std::vector<Text> adds, edits, deletes;
};

class CalendarViewsTest : public qttest::MainWindowFixture {
protected:
    void SetUp() override { open(ResourceModule::builtIn(), &flows_); }
    // A user with a daily 10:00 alarm from Tuesday 3 March, shown.
    void chooseUserWithAlarm() {
        makeCurrent(db_.addUser("Aino", "120345-123A", {dialogtest::dailyAlarm(makeTime(2026, 3, 3, 10, 0))}));
    }
    // The viewport point of a time in the week view (Monday 2 March first).
    QPoint weekPoint(int day, int hour, int minute) {
        const PlannerGeometry& g = window_->weekView()->geometry();
        return {g.columnLeft(day) + 6, g.yOf(makeTime(2026, 3, 2 + day, hour, minute)) + 6};
    }

    RecordingFlows flows_;
};

TEST_F(CalendarViewsTest, AClickOnAFreeSlotOfTheWeekAsksToAddThere) {
    chooseUserWithAlarm();
    QWidget* viewport = window_->weekView()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, weekPoint(2, 12, 30));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, weekPoint(3, 10, 0));  // on an item: selects it
    EXPECT_EQ(flows_.adds, (std::vector<Text>{"04.03.2026 12:30"}));
    EXPECT_EQ(logic_->dateText(), "5.3.2026") << "the window's date follows the selection";
}

TEST_F(CalendarViewsTest, TheContextMenuActsOnTheItemUnderTheMouse) {
    chooseUserWithAlarm();
    QWidget* viewport = window_->weekView()->viewport();
    // A right click on the viewport, or the menu key on the view.
    auto rightClick = [&](const QPoint& at, const char* actionName, bool keys = false) {
        QTimer::singleShot(50, [actionName] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            menu->setActiveAction(menu->findChild<QAction*>(actionName));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent event(keys ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, at,
                                viewport->mapToGlobal(at));
        QApplication::sendEvent(keys ? static_cast<QWidget*>(window_->weekView()) : viewport, &event);
    };
    rightClick(weekPoint(3, 10, 0), "deleteAlarm");
    rightClick(weekPoint(5, 10, 0), "editAlarm");
    QTest::mouseClick(viewport, Qt::LeftButton, {}, weekPoint(4, 10, 0));  // selects 6 March's
    rightClick({}, "editAlarm", true);
    EXPECT_EQ(flows_.deletes, (std::vector<Text>{"05.03.2026 10:00"}));
    EXPECT_EQ(flows_.edits, (std::vector<Text>{"07.03.2026 10:00", "06.03.2026 10:00"}));
}

TEST_F(CalendarViewsTest, TheMonthGridSelectsADayAndOpensItsDayView) {
    auto* tabs = control<QTabWidget>("viewTabs");
    tabs->setCurrentIndex(MainDlgLogic::kTabMonth);
    MonthView* month = window_->monthView();
    QApplication::processEvents();
    // March 2026 begins on a Sunday: the grid's first row starts 23 February.
    const PixelRect cell = month->geometry().cell(7 + 4);  // Friday 6 March
    const QPoint at(cell.x + cell.w / 2, cell.y + cell.h / 2);
    QTest::mouseClick(month->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(logic_->dateText(), "6.3.2026");
    QTest::mouseDClick(month->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(tabs->currentIndex(), MainDlgLogic::kTabDay);
}

TEST_F(CalendarViewsTest, ScreenReadersSeeTheItemsAndTheCursorOfTheViewsFromTheViewMenu) {
    chooseUserWithAlarm();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    struct Case {
        const char* action;
        CalendarViewBase* view;
        std::vector<Qt::Key> keys;
        int children;  // the items and the cursor
        QString cursor;
    } cases[] = {
        {"viewPlanner", window_->weekView(), {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right}, 7,
         "tiistai 3.3.2026 10:00–10:30: 10:00 Hälytys, tulossa"},
        {"viewMonth", window_->monthView(), {Qt::Key_Right}, 35, "keskiviikko 4.3.2026: 10:00 Hälytys, tulossa"},
    };
    for (const Case& c : cases) {
        control<QAction>(c.action)->trigger();  // gives the view the keys: it has the focused child below
        for (Qt::Key k : c.keys) QTest::keyClick(c.view, k);
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(c.view);
        EXPECT_EQ(tree->childCount(), c.children) << c.action;
        EXPECT_EQ(tree->child(0)->text(QAccessible::Name), "10:00 Hälytys, tulossa") << c.action;
        EXPECT_EQ(tree->child(0)->text(QAccessible::Description), "tiistai 3.3.2026") << c.action;
        ASSERT_NE(tree->focusChild(), nullptr) << c.action;
        EXPECT_EQ(tree->focusChild()->text(QAccessible::Name), c.cursor) << c.action;
        EXPECT_TRUE(tree->focusChild()->state().focused) << c.action;
    }
    EXPECT_EQ(qttest::unnamedControls(window_.get()).join(", ").toStdString(), "") << "the main window";
    EXPECT_EQ(control<QPushButton>("nextButton")->accessibleName(), "Seuraava viikko") << "not \">\"";
}

}  // namespace
}  // namespace velmora
