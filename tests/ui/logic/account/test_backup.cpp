// The backup command and dialog, scripted with the main window's logic
// against the substitute service on 127.0.0.1 over TLS, on real databases.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "ui/logic/dialog_test_support.h"
#include "online/online_test_support.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "store/database.h"
#include "store/database_file.h"
#include "core/text.h"
#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/logic/account/backup_dlg_logic.h"
#include "ui/logic/account/account_flow.h"
#include "ui/logic/account/backup_flow.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using dialogtest::readBytes;
using velmora::testing::rawScalar;

constexpr char kDate[] = "06.12.2026 23:10";

class BackupTest : public testing::OnlineTest {
protected:
    void SetUp() override {
        OnlineTest::SetUp();
        logic_.addAccount("anna", "salasana");
        logic_.setDateSource([] { return std::string(kDate); });
        access_.settings = settingsFor(service_->url(), 2500);
        access_.post = owner_.poster();
        main_ = std::make_unique<MainDlgLogic>(db_.store(), db_.dir(), strings_, host_, clock_);
        main_->initialise();
        account_ = std::make_unique<AccountCommand>(AccountContext{main_->user(), db_.store(), strings_, host_, access_});
        access_.signIn = [this] { return account_->runDialog() == kIdOk; };
        backup_ = std::make_unique<BackupCommand>(
            BackupContext{main_->user(), db_.store(), strings_, host_, clock_, access_, *main_});
        CurrentUser& u = main_->user();
        u.account_name = "anna";
        u.account_password = "salasana";
        u.logged_in = true;
        // The backup dialog: the date's reply, then `act`, then every reply it waits for.
        host_.onDialog = [this](DialogModel& d) {
            auto& dlg = dynamic_cast<BackupDlgLogic&>(d);
            dlg.initialise();
            settle(dlg);
            if (act) {
                act(dlg);
                settle(dlg);
            }
            latest = dlg.latestBackup();
            restoreEnabled = dlg.restoreEnabled();
            return kIdOk;
        };
    }
    void settle(const BackupDlgLogic& dlg) {
        while (dlg.waiting()) ASSERT_TRUE(owner_.runNext(std::chrono::seconds(20)));
    }
    // The messages shown since the last check are those of `ids`.
    void expectShown(const std::vector<int>& ids) {
        std::vector<Text> want;
        for (int id : ids) want.push_back(strings_.load(id));
        EXPECT_EQ(host_.takeMessageTexts(), want);
    }
    Text restoreFailure(int why) { return strings_.load(ids::kRestoreFailed) + "\n\n" + strings_.load(why); }
    fs::path database() { return db_.store().databasePath(); }

    dialogtest::TempDatabase db_;
    const ResourceModule& strings_ = ResourceModule::builtIn();
    dialogtest::ScriptedHost host_;
    FixedClock clock_{makeTime(2026, 12, 6, 23, 10, 5)};
    ServiceAccess access_;
    std::unique_ptr<MainDlgLogic> main_;
    std::unique_ptr<AccountCommand> account_;
    std::unique_ptr<BackupCommand> backup_;
    std::function<void(BackupDlgLogic&)> act;
    Text latest;
    bool restoreEnabled = false;
};

// The limit counts the file as it is sent: the six tables without the
// local indexes, compacted. A file over the limit only through its
// indexes is sent; a snapshot at the limit and a damaged file are not, and
// the backup on the service stays then.
TEST_F(BackupTest, OnlyASoundSnapshotUnderTheLimitIsSent) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> prepare;
        int message;
        bool sent;
    };
    const auto run = [](const fs::path& db, const std::string& sql) { Database(db.string()).execute(sql); };
    const Case cases[] = {
        {"over the limit through its indexes only",
         [&](const fs::path& db) {
             run(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000) "
                     "INSERT INTO Log SELECT i, 4, i + 60, i % 500 FROM n;");
             std::string bytes;
             ASSERT_EQ(snapshotDatabase(db, bytes), SnapshotResult::Ok);
             run(db, "INSERT INTO Reports VALUES(1, zeroblob(" +
                         std::to_string(kBackupSizeLimit - bytes.size() - 100000) + "));");
             ASSERT_GE(fs::file_size(db), kBackupSizeLimit);
         },
         ids::kBackedUp, true},
        {"a snapshot at the limit",
         [&](const fs::path& db) { run(db, "REPLACE INTO Reports VALUES(1, zeroblob(10000000));"); },
         ids::kBackupTooLarge, false},
        // Page 3 (Profiles), which only the integrity check reads.
        {"a damaged page",
         [&](const fs::path& db) {
             run(db, "DELETE FROM Reports; VACUUM;");
             std::fstream(db, std::ios::in | std::ios::out).seekp(8192) << std::string(64, 'x');
         },
         ids::kBackupDatabaseUnreadable, false},
    };
    act = [](BackupDlgLogic& d) { d.backup(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        logic_.setBackup("anna", {"earlier", "01.12.2026 10:00"});
        c.prepare(database());
        backup_->start();
        expectShown({c.message});
        const std::string stored = logic_.backupOf("anna")->bytes;
        EXPECT_EQ(stored != "earlier", c.sent);
        // The label follows the backup just made.
        EXPECT_EQ(latest, c.sent ? kDate : "01.12.2026 10:00");
        if (!c.sent) continue;
        db_.writeFile("sent.db", stored);
        // The six tables and no index of ours.
        EXPECT_EQ(rawScalar(db_.dir() / "sent.db", "SELECT group_concat(type || ' ' || name) FROM (SELECT * FROM "
                                                  "sqlite_master WHERE sql NOT NULL ORDER BY name);"),
                  "table Alarms,table Devices,table Log,table Profiles,table Reports,table Settings");
    }
}

