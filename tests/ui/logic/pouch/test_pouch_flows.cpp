// Pouch data from the substitute service over TLS into a real database:
// the main window's fetch, user management's name lookup and the update
// of every user (dialog 188).
#include <gtest/gtest.h>

#include "ui/logic/dialog_test_support.h"
#include "online/online_test_support.h"
#include "resources/resource_module.h"
#include "ui/logic/pouch/pouch_bulk_dlg_logic.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/pouch/pouch_flow.h"

namespace velmora {
namespace {

const char* kSample =
    "[BASIC_INFORMATION]NAME=Anna Aalto;STARTDATE=2030-03-01;ENDDATE=2030-03-14"
    "[POUCH1]DOSEDATE=2030-03-01;DOSETIME=8:00[POUCH2]DOSEDATE=2030-03-01;DOSETIME=20:00";
std::string pouch(const char* start, const char* date) {
    return std::string("[BASIC_INFORMATION]NAME=X;STARTDATE=") + start + ";ENDDATE=2030-03-14[POUCH1]DOSEDATE=" + date +
           ";DOSETIME=9:00";
}

class PouchFlowTest : public testing::OnlineTest {
protected:
    void SetUp() override {
        OnlineTest::SetUp();
        logic_.addAccount("anna", "secret");
        useService(service_->url());
        main_ = std::make_unique<MainDlgLogic>(db_.store(), db_.dir(), strings_, host_, clock_);
        main_->initialise();
        const PouchContext context{main_->user(), db_.store(), strings_, host_, clock_, access_, *main_};
        fetch_ = std::make_unique<FetchPouchCommand>(
            context, [this] { return main_->reminderConnected(); },
            [this] { main_->command(MainDlgLogic::kIdProgram); });
        updateAll_ = std::make_unique<UpdateAllPouchCommand>(context, [this] { return fetch_->awaitingReply(); });
        CurrentUser& u = main_->user();
        std::tie(u.logged_in, u.account_name, u.account_password) = std::tuple(true, "anna", "secret");
        for (const char* name : {"Aino", "Bertta", "Cecilia", "Dora", "Eino"})
            ids_.push_back(db_.store().insertProfile(false, name, std::string("ssn-") + name, "", ""));
        Alarm byHand;
        byHand.alarm_start = byHand.alarm_end = makeTime(2030, 3, 5, 9, 0);
        ASSERT_TRUE(db_.store().saveAlarm(byHand, ids_[0]));
        choose(0);
    }
    // The service at `url` for every command, its replies run by owner_.
    void useService(const std::string& url) {
        if (fetch_) fetch_->cancel();
        access_.settings = settingsFor(url);
        access_.post = owner_.poster();
    }
    void choose(int i) {
        ASSERT_TRUE(db_.store().selectUser(main_->user(), ids_[i], clock_.nowValue(), {}));
    }
    // Alarm type and start of the stored alarms of user i.
    std::vector<std::pair<int, TimeValue>> alarms(int i) {
        std::vector<std::pair<int, TimeValue>> out;
        for (const Alarm& a : db_.storedAlarms(ids_[i])) out.emplace_back(a.alarm_type, toTimeValue(a.alarm_start));
        std::sort(out.begin(), out.end());
        return out;
    }
    // The string id each message shown begins with (the summary by its caption).
    std::vector<int> shown() {
        std::vector<int> out;
        for (const auto& m : host_.messages) {
            out.push_back(0);
            for (int id : {ids::kPouchDataCaption, ids::kPouchNoChanges, ids::kPouchDataNotFound, ids::kPersonNotFound,
                           ids::kWrongCredentials, ids::kOperationFailed, ids::kPouchDataInvalid, ids::kSignInFirst,
                           ids::kPouchReplyUserChanged, ids::kIdentityCodeChangedMeanwhile})
                if (m.caption == strings_.load(id) || m.text.rfind(strings_.load(id).substr(0, 12), 0) == 0) out.back() = id;
        }
        host_.messages.clear();
        return out;
    }

