// The main window on the offscreen platform, used the way a person uses
// it: clicks, typing, menus and the modal dialogs that they open.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>
#include <functional>
#include <set>
#include <tuple>

#include "main_window_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using qttest::buttonWithText;
using qttest::onNextModal;
using qttest::typeInto;

using MainWindowTest = qttest::MainWindowFixture;

// What the logic decides reaches the controls, and the navigation buttons
// reach the logic (the step of each tab is the logic test's).
TEST_F(MainWindowTest, ShowsTheLogicsStateAndNavigates) {
    MainDlg& w = open();
    EXPECT_EQ(control<QLabel>("dateLabel")->text(), "2.3.2026");
    EXPECT_FALSE(control<QPushButton>("programButton")->isEnabled());
    EXPECT_FALSE(w.action(cmd::kShowHistory)->isEnabled());
    control<QTabWidget>("viewTabs")->setCurrentIndex(MainDlgLogic::kTabDay);
    QTest::mouseClick(control<QPushButton>("nextButton"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("dateLabel")->text(), "3.3.2026");
    QTest::mouseClick(control<QPushButton>("todayButton"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("dateLabel")->text(), "2.3.2026");
}

// A name longer than the panel is cut there and whole in its tooltip.
TEST_F(MainWindowTest, CreateAUserAndSeeItInThePanel) {
    MainDlg& w = open();
    const QString name = "Anna-Maria Katariina Väisänen-Hämäläinen af Ruotsinkylä";
    auto seen = onNextModal([&name](QWidget* dlg) {
        typeInto(dlg->findChild<QLineEdit*>("name"), name);
        typeInto(dlg->findChild<QLineEdit*>("ssn"), "010170-123X");
        QTest::mouseClick(dlg->findChild<QPushButton*>("create"), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>("chooseUserButton"), Qt::LeftButton);
    EXPECT_TRUE(*seen);
    auto* label = control<QLabel>("userName");
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026)) && name.startsWith(label->text().chopped(1)));
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(label, &hover);
    EXPECT_EQ(QToolTip::text(), name);
    QToolTip::hideText();
    EXPECT_TRUE(w.action(cmd::kShowHistory)->isEnabled());
}

TEST_F(MainWindowTest, ConflictingWindowAnsweredNoPutsTheListBack) {
    // Alarm if forgotten within 40 minutes; two daily alarms 45 minutes apart.
    const int id = db_.addUser("Aino", "1",
                               {dialogtest::dailyAlarm(makeTime(2026, 3, 3, 8, 0)),
                                dialogtest::dailyAlarm(makeTime(2026, 3, 3, 8, 45))},
                               2400, 1);
    open();
    makeCurrent(id);
    auto* list = control<QComboBox>("windowList");
    ASSERT_EQ(list->currentIndex(), 2);

    auto asked = onNextModal([&](QWidget* box) { QTest::mouseClick(buttonWithText(box, "Ei"), Qt::LeftButton); });
    list->setCurrentIndex(3);  // 60 minuuttia
    ASSERT_TRUE(*asked);
    EXPECT_EQ(list->currentIndex(), 2);  // what is stored is the logic test's
}

// Escape, the close button and "Poistu" end the program with 2, 2 and
// 40006; each stores the comment typed, which a resize does not undo.
TEST_F(MainWindowTest, EachWayOfClosingEndsWithItsCodeAndStoresTheComment) {
    const int id = db_.addUser("Aino", "1");
    const std::pair<std::function<void(MainDlg&)>, int> ways[] = {
        {[](MainDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); }, 2},
        {[](MainDlg& w) { w.close(); }, 2},
        {[](MainDlg& w) { w.action(cmd::kExit)->trigger(); }, 40006}};
    int round = 0;
    for (const auto& [close, code] : ways) {
        MainDlg& w = open();
        makeCurrent(id);
        control<QTabWidget>("viewTabs")->setCurrentIndex(MainDlgLogic::kTabComments);
        auto* edit = control<QPlainTextEdit>("commentEdit");
        const QString comment = QString("Puolikas tabletti %1").arg(++round);
        SCOPED_TRACE(comment.toStdString());
        edit->clear();
        typeInto(edit, comment);
        w.resize(w.width() + 40, w.height());
        QApplication::processEvents();
        EXPECT_EQ(edit->toPlainText(), comment);
        close(w);
        EXPECT_EQ(w.exitCode(), code);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(db_.storedProfile(id).comment, fromQ(comment));
    }
}

TEST_F(MainWindowTest, RadioTooltipWaitsTwoSeconds) {
    open();
    QToolTip::hideText();
    auto* radio = control<QRadioButton>("alarmIfForgottenRadio");
    radio->setAttribute(Qt::WA_UnderMouse);
    const QPoint at = radio->mapToGlobal(QPoint(5, 5));
    QHelpEvent ask(QEvent::ToolTip, QPoint(5, 5), at);
    QApplication::sendEvent(radio, &ask);
    EXPECT_FALSE(QToolTip::isVisible()) << "not at Qt's usual 0.7 s";
    QTest::qWait(1500);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains("ikkunan aikana"));
    QToolTip::hideText();
}

