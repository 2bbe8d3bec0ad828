// User management: list, choose, create and delete users on a real
// database file, with a scripted person answering the questions.
#include <gtest/gtest.h>

#include <tuple>

#include "core/clock.h"
#include "core/text.h"
#include "ui/logic/dialog_test_support.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "ui/logic/users/profile_dlg_logic.h"

namespace velmora {
namespace {

using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;

const StringSource& fi() { return ResourceModule::builtIn(); }

class ProfileDlgTest : public ::testing::Test {
protected:
    ProfileDlgLogic open(AlarmTablePreparer prepare = {}) {
        return ProfileDlgLogic(db.user, db.store(), fi(), person, clock, std::move(prepare));
    }
    std::vector<Text> entries(const ProfileDlgLogic& dlg) {
        std::vector<Text> out;
        for (int i = 0; i < dlg.count(); ++i) out.push_back(dlg.entryText(i));
        return out;
    }

    TempDatabase db;
    ScriptedHost person;
    FixedClock clock{makeTime(2026, 3, 2, 9, 0)};
};

TEST_F(ProfileDlgTest, ListShowsNameAndSsnInLoadOrderAndSelectsTheCurrentUser) {
    db.addUser("Maija", "123");
    const int aino = db.addUser("Aino", "010101-123A");
    db.addUser("Bertta", "020202-234B");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    auto dlg = open();
    EXPECT_EQ(entries(dlg), (std::vector<Text>{"Aino (010101-123A)", "Bertta (020202-234B)",
                                               "Maija (123)"}));
    EXPECT_EQ(dlg.selection(), 0);
    EXPECT_TRUE(dlg.listButtonsEnabled());
    EXPECT_EQ(dlg.defaultButton(), ProfileDlgLogic::kIdChoose);
}

TEST_F(ProfileDlgTest, WithoutCurrentUserNothingIsSelectedAndChooseDoesNothing) {
    db.addUser("Aino", "1");
    auto dlg = open();
    EXPECT_EQ(dlg.selection(), -1);
    // A list with entries but none picked offers neither choosing nor deleting.
    EXPECT_FALSE(dlg.listButtonsEnabled());
    EXPECT_EQ(dlg.choose(), 0);
    EXPECT_EQ(db.user.id, 0);
    dlg.select(5);
    EXPECT_EQ(dlg.selection(), -1);
    EXPECT_EQ(dlg.deleteSelected(), 0);
    EXPECT_TRUE(person.questions.empty());
}

// What selecting loads (alarms, history, the table) is the store's own test;
// here the dialog picks the right user at the clock's present time.
TEST_F(ProfileDlgTest, ChoosingMakesTheSelectedUserCurrent) {
    const int aino = db.addUser("Aino", "1");
    const int bertta = db.addUser("Bertta", "2");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));

    TimeValue preparedAt = 0;
    int preparedFor = 0;
    auto dlg = open([&](CurrentUser& u, TimeValue now) {
        preparedAt = now;
        preparedFor = u.id;
    });
    dlg.select(1);
    EXPECT_EQ(dlg.choose(), ProfileDlgLogic::kIdChoose);
    EXPECT_EQ(db.user.id, bertta);
    // The alarm table was prepared at the clock's present time; no reminder
    // means that it must be programmed again.
    EXPECT_EQ(preparedFor, bertta);
    EXPECT_EQ(preparedAt, clock.nowValue());
    EXPECT_TRUE(db.user.is_programming_needed);
}

TEST_F(ProfileDlgTest, ChoosingAUserThatVanishedSaysSoAndShowsTheStoredList) {
    db.addUser("Aino", "1");
    const int bertta = db.addUser("Bertta", "2");
    auto dlg = open();
    ASSERT_TRUE(db.store().deleteProfile(bertta));  // e.g. a restored backup
    dlg.select(1);
    EXPECT_EQ(dlg.choose(), 0);
    EXPECT_EQ(person.messages.at(0).caption, fi().load(ids::kCaptionError));
    EXPECT_EQ(person.takeMessageTexts(), std::vector<Text>{fi().load(ids::kOperationFailed)});
    EXPECT_EQ(entries(dlg), std::vector<Text>{"Aino (1)"});
    EXPECT_EQ(dlg.selection(), -1);
    EXPECT_EQ(db.user.id, 0);
}

TEST_F(ProfileDlgTest, ANameAloneCreatesAUserWithDashAsSsn) {
    const int aino = db.addUser("Aino", "1");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    db.user.alarms.resize(1);
    db.user.alarm_table.add(12345);
    auto dlg = open();
    dlg.name = "Matti";
    EXPECT_EQ(dlg.create(), ProfileDlgLogic::kIdCreate);
    EXPECT_TRUE(person.messages.empty());

    // The new user is the current user, stored with defaults.
    EXPECT_GT(db.user.id, aino);
    EXPECT_EQ(ProfileDlgLogic::entryText(db.user), "Matti (-)");
    EXPECT_TRUE(db.user.is_programming_needed);
    EXPECT_TRUE(db.user.alarms.empty());
    EXPECT_TRUE(db.user.alarm_table.empty());
    ASSERT_EQ(db.user.users.size(), 2u);
    EXPECT_EQ(db.user.users.back().id, db.user.id);

    // Stored so, still to be programmed.
    const Profile stored = db.storedUsers().back();
    EXPECT_EQ(ProfileDlgLogic::entryText(stored), "Matti (-)");
    EXPECT_TRUE(stored.is_programming_needed);
}