std::string fileMadeBy(const fs::path& file, const std::string& sql, std::string bytes = {}) {
    if (!bytes.empty()) std::ofstream(file, std::ios::binary) << bytes;
    Database(file.string()).execute(sql);
    return readBytes(file);
}

TEST_F(BackupTest, RestorePutsOnlyAUsableDatabaseInPlaceAndTheWindowShowsIt) {
    // A sound backup: this database with the users Bertta and Cecilia, who then go.
    const int cecilia = db_.addUser("Cecilia", "020202-0202"), bertta = db_.addUser("Bertta", "030303-0303");
    std::string sound;
    ASSERT_EQ(snapshotDatabase(database(), sound), SnapshotResult::Ok);
    db_.store().deleteProfile(cecilia);
    db_.store().deleteProfile(bertta);
    velmora::testing::TempDir work;
    std::string random(5000, '\0');
    std::generate(random.begin(), random.end(), std::mt19937(7));
    std::string damaged = sound;
    damaged.replace(8192, 64, std::string(64, '\x7f'));
    struct Case {
        const char* what;
        std::string reply;
        int why;  // 0: restored
    };
    const int notDatabase = ids::kRestoreReplyNotDatabase;
    const Case cases[] = {
        {"999 bytes", sound.substr(0, 999), notDatabase},
        {"5000 random bytes", random, notDatabase},
        {"SQLite without our tables but Settings",
         fileMadeBy(work.path() / "other.db",
                    "CREATE TABLE Settings(id, db_version); INSERT INTO Settings VALUES(1, 4);"),
         notDatabase},
        {"a newer schema",
         fileMadeBy(work.path() / "newer.db", "UPDATE Settings SET db_version = 5;", sound), notDatabase},
        {"a damaged page", damaged, notDatabase},
        // Without the dated copy of the database in use nothing is replaced:
        // a dangling link holds the copy's name, so neither a link nor a copy can be made.
        {"no dated copy", sound, ids::kRestoreNotWritten},
        {"a sound backup", sound, 0},
    };
    const fs::path copyName = db_.dir() / "velmora.db.bak-20261206-231005";
    // Copies kept by five earlier restores: the oldest goes.
    for (char day = '1'; day <= '5'; ++day)
        db_.writeFile(std::string("velmora.db.bak-2026110") + day + "-120000", "old");
    act = [](BackupDlgLogic& d) { d.restore(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = readBytes(database());
        logic_.setBackup("anna", {c.reply, kDate});
        host_.answers = {true};
        const bool nameTaken = c.why == ids::kRestoreNotWritten;
        if (nameTaken) fs::create_symlink(db_.dir() / "nowhere", copyName);
        backup_->start();
        if (nameTaken) fs::remove(copyName);
        EXPECT_EQ(host_.takeMessageTexts(), std::vector<Text>{c.why ? restoreFailure(c.why) : strings_.load(ids::kBackupRestored)});
        if (c.why) {
            EXPECT_EQ(readBytes(database()), before);
        }
    }
    std::vector<Text> names;
    for (const Profile& p : main_->user().users) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<Text>{"Bertta", "Cecilia"}));
    // The backup came without indexes; opening the restored file made them.
    EXPECT_EQ(rawScalar(database(), "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql NOT NULL;"), "3");
    // The database before the restore is kept; nothing else is left beside it.
    const std::vector<fs::path> copies = datedCopies(database());
    ASSERT_EQ(copies.size(), kKeptDatabaseCopies);
    EXPECT_EQ(copies.front().filename(), "velmora.db.bak-20261102-120000");
    EXPECT_EQ(copies.back().filename(), "velmora.db.bak-20261206-231005");
    EXPECT_TRUE(isUsableDatabase(copies.back()));
    EXPECT_EQ(std::distance(fs::directory_iterator(db_.dir()), fs::directory_iterator()), 6);
    // No connection keeps the replaced file open.
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd"))
        EXPECT_EQ(fs::read_symlink(fd, ec).string().find("velmora.db (deleted)"), std::string::npos);
    // The restored database holds the account in use.
    SettingsRow row;
    ASSERT_TRUE(db_.store().readSettings(row));
    EXPECT_EQ(std::tuple(row.username, row.logged_in), std::tuple("anna", true));
}