// With the English module every visible text of the window is English.
TEST_F(MainWindowTest, EnglishModuleTurnsTheWindowEnglish) {
    auto en = ResourceModule::fromFile(dialogtest::sourceLangDir() / "en.txt");
    ASSERT_TRUE(en);
    MainDlg& w = open(*en);
    EXPECT_EQ(control<QPushButton>("todayButton")->text(), "Today");
    const auto fi = ResourceModule::builtIn();
    // No label, button, radio button or menu item shows a Finnish text.
    std::set<QString> finnish;
#define VELMORA_COLLECT(name, id) finnish.insert(QString::fromUtf8(fi.load(id).c_str()));
    VELMORA_STRING_IDS(VELMORA_COLLECT)
#undef VELMORA_COLLECT
    for (const char* same : {"OK", "Velmora", "VelmoraMDD", "VelmoraReader", "Ready", " "})
        finnish.erase(same);
    for (QLabel* l : w.findChildren<QLabel*>()) EXPECT_FALSE(finnish.count(l->text())) << l->text().toStdString();
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>())
        EXPECT_FALSE(finnish.count(b->text())) << b->text().toStdString();
    for (QAction* a : w.findChildren<QAction*>()) EXPECT_FALSE(finnish.count(a->text())) << a->text().toStdString();
}

struct UnknownDialog : DialogModel {
    int templateId() const override { return 9999; }
};

// Message boxes take every text from the resource module, the buttons too.
TEST(QtHostTest, QuestionButtonsComeFromTheStringTableAndNoIsEscape) {
    QtHost host(ResourceModule::builtIn());
    QStringList buttons;
    auto seen = onNextModal([&](QWidget* box) {
        for (QAbstractButton* b : static_cast<QMessageBox*>(box)->buttons()) buttons << b->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(host.askYesNo("Poistetaanko?", "Kysymys"));
    ASSERT_TRUE(*seen);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Ei", "Kyllä"}));

    auto yes = onNextModal([](QWidget* box) { QTest::mouseClick(buttonWithText(box, "Kyllä"), Qt::LeftButton); });
    EXPECT_TRUE(host.askYesNo("Poistetaanko?", "Kysymys"));
    EXPECT_TRUE(*yes);
}

// Report files go to the text viewer, pages and the manual to the opener.
// One that is missing or ends with an error is named to the person, with
// the path or address, once it has ended; one that works says nothing.
TEST(QtHostTest, OpenersThatFailAreNamedWithWhatTheyShouldHaveOpened) {
    dialogtest::TempDatabase db;
    const fs::path seen = db.dir() / "seen.txt";
    for (const char* status : {"0", "3"}) {
        db.writeFile(std::string("exit") + status, "#!/bin/sh\necho \"$0 $1\" >> '" + seen.string() + "'\nexit " + status + "\n");
        fs::permissions(db.dir() / (std::string("exit") + status), fs::perms::owner_all);
    }
    const std::string works = (db.dir() / "exit0").string(), fails = (db.dir() / "exit3").string();
    const std::string missing = (db.dir() / "no-viewer").string();
    const ResourceModule& strings = ResourceModule::builtIn();
    // Viewer, opener, and whether a page (else a file) is opened.
    for (const auto& [viewer, opener, page] : {std::tuple{works, fails, false}, std::tuple{fails, works, true},
                                               std::tuple{fails, works, false}, std::tuple{works, fails, true},
                                               std::tuple{missing, works, false}}) {
        const Text target = page ? "https://127.0.0.1/velmora/forgot.php?l=fi&t=2" : "/tmp/report.txt";
        const std::string program = page ? opener : viewer;
        SCOPED_TRACE(program + " " + target);
        fs::remove(seen);
        QtHost host(strings, DesktopPrograms{opener, viewer});
        std::vector<Text> shown;
        QTimer boxes;  // answers every message box of this case
        QObject::connect(&boxes, &QTimer::timeout, &boxes, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.push_back(fromQ(box->text()));
                box->reject();
            }
        });
        boxes.start(10);
        page ? host.openUrl(target) : host.openTextFile(target);
        for (int i = 0; i < 100 && !fs::exists(seen) && shown.empty(); ++i) QTest::qWait(20);
        QTest::qWait(300);  // the opener's end reaches the event loop
        EXPECT_EQ(shown, program != works ? std::vector<Text>{notOpenedText(strings, target)} : std::vector<Text>{});
        EXPECT_EQ(dialogtest::readBytes(seen), fs::exists(program) ? program + " " + target + "\n" : "");
    }
}

// A dialog without a window ends as cancelled. Held-back reminder events:
// the listener runs from the event loop once the outermost dialog has
// closed, not while a nested one is still open.
TEST(QtHostTest, ModalsClosedComesOnceAfterTheOutermostDialog) {
    QtHost host(ResourceModule::builtIn());
    UnknownDialog outer;
    EXPECT_EQ(host.runDialog(outer), kIdCancel);
    struct Inner : DialogModel {
        int templateId() const override { return 9998; }
    } inner;
    std::vector<int> depths;
    int closed = 0;
    host.setModalsClosedListener([&] { ++closed; });
    host.registerDialog(9998, [&](DialogModel&, QWidget*) {
        depths.push_back(host.modalDepth());
        return kIdOk;
    });
    host.registerDialog(9999, [&](DialogModel&, QWidget*) {
        depths.push_back(host.modalDepth());
        host.runDialog(inner);
        QCoreApplication::processEvents();
        return kIdOk;
    });
    host.runDialog(outer);
    EXPECT_EQ(depths, (std::vector<int>{1, 2}));
    EXPECT_EQ(host.modalDepth(), 0);
    EXPECT_EQ(closed, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace velmora