// A store that cannot be written: nothing changes, and the person is told.
TEST_F(ProfileDlgTest, FailedCreateAndDeleteAreReportedAndChangeNothing) {
    const int aino = db.addUser("Aino", "1");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    RecordStore broken(db.dir() / "missing-dir" / "velmora.db");
    ProfileDlgLogic dlg(db.user, broken, fi(), person, clock);
    dlg.name = "Matti";
    EXPECT_EQ(dlg.create(), 0);
    dlg.select(0);
    person.answers = {true};
    EXPECT_EQ(dlg.deleteSelected(), 0);
    for (const auto& m : person.messages) EXPECT_EQ(m.caption, fi().load(ids::kCaptionError));
    EXPECT_EQ(person.takeMessageTexts(), (std::vector<Text>{fi().load(ids::kUserCreateFailed), fi().load(ids::kDeleteFailed)}));
    EXPECT_EQ(db.user.id, aino);
    EXPECT_EQ(db.user.name, "Aino");
    EXPECT_EQ(dlg.count(), 1);
    EXPECT_EQ(dlg.selection(), 0);
    EXPECT_EQ(dlg.name, "Matti");
}

TEST_F(ProfileDlgTest, DeleteAsksAndKeepsThePositionOrMovesToTheNewLast) {
    for (const char* n : {"A", "B", "C", "D"}) db.addUser(n, "x");
    auto dlg = open();
    person.answers = {false, true, true, true, true};
    dlg.select(1);
    EXPECT_EQ(dlg.deleteSelected(), 0);  // answered No
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0].text, fillPlaceholder(fi().load(ids::kConfirmDeleteUser), "B (x)"));
    EXPECT_EQ(person.questions[0].caption, fi().load(ids::kCaptionQuestion));
    EXPECT_TRUE(person.questions[0].defaultNo);
    EXPECT_EQ(db.storedUsers().size(), 4u);
    EXPECT_EQ(dlg.count(), 4);

    dlg.deleteSelected();  // B again: the next one moves up into its place
    EXPECT_EQ(entries(dlg), (std::vector<Text>{"A (x)", "C (x)", "D (x)"}));
    EXPECT_EQ(dlg.selection(), 1);

    dlg.select(2);  // D, the last: the new last is selected
    dlg.deleteSelected();
    EXPECT_EQ(entries(dlg), (std::vector<Text>{"A (x)", "C (x)"}));
    EXPECT_EQ(dlg.selection(), 1);

    dlg.deleteSelected();
    dlg.deleteSelected();  // C, then A, the only one
    EXPECT_EQ(dlg.count(), 0);
    EXPECT_EQ(dlg.selection(), -1);
    EXPECT_FALSE(dlg.listButtonsEnabled());
    EXPECT_TRUE(db.storedUsers().empty());
    EXPECT_EQ(dlg.close(), kIdCancel);
}

// A name is needed, and letters outside Windows-1252 would be stored as
// "?": the person is told which ones. Nothing is stored, and the fields
// keep what was typed.
TEST_F(ProfileDlgTest, NoNameOrLettersTheDatabaseCannotHoldAreRefused) {
    const auto unstorable = [](const Text& letters) {
        return fillPlaceholder(fi().load(ids::kUnstorableCharacters), letters);
    };
    const Text noName = fi().load(ids::kEnterNameAndSsn);
    struct Case {
        Text name, ssn, phone, message;
    };
    for (const Case& c : {Case{"", "010101-123A", "040 1234567", noName},
                          Case{"   ", "010101-123A", "040 1234567", noName},
                          Case{"Иван", "", "", unstorable("И в а н")},
                          Case{"Aino", "1", "040 \xF0\x9F\x98\x80 1", unstorable("\xF0\x9F\x98\x80")},
                          Case{"Łucja Łoś", "x", "", unstorable("Ł ś")}}) {
        auto dlg = open();
        std::tie(dlg.name, dlg.ssn, dlg.phone) = std::tie(c.name, c.ssn, c.phone);
        EXPECT_EQ(dlg.create(), 0) << c.name;
        ASSERT_FALSE(person.messages.empty());
        EXPECT_EQ(person.messages.back().text, c.message);
        EXPECT_EQ(person.messages.back().caption, fi().load(ids::kCaptionError));
        EXPECT_EQ(person.messages.back().icon, MessageIcon::Error);
        EXPECT_EQ(std::tuple(dlg.name, dlg.ssn, dlg.phone), std::tuple(c.name, c.ssn, c.phone));
        EXPECT_EQ(dlg.count(), 0);
    }
    EXPECT_TRUE(db.storedUsers().empty());
    // Every Windows-1252 letter passes, the euro sign and Š too; the texts
    // are stored trimmed, an apostrophe whole.
    auto dlg = open();
    std::tie(dlg.name, dlg.ssn, dlg.phone) = std::tuple("  O'Brien Šárka Œuvre-Ñandú € ", " 121212-1212 ", "+358 40 123");
    ASSERT_EQ(dlg.create(), ProfileDlgLogic::kIdCreate);
    const Profile stored = db.storedUsers().at(0);
    EXPECT_EQ(std::tie(stored.name, stored.ssn, stored.phone),
              std::tuple("O'Brien Šárka Œuvre-Ñandú €", "121212-1212", "+358 40 123"));
}

