// Screenshots of the main window and its dialogs, for people to look at:
// velmora-screenshots <output directory> <data directory> [language module]
// Makes the demo database in the data directory (tools/demo), opens the
// main window as the program does and writes PNG files. Runs on any Qt platform; offscreen
// needs no display.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QMessageBox>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "core/datetime.h"
#include "demo/demo_database.h"
#include "startup.h"
#include "ui/qt/app_style.h"
#include "resources/string_ids.h"
#include <QPushButton>
#include "ui/logic/about_dlg_logic.h"
#include "ui/logic/device_dialogs_logic.h"
#include "ui/logic/log_dlg_logic.h"
#include "ui/logic/profile_dlg_logic.h"
#include "ui/logic/report_dlg_logic.h"
#include "ui/logic/select_action_dlg_logic.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/device_dialogs.h"
#include "ui/qt/log_dlg.h"
#include "ui/qt/profile_dlg.h"
#include "ui/qt/report_dlg.h"
#include "ui/qt/select_action_dlg.h"

namespace velmora {
namespace {

void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool save(QWidget& w, const QString& dir, const QString& name) {
    w.show();
    settle();
    const QString path = QDir(dir).filePath(name + ".png");
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    return ok;
}

int run(const QString& outDir, const std::filesystem::path& dataDir, const ResourceModule& resources) {
    demo::DemoDatabase demo;
    if (!demo::makeDemoDatabase(dataDir, SystemClock().localNow(), demo)) {
        std::fprintf(stderr, "cannot make the demo database in %s\n", dataDir.c_str());
        return 1;
    }
    const int chosen = demo.personWithReminder;

    MainWindow main(resources, dataDir);
    MainDlgLogic& logic = main.logic;
    MainDlg& w = *main.window;
    w.show();
    settle();
    bool ok = save(w, outDir, "main-no-user");

    main.store.selectUser(logic.user(), chosen, logic.clock().nowValue(), {},
                          RecordStore::SaveCurrent::No);
    logic.markMonthStale();
    logic.refresh();
    ok = save(w, outDir, "main") && ok;
    if (auto* tabs = w.findChild<QTabWidget*>("id1000")) {
        tabs->setCurrentIndex(MainDlgLogic::kTabComments);
        ok = save(w, outDir, "main-comments") && ok;
        tabs->setCurrentIndex(MainDlgLogic::kTabWeek);
    }

    {
        ProfileDlgLogic model(logic.user(), main.store, resources, main.host, logic.clock());
        ProfileDlg dlg(model, &w);
        ok = save(dlg, outDir, "profile") && ok;
    }
    {
        LogDlgLogic model(logic.user(), resources);
        LogDlg dlg(model, &w);
        ok = save(dlg, outDir, "history") && ok;
    }
    {
        SelectActionDlgLogic model(resources);
        SelectActionDlg dlg(model, &w);
        ok = save(dlg, outDir, "select-action") && ok;
    }
    {
        AboutDlgLogic model(resources);
        AboutDlg dlg(model, &w);
        ok = save(dlg, outDir, "about") && ok;
    }
    {
        QMessageBox box(QMessageBox::Question, toQ(resources.load(ids::kCaptionQuestion)),
                        toQ(resources.load(ids::kWindowDoesNotFit)),
                        QMessageBox::Yes | QMessageBox::No, &w);
        box.button(QMessageBox::Yes)->setText(toQ(resources.load(ids::kYes)));
        box.button(QMessageBox::No)->setText(toQ(resources.load(ids::kNo)));
        ok = save(box, outDir, "question") && ok;
    }
    {
        ProgramDlgLogic model(resources, logic.clock());
        ProgramDlg dlg(model, &w);
        ok = save(dlg, outDir, "program-clock") && ok;
    }
    {
        Text done = resources.load(ids::kUserReminderProgrammed);
        if (auto at = done.find("%s"); at != Text::npos) done.replace(at, 2, logic.user().name);
        ProgrammingFinishedDlgLogic model(resources, done);
        ProgrammingFinishedDlg dlg(model, &w);
        ok = save(dlg, outDir, "programming-finished") && ok;
    }
    {
        WaitProgramDlgLogic model(resources);
        WaitProgramDlg dlg(model, &w);
        ok = save(dlg, outDir, "wait-spare") && ok;
    }
    {
        logic.closeUser();
        main.store.reloadUsers(logic.user());
        ReportDlgLogic model(logic.user(), main.store, resources, main.host);
        ReportDlg dlg(model, &w);
        ok = save(dlg, outDir, "report") && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace velmora

// The offscreen platform warns about window features it lacks; those
// warnings say nothing about the pictures.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.contains("propagateSizeHints") ||
        message.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) std::abort();
}

int main(int argc, char* argv[]) {
    using namespace velmora;
    qInstallMessageHandler(quietHandler);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output directory> <data directory> [language module]\n", argv[0]);
        return 2;
    }
    std::string why;
    ResourceModule resources = ResourceModule::builtIn();
    if (argc > 3) {
        auto m = ResourceModule::fromFile(argv[3], &why);
        if (!m) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 2;
        }
        resources = *m;
    }
    QApplication app(argc, argv);
    applyAppStyle(app);
    QDir().mkpath(argv[1]);
    std::filesystem::create_directories(argv[2]);
    return run(QString::fromLocal8Bit(argv[1]), argv[2], resources);
}