    const ResourceModule& strings_ = ResourceModule::builtIn();
    dialogtest::TempDatabase db_;
    dialogtest::ScriptedHost host_;
    FixedClock clock_{makeTime(2030, 2, 1, 9, 0)};
    ServiceAccess access_;
    std::unique_ptr<MainDlgLogic> main_;
    std::unique_ptr<FetchPouchCommand> fetch_;
    std::unique_ptr<UpdateAllPouchCommand> updateAll_;
    std::vector<int> ids_;
};

TEST_F(PouchFlowTest, FetchReplacesThePouchAlarmsOrSaysWhyNot) {
    const TimeValue byHand = toTimeValue(makeTime(2030, 3, 5, 9, 0));
    const std::vector<std::pair<int, TimeValue>> sample = {
        {0, byHand}, {1, toTimeValue(makeTime(2030, 3, 1, 8, 0))}, {1, toTimeValue(makeTime(2030, 3, 1, 20, 0))}};
    struct Row { std::string text; std::deque<bool> answers; std::size_t questions; std::vector<int> messages; };
    const Row rows[] = {
        {kSample, {}, 0, {ids::kPouchDataCaption}},
        {kSample, {}, 0, {ids::kPouchDataCaption, ids::kPouchNoChanges}},
        {pouch("2030-01-31", "2030-02-02"), {false}, 1, {}},  // the period began yesterday: No
        {pouch("2010-03-01", "2030-03-02"), {true}, 1, {ids::kPouchDataCaption, ids::kPouchDataInvalid}},
    };
    int finished = 0;
    fetch_->setFinished([&finished] { ++finished; });
    for (const Row& row : rows) {
        logic_.setPouchData("ssn-Aino", row.text);
        host_.answers = row.answers;
        host_.questions.clear();
        fetch_->start();
        EXPECT_EQ(finished, &row - rows) << "finished before the reply";
        ASSERT_TRUE(owner_.runNext(std::chrono::seconds(20))) << row.text;
        EXPECT_EQ(finished, &row - rows + 1);
        EXPECT_EQ(host_.questions.size(), row.questions) << row.text;
        if (row.text == kSample && row.messages.size() == 1) {
            EXPECT_NE(host_.messages[0].text.find(strings_.load(ids::kPouchDoseCount) + "2"), Text::npos);
        }
        EXPECT_EQ(shown(), row.messages) << row.text;
        EXPECT_EQ(alarms(0), sample) << row.text;
    }
    EXPECT_TRUE(main_->user().is_programming_needed);
}

// A reply waits while a dialog is open. New pouch alarms offer to program
// the attached reminder only when it is the user's own.
TEST_F(PouchFlowTest, AReplyWaitsForOpenDialogsAndProgrammingIsOfferedOnlyForTheOwnReminder) {
    db_.store().saveDevice({11, DeviceRecord::kOwn, 0, 0, 0}, ids_[0]);
    db_.store().saveDevice({22, DeviceRecord::kOwn, 0, 0, 0}, ids_[1]);
    struct Row { std::uint32_t sn; std::string text; std::size_t questions; };
    for (const Row& row : {Row{22, kSample, 0}, Row{11, pouch("2030-03-01", "2030-03-02"), 1}}) {
        main_->setReminderConnected(true, row.sn);
        logic_.setPouchData("ssn-Aino", row.text);
        const auto before = alarms(0);
        host_.questions.clear();
        host_.answers = {false};
        fetch_->start();
        host_.depth = 1;
        ASSERT_TRUE(owner_.runNext(std::chrono::seconds(20))) << row.sn;
        EXPECT_TRUE(shown().empty()) << row.sn;
        EXPECT_EQ(alarms(0), before) << row.sn;
        host_.depth = 0;
        fetch_->modalsClosed();
        EXPECT_EQ(shown(), std::vector<int>{ids::kPouchDataCaption}) << row.sn;
        EXPECT_NE(alarms(0), before) << row.sn;
        EXPECT_EQ(host_.questions.size(), row.questions) << row.sn;
    }
}

TEST_F(PouchFlowTest, EachReplyCodeHasItsMessageAndNothingIsWrittenForAnotherUser) {
    logic_.setPouchData("ssn-Aino", "");
    logic_.setPouchData("ssn-Bertta", kSample);
    struct Row { int user; std::string password, url; bool changeUser; std::vector<int> messages; };
    const Row rows[] = {
        {0, "secret", "", false, {ids::kPouchDataNotFound}},  // 0
        {2, "secret", "", false, {ids::kPersonNotFound}},     // -6
        {1, "wrong", "", false, {ids::kWrongCredentials}},    // -2
        {1, "secret", "https://127.0.0.1:1", false, {ids::kOperationFailed}},  // -10
        {1, "secret", "", true, {ids::kPouchReplyUserChanged}},
    };
    for (const Row& row : rows) {
        choose(row.user);
        main_->user().account_password = row.password;
        useService(row.url.empty() ? service_->url() : row.url);
        fetch_->start();
        if (row.changeUser) choose(3);
        ASSERT_TRUE(owner_.runNext(std::chrono::seconds(20))) << row.password << row.url;
        if (!row.url.empty()) {
            EXPECT_NE(host_.messages.at(0).text.find("\n\n"), Text::npos) << "the error text under it";
        }
        EXPECT_EQ(shown(), row.messages) << row.user;
    }
    for (int i : {1, 3}) EXPECT_TRUE(alarms(i).empty()) << i;
    main_->user().logged_in = false;
    fetch_->start();
    EXPECT_EQ(shown().front(), ids::kSignInFirst);
    EXPECT_FALSE(owner_.runNext(std::chrono::milliseconds(300))) << "nothing sent without signing in";
}

TEST_F(PouchFlowTest, NameLookupFillsTheNameUnlessTheReplyHasNone) {
    struct Row { std::string text; bool retype; Text name; std::vector<int> messages; };
    const Row rows[] = {{"[BASIC_INFORMATION]NAME=Anna Aalto", false, "Anna Aalto", {}},
                        {"[BASIC_INFORMATION]NAME=;ORDERNUM=1", false, "typed", {}},
                        {"[BASIC_INFORMATION]NAME=Anna Aalto", true, "typed", {ids::kIdentityCodeChangedMeanwhile}}};
    for (const Row& row : rows) {
        logic_.setPouchData("010101-123N", row.text);
        ProfileDlgLogic dlg(main_->user(), db_.store(), strings_, host_, clock_, {}, access_);
        std::tie(dlg.name, dlg.ssn) = std::tuple("typed", "010101-123N");
        dlg.lookupName();
        EXPECT_TRUE(dlg.lookupPending());
        if (row.retype) dlg.ssn = "020202-456M";
        ASSERT_TRUE(owner_.runNext(std::chrono::seconds(20)));
        EXPECT_EQ(dlg.name, row.name) << row.text;
        EXPECT_EQ(shown(), row.messages) << row.text;
    }
}

TEST_F(PouchFlowTest, UpdateOfEveryUserListsWhoWasNotUpdatedAndACancelLeavesTheRest) {
    const char* texts[] = {kSample, "[BASIC_INFORMATION]STARTDATE=2030-03-01;ENDDATE=2030-03-14[POUCH1]DOSEDATE=2030-03-02;DOSETIME=7:00",
                           kSample, nullptr, "[BASIC_INFORMATION]STARTDATE=2030-03-01;ENDDATE=2030-03-14[POUCH1]DOSEDATE=2030-03-02;DOSETIME=24:00"};
    const char* names[] = {"Aino", "Bertta", "Cecilia", "Dora", "Eino"};
    for (int i = 0; i < 5; ++i)
        if (texts[i]) logic_.setPouchData(std::string("ssn-") + names[i], texts[i]);
    struct Row { int cancelAfter; std::vector<bool> updated; int status; std::size_t lines; };
    for (const Row& row : {Row{2, {true, true, false, false, false}, ids::kUpdateInterrupted, 3},
                           Row{-1, {true, true, true, false, false}, ids::kUsersNotUpdated, 7}}) {
        for (int i = 0; i < 5; ++i) db_.store().deleteAlarmsOfOwner(ids_[i]);
        main_->user().alarms.clear();
        host_.onDialog = [&](DialogModel& d) {
            auto& dlg = dynamic_cast<PouchBulkDlgLogic&>(d);
            dlg.start();
            for (int n = 0; !dlg.finished() && n != row.cancelAfter; ++n) EXPECT_TRUE(owner_.runNext(std::chrono::seconds(20)));
            if (!dlg.finished()) {
                EXPECT_EQ(dlg.cancel(), 0);
                owner_.runNext(std::chrono::milliseconds(500));  // a reply on its way changes nothing
            }
            EXPECT_EQ(dlg.statusText(), strings_.load(row.status));
            const std::vector<Text> lines = dlg.resultLines();
            EXPECT_EQ(lines.size(), row.lines);
            if (row.cancelAfter < 0) {
                EXPECT_EQ(lines[0], "Dora (ssn-Dora): " + strings_.load(ids::kPersonNotFound));
                EXPECT_EQ(lines[1], "Eino (ssn-Eino): " + strings_.load(ids::kPouchDataInvalid));
            }
            return dlg.cancel();
        };
        updateAll_->start();
        ASSERT_EQ(host_.dialogs.back(), PouchBulkDlgLogic::kTemplateId);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(!alarms(i).empty(), row.updated[i]) << names[i];
            EXPECT_EQ(db_.storedProfile(ids_[i]).is_programming_needed, row.updated[i]) << names[i];
        }
        EXPECT_EQ(main_->user().alarms.size(), 2u) << "the current user follows the database";
    }
}

}  // namespace
}  // namespace velmora
