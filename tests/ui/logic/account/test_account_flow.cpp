// The web account's flows and dialogs, scripted through their logic,
// against the substitute service on 127.0.0.1 over TLS.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "core/clock.h"

#include "ui/logic/dialog_test_support.h"
#include "online/online_test_support.h"
#include "resources/resource_module.h"
#include "store/credentials.h"
#include "store/legacy_import.h"
#include "store/startup.h"
#include "ui/logic/account/account_flow.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using dialogtest::ScriptedHost;
using dialogtest::TempDatabase;

// The built-in texts with another language code (string 40153).
struct LanguageStrings : StringSource {
    Text code = "fi";
    Text load(int id) const override {
        return id == ids::kLanguageCode ? code : ResourceModule::builtIn().load(id);
    }
};

class AccountFlowTest : public testing::OnlineTest {
protected:
    void SetUp() override {
        OnlineTest::SetUp();
        logic_.addAccount("anna", "secret");
        url_ = service_->url();
    }

    // A new database holding the account anna/secret, signed in or out as
    // the program was left, opened as at start-up: what the account
    // commands work on.
    AccountContext open(bool loggedIn, int idleMs = 5000) {
        db_ = std::make_unique<TempDatabase>();
        CurrentUser account;
        account.account_name = "anna";
        saveAccount(db_->store(), account, "secret");
        if (!loggedIn) setLoggedIn(db_->store(), account, false);
        db_->user = CurrentUser{};
        openDatabaseAtStartup(db_->store(), db_->dir(), db_->user, clock_.localNow());
        service_access_.settings = settingsFor(url_, idleMs);
        service_access_.post = owner_.poster();
        host_ = ScriptedHost{};
        return {db_->user, db_->store(), strings_, host_, service_access_};
    }
    // The sign-in at start-up; its exit code.
    int signIn(const AccountContext& c) {
        int code = 0;
        signInAtStartup(c, db_->dir(), code);
        return code;
    }

    // OK, then the reply when a request went out: the dialog's result, or
    // 0 when it stays open (and then its OK must work again).
    template <class Dlg>
    int okAndReply(Dlg& dlg) {
        dlg.ok();
        if (dlg.busy()) {
            EXPECT_FALSE(dlg.enabled(kIdOk)) << "a second request could start";
            EXPECT_TRUE(owner_.runNext(20s)) << "no reply notice";
        }
        EXPECT_FALSE(dlg.busy());
        const int result = dlg.takePendingEnd();
        EXPECT_TRUE(result != 0 || dlg.enabled(kIdOk)) << "the dialog did not come back";
        return result;
    }
    // Plays the next dialog of type Dlg: `act` returns its result (0 = press cancel).
    template <class Dlg>
    void onDialog(std::function<int(Dlg&)> act) {
        host_.onDialog = [act](DialogModel& d) {
            const int result = act(dynamic_cast<Dlg&>(d));
            return result != 0 ? result : kIdCancel;
        };
    }

    SettingsRow stored() {
        SettingsRow row;
        db_->store().readSettings(row);
        return row;
    }
    // The ids of the messages shown, found by their texts' beginnings.
    std::vector<int> shown() {
        std::vector<int> out;
        for (const dialogtest::Message& m : host_.messages)
            for (int id : {ids::kWrongCredentials, ids::kOperationFailed, ids::kPasswordChanged,
                           ids::kNewPasswordsDiffer, ids::kWrongPassword, ids::kPasswordPromptRemoved})
                if (m.text.rfind(strings_.load(id), 0) == 0) out.push_back(id);
        return out;
    }

    std::string url_;
    LanguageStrings strings_;
    FixedClock clock_{makeTime(2026, 3, 2, 9, 0)};
    std::unique_ptr<TempDatabase> db_;
    ScriptedHost host_;
    ServiceAccess service_access_;
};

TEST_F(AccountFlowTest, StartUpSignInWithTheServiceOrTheStoredAccount) {
    struct Case {
        const char* name;
        bool serviceUp;
        const char* password;
        int exitCode;
        std::vector<int> messages;
    } cases[] = {
        {"service accepts", true, "secret", 0, {}},
        {"service refuses", true, "wrong", 1, {ids::kWrongCredentials}},
        {"offline, stored account", false, "secret", 0, {}},
        {"offline, wrong password", false, "wrong", 1, {ids::kWrongCredentials}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.serviceUp) service_.reset();
        const AccountContext account = open(true);
        onDialog<LoginDlgLogic>([&](LoginDlgLogic& dlg) {
            EXPECT_EQ(dlg.userName(), "anna") << "the stored account is filled in";
            dlg.setPassword(c.password);
            return okAndReply(dlg);
        });
        EXPECT_EQ(signIn(account), c.exitCode);
        EXPECT_EQ(shown(), c.messages);
        if (c.exitCode == 0) {
            EXPECT_EQ(account.user.account_password, c.password);
            EXPECT_EQ(stored().password, accountDigest(c.password));
        }
    }
}

