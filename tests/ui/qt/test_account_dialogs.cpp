// The account dialog's window against the substitute service on
// 127.0.0.1: typing reaches the logic and the reply comes back through
// the event loop while the dialog runs.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "online/online_test_peers.h"
#include "resources/resource_module.h"
#include "ui/logic/dialog_test_support.h"
#include "ui/qt/account_dialogs.h"
#include "ui/qt/qt_host.h"

namespace velmora {
namespace {

TEST(AccountDlgWidget, SignInReplyReachesTheOpenDialog) {
    testing::TestPki pki;
    service::ServiceLogic logic;
    logic.addAccount("anna", "secret");
    service::SubstituteService service(logic);
    ASSERT_TRUE(service.start(pki.server("good", {}))) << service.error();
    dialogtest::TempDatabase db;
    dialogtest::ScriptedHost host;
    ServiceAccess access;
    access.settings.url = service.url();
    access.settings.extraCaFile = pki.caFile.string();
    access.post = postToEventLoop(QCoreApplication::instance());
    AccountDlgLogic model({db.user, db.store(), ResourceModule::builtIn(), host, access});
    AccountDlg dlg(model);
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClicks(dlg.findChild<QLineEdit*>("userName"), "anna");
        QTest::keyClicks(dlg.findChild<QLineEdit*>("password"), "secret");
        QTest::mouseClick(dlg.findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    QTimer::singleShot(20000, &dlg, [&] { dlg.done(0); });
    EXPECT_EQ(dlg.exec(), kIdOk);
    EXPECT_TRUE(db.user.logged_in);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace velmora
