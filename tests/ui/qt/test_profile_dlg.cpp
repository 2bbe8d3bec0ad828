// User management window on the offscreen platform: a person types a new
// user, chooses one from the list, deletes one.
#include <gtest/gtest.h>

#include <functional>

#include <QGroupBox>
#include <QLineEdit>
#include <QHeaderView>
#include <QTreeWidget>
#include <QPushButton>
#include <QTest>

#include "../logic/dialog_test_support.h"
#include "core/clock.h"
#include "resources/resource_module.h"
#include "qt_test_support.h"
#include "ui/qt/profile_dlg.h"

namespace velmora {
namespace {

using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;
using qttest::typeInto;

class ProfileDlgWidget : public ::testing::Test {
protected:
    // A dialog still open goes before the model it shows.
    void open() {
        dlg.reset();
        model = std::make_unique<ProfileDlgLogic>(db.user, db.store(), ResourceModule::builtIn(),
                                                  person, clock);
        dlg = std::make_unique<ProfileDlg>(*model);
        dlg->show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    template <class W>
    W* child(const char* name) {
        auto* w = dlg->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* list() { return child<QTreeWidget>("list"); }
    void clickRow(int row) {
        const QRect r = list()->visualItemRect(list()->topLevelItem(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // The rows shown, as "name (ssn)".
    QStringList shownRows() {
        QStringList rows;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list()->topLevelItem(i);
            if (!item->isHidden()) rows << item->text(0) + " (" + item->text(1) + ")";
        }
        return rows;
    }

    TempDatabase db;
    ScriptedHost person;
    FixedClock clock{makeTime(2026, 3, 2, 9, 0)};
    std::unique_ptr<ProfileDlgLogic> model;
    std::unique_ptr<ProfileDlg> dlg;
};

// A refused create leaves the window open (what is refused and what the
// fields keep is the logic's test); Enter moves through the fields and
// creates from the last.
TEST_F(ProfileDlgWidget, ARefusedCreateStaysOpenTypingWithEnterCreates) {
    open();
    QTest::mouseClick(child<QPushButton>("create"), Qt::LeftButton);
    EXPECT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(dlg->isVisible());
    auto* name = child<QLineEdit>("name");
    auto* ssn = child<QLineEdit>("ssn");
    auto* phone = child<QLineEdit>("phone");
    name->setFocus();
    EXPECT_TRUE(child<QPushButton>("create")->isDefault());
    typeInto(name, QString::fromUtf8("Matti Meikäläinen"));
    QTest::keyClick(name, Qt::Key_Return);
    // Enter in the name field only moves on.
    EXPECT_TRUE(ssn->hasFocus());
    EXPECT_TRUE(dlg->isVisible());
    QTest::keyClicks(ssn, "010170-1234");
    QTest::keyClick(ssn, Qt::Key_Enter);
    EXPECT_TRUE(phone->hasFocus());
    EXPECT_TRUE(db.storedUsers().empty());
    QTest::keyClicks(phone, "040 555 1234");
    QTest::keyClick(phone, Qt::Key_Return);

    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), ProfileDlgLogic::kIdCreate);
    EXPECT_EQ(db.user.phone, "040 555 1234");
}

// The choose button, a double click and Enter in the list choose the
// clicked row; Enter on a focused button presses that button.
TEST_F(ProfileDlgWidget, ChooseButtonDoubleClickAndEnterChooseEnterOnCloseCloses) {
    db.addUser("Aino", "1");
    const int bertta = db.addUser("Bertta", "2");
    const std::pair<std::function<void()>, int> ways[] = {
        {[&] {
             EXPECT_TRUE(child<QPushButton>("choose")->isDefault());
             QTest::mouseClick(child<QPushButton>("choose"), Qt::LeftButton);
         }, ProfileDlgLogic::kIdChoose},
        {[&] {  // a double click is a click followed by the double-click event
             QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                                list()->visualItemRect(list()->topLevelItem(1)).center());
         }, ProfileDlgLogic::kIdChoose},
        {[&] { QTest::keyClick(list(), Qt::Key_Return); }, ProfileDlgLogic::kIdChoose},
        {[&] {
             child<QPushButton>("close")->setFocus();
             QTest::keyClick(child<QPushButton>("close"), Qt::Key_Return);
         }, kIdCancel},
    };
    for (const auto& [act, result] : ways) {
        db.user.setProfile(Profile{});
        open();
        list()->setFocus();
        clickRow(1);
        act();
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), result);
        EXPECT_EQ(db.user.id, result == kIdCancel ? 0 : bertta);
    }
}

TEST_F(ProfileDlgWidget, DeletingEveryUserEmptiesTheListAndDisablesDelete) {
    db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    open();
    person.answers = {true, true};
    clickRow(1);
    for (int left : {1, 0}) {
        QTest::mouseClick(child<QPushButton>("delete"), Qt::LeftButton);
        EXPECT_EQ(list()->topLevelItemCount(), left);
    }
    EXPECT_FALSE(child<QPushButton>("delete")->isEnabled());
}

// The users are listed in two bold frames, the list with the keys. The
// search field filters as one types; a header click sorts, and a chosen
// row hidden by the filter is no longer chosen.
TEST_F(ProfileDlgWidget, ListInBoldFramesSearchFiltersAndHeadersSort) {
    db.addUser("Maija Virtanen", "120345-123A");
    db.addUser("Aino Virtanen", "030551-456B");
    db.addUser("Eino Korhonen", "251260-789C");
    open();
    EXPECT_TRUE(list()->hasFocus());
    const auto frames = dlg->findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 2);
    for (const QGroupBox* frame : frames) EXPECT_TRUE(frame->font().bold());
    EXPECT_FALSE(list()->font().bold());
    clickRow(0);  // Aino
    auto* search = child<QLineEdit>("search");
    QTest::keyClicks(search, "virt");
    EXPECT_EQ(shownRows(), (QStringList{"Aino Virtanen (030551-456B)", "Maija Virtanen (120345-123A)"}));
    EXPECT_TRUE(child<QPushButton>("choose")->isEnabled());
    search->clear();
    QTest::keyClicks(search, "789");  // the identity code too
    EXPECT_EQ(shownRows(), QStringList{"Eino Korhonen (251260-789C)"});
    EXPECT_FALSE(child<QPushButton>("choose")->isEnabled());
    search->clear();

    QHeaderView* header = list()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(shownRows().first(), "Aino Virtanen (030551-456B)");
    EXPECT_EQ(shownRows().last(), "Eino Korhonen (251260-789C)");
    clickRow(1);  // the second by identity code, the third as stored
    QTest::mouseClick(child<QPushButton>("choose"), Qt::LeftButton);
    EXPECT_EQ(db.user.name, "Maija Virtanen");
}

}  // namespace
}  // namespace velmora
