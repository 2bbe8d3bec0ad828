// The work list's dock: double click and Enter choose the row's person,
// and no Enter or Escape typed in the dock reaches the window, where they
// end the program.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "resources/resource_module.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/qt/work_list_dock.h"

namespace velmora {
namespace {

struct KeyCountingWindow : QMainWindow {
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    int keys = 0;
};

TEST(WorkListDockWidget, ChoosesByDoubleClickAndEnterAndKeepsTheKeysFromTheWindow) {
    dialogtest::TempDatabase db;
    const int aino = db.addUser("Aino", "1", true);
    FixedClock clock(makeTime(2026, 3, 2, 9, 0));
    std::vector<int> chosen;
    WorkListLogic list(db.store(), ResourceModule::builtIn(), clock, {}, [&chosen](int id) { chosen.push_back(id); });
    KeyCountingWindow window;
    auto* dock = new WorkListDock(list, ResourceModule::builtIn(), &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    list.setVisible(true);
    QTableView* table = dock->table();
    table->setCurrentIndex(table->model()->index(0, 0));
    const QPoint cell = table->visualRect(table->currentIndex()).center();
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell);  // a double click starts as a press
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
    for (QWidget* typedIn : {static_cast<QWidget*>(table), static_cast<QWidget*>(dock->findChild<QSpinBox*>("workListLogDays"))})
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(typedIn, key);
    EXPECT_EQ(chosen, (std::vector<int>{aino, aino, aino}));
    EXPECT_EQ(window.keys, 0);
}

}  // namespace
}  // namespace velmora
