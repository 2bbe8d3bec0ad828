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

TEST_F(ProfileDlgWidget, ShowsTheUsersInBoldFrames) {
    db.addUser("Maija", "123");
    db.addUser("Aino", "010101-123A");
    open();
    EXPECT_TRUE(list()->hasFocus());
    // The two frames are bold; what they hold is not.
    const auto frames = dlg->findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 2);
    for (const QGroupBox* frame : frames) EXPECT_TRUE(frame->font().bold());
    EXPECT_FALSE(list()->font().bold());
}

// After "Sulje käyttäjä" no user is current: the focus outline on the
// first row chooses nothing, and Enter neither chooses nor deletes.
TEST_F(ProfileDlgWidget, AfterClosingTheUserNothingIsChosenUntilARowIsClicked) {
    const int aino = db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    db.user.setProfile(Profile{});  // the user was closed
    open();
    auto* choose = child<QPushButton>("choose");
    auto* remove = child<QPushButton>("delete");
    EXPECT_FALSE(choose->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(db.user.id, 0);
    EXPECT_TRUE(person.questions.empty());

    clickRow(1);
    EXPECT_TRUE(choose->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    remove->click();  // answered No
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0].text, "Poistetaanko käyttäjä Bertta (2)?");
}

TEST_F(ProfileDlgWidget, TypingANewUserWithEnterCreatesAndSelectsIt) {
    open();
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
    const auto stored = db.storedUsers();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].phone, "040 555 1234");
    EXPECT_EQ(db.user.name, "Matti Meikäläinen");
}

// What is refused and what the fields keep is the logic's test.
TEST_F(ProfileDlgWidget, ARefusedCreateLeavesTheDialogOpen) {
    open();
    QTest::mouseClick(child<QPushButton>("create"), Qt::LeftButton);
    EXPECT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(ProfileDlgWidget, ChooseButtonDoubleClickAndEnterInTheListChoose) {
    db.addUser("Aino", "1");
    const int bertta = db.addUser("Bertta", "2");
    const std::function<void()> ways[] = {
        [&] {
            EXPECT_TRUE(child<QPushButton>("choose")->isDefault());
            QTest::mouseClick(child<QPushButton>("choose"), Qt::LeftButton);
        },
        [&] {  // a double click is a click followed by the double-click event
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                               list()->visualItemRect(list()->topLevelItem(1)).center());
        },
        [&] { QTest::keyClick(list(), Qt::Key_Return); },
    };
    for (const auto& choose : ways) {
        db.user.setProfile(Profile{});
        open();
        list()->setFocus();
        clickRow(1);
        choose();
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), ProfileDlgLogic::kIdChoose);
        EXPECT_EQ(db.user.id, bertta);
    }
}

TEST_F(ProfileDlgWidget, DeletingTheLastUsersMovesTheSelectionAndFinallyDisablesTheButtons) {
    db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    open();
    person.answers = {true, true};
    clickRow(1);
    QTest::mouseClick(child<QPushButton>("delete"), Qt::LeftButton);
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_TRUE(list()->topLevelItem(0)->isSelected());
    QTest::mouseClick(child<QPushButton>("delete"), Qt::LeftButton);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_FALSE(child<QPushButton>("delete")->isEnabled());

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), kIdCancel);
}

// The search field filters as one types; a header click sorts, and a
// chosen row hidden by the filter is no longer chosen.
TEST_F(ProfileDlgWidget, SearchFiltersAndHeadersSort) {
    db.addUser("Maija Virtanen", "120345-123A");
    db.addUser("Aino Virtanen", "030551-456B");
    db.addUser("Eino Korhonen", "251260-789C");
    open();
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

TEST_F(ProfileDlgWidget, EnterOnAFocusedButtonPressesThatButton) {
    db.addUser("Aino", "1");
    open();
    clickRow(0);
    auto* close = child<QPushButton>("close");
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), kIdCancel);
    EXPECT_EQ(db.user.id, 0);
}

}  // namespace
}  // namespace velmora