// A date request that fails leaves no restore to start and says why;
// without a connection the label says so (not "-", which reads as "no
// backup yet"). The restore tests start from a date answered.
TEST_F(BackupTest, DateReplySetsTheLabelOrTellsWhy) {
    struct Case {
        const char* what;
        std::optional<std::string> reply;  // none: the service's own answer
        Text label;
        bool restoreEnabled;
        std::vector<int> messages;
    };
    logic_.setBackup("anna", {"x", kDate});
    const Case cases[] = {
        {"wrong credentials", "-2", "-", false, {ids::kWrongCredentials}},
        {"service failure", "-9|x", "-", false, {ids::kOperationFailed}},
        {"no connection", std::nullopt, strings_.load(ids::kServiceNotReached), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (std::string(c.what) == "no connection") service_->stop();
        service_->setScript([&](const service::ReceivedRequest&) -> std::optional<service::ScriptedReply> {
            if (!c.reply) return std::nullopt;
            return service::ScriptedReply{200, *c.reply};
        });
        backup_->start();
        EXPECT_EQ(latest, c.label);
        EXPECT_EQ(restoreEnabled, c.restoreEnabled);
        expectShown(c.messages);
    }
}

// A restore asks first, No being the default, naming the backup's date;
// every failure says why, in the language in use.
TEST_F(BackupTest, RestoreAsksFirstAndFailuresSayWhy) {
    using service::ScriptedReply;
    struct Case {
        const char* what;
        bool stored;                         // the service names a backup (asked only then)
        std::optional<ScriptedReply> reply;  // the restore's reply instead of the service's own
        int why;                             // 0: nothing shown (declined)
    };
    const Case cases[] = {
        {"declined", true, std::nullopt, 0},
        {"nothing stored", false, std::nullopt, ids::kNoBackupOnService},
        {"service says nothing stored", true, ScriptedReply{.body = "-7|no backup"}, ids::kNoBackupOnService},
        {"wrong credentials", true, ScriptedReply{.body = "-2"}, ids::kWrongCredentials},
        {"silent service", true, ScriptedReply{.silence = std::chrono::seconds(10)}, ids::kServiceTimedOut},
        {"service gone", true, std::nullopt, ids::kServiceUnreachable},  // the last: the service stops
    };
    logic_.setBackup("anna", {"stored, not a database", kDate});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service_->setScript([&](const service::ReceivedRequest& r) -> std::optional<ScriptedReply> {
            if (r.body.find("a=get_date") == 0 && !c.stored) return ScriptedReply{.body = "1|-"};
            return r.body.find("a=restore") == 0 ? c.reply : std::nullopt;
        });
        act = [&](BackupDlgLogic& d) {
            if (c.why == ids::kServiceUnreachable) service_->stop();
            d.restore();
        };
        const std::string before = readBytes(database());
        host_.questions.clear();
        host_.answers = {c.why != 0};
        backup_->start();
        ASSERT_EQ(host_.questions.size(), c.stored ? 1u : 0u);
        if (c.stored) {
            EXPECT_EQ(host_.questions[0].text, fillPlaceholder(strings_.load(ids::kConfirmRestore), kDate));
            EXPECT_TRUE(host_.questions[0].defaultNo);
        }
        EXPECT_EQ(host_.takeMessageTexts(), c.why ? std::vector{restoreFailure(c.why)} : std::vector<Text>{});
        EXPECT_EQ(readBytes(database()), before);
    }
}

// Signed out: "sign in first", then the account dialog; only a sign-in
// there opens the backup dialog, with the current user closed.
TEST_F(BackupTest, SignedOutTheAccountDialogComesFirst) {
    const int id = db_.addUser("Aino", "010101-0101");
    const auto backupDialog = host_.onDialog;
    for (const int accountResult : {kIdCancel, kIdOk}) {
        SCOPED_TRACE(accountResult);
        main_->store().reloadUsers(main_->user());
        ASSERT_TRUE(main_->store().selectUser(main_->user(), id, clock_.nowValue(), {}));
        main_->user().logged_in = false;
        host_.dialogs.clear();
        host_.onDialog = [&](DialogModel& d) {
            return d.templateId() == AccountDlgLogic::kTemplateId ? accountResult : backupDialog(d);
        };
        backup_->start();
        expectShown({ids::kSignInFirst});
        std::vector<int> opened{AccountDlgLogic::kTemplateId};
        if (accountResult == kIdOk) opened.push_back(BackupDlgLogic::kTemplateId);
        EXPECT_EQ(host_.dialogs, opened);
        EXPECT_EQ(main_->userSelected(), accountResult != kIdOk);
    }
}

}  // namespace
}  // namespace velmora