TEST_F(ProfileDlgTest, ASecondUserWithTheSameNameAndSsnIsAddedOnlyWhenConfirmed) {
    db.addUser("Aino Virtanen", "120345-123A");
    auto dlg = open();
    dlg.name = "Aino Virtanen";
    dlg.ssn = "120345-123A";
    EXPECT_EQ(dlg.create(), 0);  // No, the default answer
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0].text, fillPlaceholder(fi().load(ids::kDuplicateUser), "Aino Virtanen (120345-123A)"));
    EXPECT_TRUE(person.questions[0].defaultNo);
    EXPECT_EQ(db.storedUsers().size(), 1u);
    person.answers = {true};
    EXPECT_EQ(dlg.create(), ProfileDlgLogic::kIdCreate);
    EXPECT_EQ(db.storedUsers().size(), 2u);
    // Another ssn is another person: no question.
    dlg.ssn = "120345-124B";
    EXPECT_EQ(dlg.create(), ProfileDlgLogic::kIdCreate);
    EXPECT_EQ(person.questions.size(), 2u);
}

TEST_F(ProfileDlgTest, ChangingAUsersDetailsKeepsTheChecksOfCreating) {
    const int aino = db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    struct Row {
        const char* what;
        Text name, ssn;
        bool yes;     // the answer to a duplicate question
        bool saved;
        Text stored;  // Aino's entry afterwards
        bool asked;
    } rows[] = {
        {"no name", " ", "1", false, false, "Aino (1)", false},
        {"a letter outside Windows-1252", "Łucja", "1", false, false, "Aino (1)", false},
        {"another user's name and ssn, No", "Bertta", "2", false, false, "Aino (1)", true},
        {"its own name and ssn again", "Aino", "1", false, true, "Aino (1)", false},
        {"new name, no ssn", " Aino Virtanen ", "", false, true, "Aino Virtanen (-)", false},
        {"another user's name and ssn, Yes", "Bertta", "2", true, true, "Bertta (2)", true},
    };
    for (const Row& row : rows) {
        auto dlg = open();
        ASSERT_EQ(dlg.selection(), 0) << row.what;
        dlg.showSelected();
        person.questions.clear();
        person.answers = {row.yes};
        std::tie(dlg.name, dlg.ssn, dlg.phone) = std::tuple(row.name, row.ssn, "040 9");
        EXPECT_EQ(dlg.saveChanges(), row.saved) << row.what;
        EXPECT_EQ(ProfileDlgLogic::entryText(db.storedProfile(aino)), row.stored) << row.what;
        EXPECT_EQ(ProfileDlgLogic::entryText(db.user), row.stored) << "the current user follows";
        EXPECT_EQ(dlg.entryText(0), row.stored) << row.what;
        EXPECT_EQ(person.questions.size(), row.asked ? 1u : 0u) << row.what;
    }
    EXPECT_EQ(db.storedProfile(aino).phone, "040 9");
    // A user that a restore took away meanwhile: nothing is stored.
    auto dlg = open();
    db.store().deleteProfile(aino);
    dlg.name = "Aino";
    EXPECT_FALSE(dlg.saveChanges());
    EXPECT_EQ(person.messages.back().text, fi().load(ids::kUserUpdateFailed));
    EXPECT_EQ(db.storedUsers().size(), 1u);
}

TEST_F(ProfileDlgTest, DeletingTheCurrentUserClosesIt) {
    const int aino = db.addUser("Aino", "1");
    db.addUser("Bertta", "2");
    ASSERT_TRUE(db.store().selectUser(db.user, aino, clock.nowValue(), {}));
    auto dlg = open();
    ASSERT_EQ(dlg.selection(), 0);
    person.answers = {true};
    dlg.deleteSelected();
    EXPECT_EQ(db.user.id, 0);
    ASSERT_EQ(db.user.users.size(), 1u);
    EXPECT_EQ(db.user.users[0].name, "Bertta");
}

}  // namespace
}  // namespace velmora
