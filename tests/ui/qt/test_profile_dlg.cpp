// User management window on the offscreen platform: a person types a new
// user, chooses one from the list, deletes one.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
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
    void clickRow(int row) {
        auto* list = child<QListWidget>("list");
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
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
    auto* list = child<QListWidget>("list");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("Aino (010101-123A)"));
    EXPECT_TRUE(list->hasFocus());
    // The two frames are bold; what they hold is not.
    const auto frames = dlg->findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 2);
    for (const QGroupBox* frame : frames) EXPECT_TRUE(frame->font().bold());
    EXPECT_FALSE(list->font().bold());
    EXPECT_FALSE(child<QLineEdit>("name")->font().bold());
    EXPECT_FALSE(child<QPushButton>("create")->font().bold());
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
    EXPECT_TRUE(db.storedUsers().empty());
    EXPECT_TRUE(dlg->isVisible());
    QTest::keyClicks(ssn, "010170-1234");
    QTest::keyClick(ssn, Qt::Key_Enter);
    EXPECT_TRUE(phone->hasFocus());
    EXPECT_TRUE(db.storedUsers().empty());
    QTest::keyClicks(phone, "040 555 1234");
    QTest::keyClick(phone, Qt::Key_Return);

    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), ProfileDlgLogic::kIdCreate);
    EXPECT_TRUE(person.messages.empty());
    const auto stored = db.storedUsers();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].phone, "040 555 1234");
    EXPECT_EQ(db.user.name, "Matti Meikäläinen");
}

TEST_F(ProfileDlgWidget, CreatingWithoutANameShowsTheErrorAndStaysOpen) {
    open();
    auto* ssn = child<QLineEdit>("ssn");
    QTest::keyClicks(ssn, "010170-1234");
    QTest::mouseClick(child<QPushButton>("create"), Qt::LeftButton);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(ssn->text(), QString("010170-1234"));
    EXPECT_TRUE(db.storedUsers().empty());
}

TEST_F(ProfileDlgWidget, ChooseButtonDoubleClickAndEnterInTheListChoose) {
    const int ids[] = {db.addUser("Aino", "1"), db.addUser("Bertta", "2")};
    const std::function<void(int row)> ways[] = {
        [&](int) { QTest::mouseClick(child<QPushButton>("choose"), Qt::LeftButton); },
        [&](int row) {  // a double click is a click followed by the double-click event
            auto* list = child<QListWidget>("list");
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        },
        [&](int) { QTest::keyClick(child<QListWidget>("list"), Qt::Key_Return); },
    };
    for (int way = 0; way < 3; ++way) {
        const int row = way == 0 ? 1 : 0;
        db.user.setProfile(Profile{});
        open();
        child<QListWidget>("list")->setFocus();
        clickRow(row);
        EXPECT_TRUE(child<QPushButton>("choose")->isDefault());
        ways[way](row);
        EXPECT_FALSE(dlg->isVisible()) << way;
        EXPECT_EQ(dlg->result(), ProfileDlgLogic::kIdChoose) << way;
        EXPECT_EQ(db.user.id, ids[row]) << way;
    }
}

TEST_F(ProfileDlgWidget, DeletingTheLastUsersMovesTheSelectionAndFinallyDisablesTheButtons) {
    db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    open();
    auto* list = child<QListWidget>("list");
    person.answers = {true, true};
    clickRow(1);
    QTest::mouseClick(child<QPushButton>("delete"), Qt::LeftButton);
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(child<QPushButton>("delete")->isEnabled());
    QTest::mouseClick(child<QPushButton>("delete"), Qt::LeftButton);
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(child<QPushButton>("delete")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("choose")->isEnabled());

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), kIdCancel);
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