TEST_F(AccountFlowTest, AccountDialogSignsInAndRecoversFromEveryFailure) {
    struct Case {
        const char* name;
        const char* password;
        bool silentService;
        int result;
        std::vector<int> messages;
    } cases[] = {
        {"right password", "secret", false, kIdOk, {}},
        {"wrong password", "wrong", false, kIdCancel, {ids::kWrongCredentials}},
        {"no answer within the idle limit", "secret", true, kIdCancel, {ids::kOperationFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Only the silent service meets the short idle limit: a reply that
        // comes is waited for (its notice), however slow the machine.
        const AccountContext account = open(false, c.silentService ? 300 : 20000);
        service_->setScript([&](const service::ReceivedRequest&) -> std::optional<service::ScriptedReply> {
            if (!c.silentService) return std::nullopt;
            return service::ScriptedReply{.silence = 30s};
        });
        onDialog<AccountDlgLogic>([&](AccountDlgLogic& dlg) {
            dlg.setUserName("anna");
            dlg.setPassword(c.password);
            const int result = okAndReply(dlg);
            EXPECT_TRUE(result != 0 || (dlg.enabled(AccountDlgLogic::kIdUserName) && dlg.enabled(kIdCancel)));
            return result;
        });
        EXPECT_EQ(AccountCommand(account).runDialog(), c.result);
        EXPECT_EQ(shown(), c.messages);
        EXPECT_EQ(account.user.logged_in, c.result == kIdOk);
        EXPECT_EQ(stored().logged_in, c.result == kIdOk) << "the stored state follows the sign-in";
        EXPECT_TRUE(!c.silentService || host_.messages.at(0).text.find("\n\n") != Text::npos) << "no reason given";
    }
}

TEST_F(AccountFlowTest, SignOutSendsNothingAndTheDialogThenShowsTheSignedOutState) {
    AccountCommand command(open(true));
    std::vector<Text> states;  // the state label each time the dialog opened
    onDialog<AccountDlgLogic>([&](AccountDlgLogic& dlg) {
        states.push_back(dlg.controlText(AccountDlgLogic::kIdState));
        EXPECT_EQ(dlg.enabled(AccountDlgLogic::kIdUserName), !dlg.signedIn());
        if (dlg.signedIn()) dlg.ok();
        return 0;
    });
    command.start();
    EXPECT_TRUE(service_->received().empty());
    EXPECT_EQ(stored().password, logoutDigest());
    command.start();
    EXPECT_EQ(states, (std::vector<Text>{strings_.load(ids::kSignedIn), strings_.load(ids::kNotSignedIn)}));
}

TEST_F(AccountFlowTest, PasswordChangeStoresTheNewPasswordOnlyWhenTheServiceTookIt) {
    struct Case {
        const char* name;
        const char* current;
        const char* again;
        int message;
        const char* inUseAfter;
    } cases[] = {
        {"repetition differs", "secret", "uusi2", ids::kNewPasswordsDiffer, "secret"},
        {"wrong current password", "wrong", "uusi", ids::kWrongCredentials, "secret"},
        {"changed", "secret", "uusi", ids::kPasswordChanged, "uusi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AccountContext account = open(true);
        account.user.account_name = "anna";
        account.user.account_password = "secret";
        onDialog<ChangePasswordDlgLogic>([&](ChangePasswordDlgLogic& dlg) {
            dlg.setCurrent(c.current);
            dlg.setNew("uusi");
            dlg.setAgain(c.again);
            return okAndReply(dlg);
        });
        ChangePasswordCommand(account).start();
        EXPECT_EQ(shown(), std::vector<int>{c.message});
        EXPECT_EQ(account.user.account_password, c.inUseAfter);
        EXPECT_EQ(stored().password, accountDigest(c.inUseAfter));
        EXPECT_EQ(logic_.passwordOf("anna"), c.inUseAfter);
    }
}

TEST_F(AccountFlowTest, LegacyPasswordPromptIsAskedOnceAndThenRemoved) {
    struct Case {
        const char* name;
        const char* legacyPassword;
        const char* typed;
        int exitCode;
        bool fileKept;
        std::vector<int> messages;
    } cases[] = {
        {"right password", "vanha", "vanha", 0, false, {ids::kPasswordPromptRemoved}},
        {"wrong password, then cancel", "vanha", "väärä", 2, true, {ids::kWrongPassword}},
        {"empty legacy password", "", "", 0, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AccountContext account = open(true);
        db_->writeFile(kLegacySettingsFile, makeContainer(std::string("[GENERAL]1|") + c.legacyPassword + "|x"));
        onDialog<LoginPwDlgLogic>([&](LoginPwDlgLogic& dlg) {
            dlg.setPassword(c.typed);
            dlg.ok();
            return dlg.takePendingEnd();
        });
        EXPECT_EQ(signIn(account), c.exitCode);
        EXPECT_EQ(settingsFileExists(db_->dir()), c.fileKept);
        EXPECT_EQ(shown(), c.messages);
        // The sign-in dialog is never asked for when the legacy file was there.
        EXPECT_EQ(host_.dialogs.size(), *c.legacyPassword ? 1u : 0u);
        if (!c.fileKept) {
            EXPECT_EQ(stored().password, logoutDigest());
            EXPECT_TRUE(account.user.account_password.empty());
        }
    }
}

// Links carry the language in use and open over https.
TEST_F(AccountFlowTest, WebLinksFollowTheLanguage) {
    url_ = "http://service.example:8443";
    strings_.code = "sv";
    const AccountContext context = open(false);
    for (WebLink link : {WebLink::UpdateCheck, WebLink::Registration})
        WebPageCommand(host_, strings_, context.service, link).start();
    AccountDlgLogic(context).openLink(AccountDlgLogic::kIdRegisterLink);
    AccountDlgLogic(context).openLink(AccountDlgLogic::kIdForgotLink);
    LoginDlgLogic(context).openLink(LoginDlgLogic::kIdForgotLink);
    const std::string site = "https://service.example:8443/velmora/";
    EXPECT_EQ(host_.urls, (std::vector<Text>{
        site + "redirect.php?lid=1&ma=1&mi=7&t=2&l=sv",
        site + "redirect.php?lid=2&t=2&l=sv",
        site + "redirect?lid=4&t=2&l=sv",
        site + "forgot.php?t=2&l=sv",
        site + "forgot.php?l=sv&t=2",
    }));
}

}  // namespace
}  // namespace velmora
