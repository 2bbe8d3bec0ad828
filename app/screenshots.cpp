// Screenshots of the main window and its dialogs, for people to look at:
// velmora-screenshots <output directory> <data directory> [language module]
// Prepares a database with a few users in the data directory (one chosen,
// with alarms, a reminder and a history), opens the main window as the
// program does and writes PNG files. Runs on any Qt platform; offscreen
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
#include "startup.h"
#include "ui/qt/app_style.h"
#include "resources/string_ids.h"
#include "store/startup.h"
#include <QLineEdit>
#include <QPushButton>
#include "ui/logic/about_dlg_logic.h"
#include "ui/logic/alarm_dlg_logic.h"
#include "ui/logic/device_dialogs_logic.h"
#include "ui/logic/log_dlg_logic.h"
#include "ui/logic/profile_dlg_logic.h"
#include "ui/logic/report_dlg_logic.h"
#include "ui/logic/select_action_dlg_logic.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/alarm_dlg.h"
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

Alarm daily(const SYSTEMTIME& day, int hour, int minute, const char* description) {
    Alarm a;
    a.alarm_start = makeTime(day.wYear, day.wMonth, day.wDay, hour, minute);
    a.alarm_end = a.alarm_start;
    a.repeat_forever = true;
    a.repeat_pattern = 1;
    a.title = "Hälytys";
    a.description = description;
    return a;
}

// Users, alarms, a programmed reminder and a history; the id of the user
// to show.
constexpr char kLongName[] = "Anna-Maria Katariina Väisänen-Hämäläinen af Ruotsinkylä-Kesä";

int prepare(RecordStore& store, const std::filesystem::path& dir) {
    CurrentUser scratch;
    const SYSTEMTIME now = SystemClock().localNow();
    openDatabaseAtStartup(store, dir, scratch, now);
    std::vector<Profile> existing;
    store.loadProfiles(existing);
    for (const Profile& p : existing) store.deleteProfile(p.id);

    const int aino = store.insertProfile(false, "Aino Virtanen", "120345-123A", "040 123 4567",
                                         "Aamulääkkeet ennen aamiaista.\nIltalääke ruoan kanssa.");
    store.insertProfile(true, "Bertta Korhonen", "030551-456B", "050 765 4321", "");
    store.insertProfile(false, "Cecilia Mäkinen", "251260-789C", "", "");
    store.insertProfile(true, "Eino Nieminen", "-", "", "");
    // 60 characters: the panel cuts it with "…".
    store.insertProfile(true, kLongName, "010203A987X", "", "");

    const SYSTEMTIME started = addDays(now, -14);
    for (Alarm a : {daily(started, 8, 0, "Aamulääkkeet"), daily(started, 14, 0, ""),
                    daily(started, 20, 0, "Iltalääke")})
        store.saveAlarm(a, aino);

    DeviceRecord rec;
    rec.sn = 100234;
    rec.device_type = DeviceRecord::kOwn;
    const SYSTEMTIME programmed = addDays(now, -3);
    rec.programming_time = toTimeValue(makeTime(programmed.wYear, programmed.wMonth, programmed.wDay, 10, 15));
    const SYSTEMTIME last = addDays(now, 40);
    rec.last_alarm = toTimeValue(makeTime(last.wYear, last.wMonth, last.wDay, 20, 0));
    rec.alarm_amount = 129;
    store.saveDevice(rec, aino);

    std::vector<LogEntry> log;
    const int statuses[] = {4, 4, 5, 4, 3, 4, 4, 5, 4, 4, 1};
    int i = 0;
    for (int day = 5; day >= 1; --day) {
        for (int hour : {8, 20}) {
            if (i >= static_cast<int>(std::size(statuses))) break;
            const SYSTEMTIME d = addDays(now, -day);
            LogEntry e;
            e.alarm_time = toTimeValue(makeTime(d.wYear, d.wMonth, d.wDay, hour, 0));
            e.log_status = statuses[i++];
            e.ack = e.log_status == 4 ? e.alarm_time + 240 : e.log_status == 5 ? e.alarm_time + 1500 : 0;
            log.push_back(e);
        }
    }
    store.saveLogEntries(log, aino);
    return aino;
}

int run(const QString& outDir, const std::filesystem::path& dataDir, const ResourceModule& resources) {
    RecordStore prepStore(dataDir / kDatabaseFileName);
    const int chosen = prepare(prepStore, dataDir);

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
        // The list filtered as one types.
        if (auto* search = dlg.findChild<QLineEdit*>("search")) search->setText("virt");
        ok = save(dlg, outDir, "profile-search") && ok;
    }
    {
        // The panel with a 60-character name at the smallest window size.
        const QSize size = w.size();
        for (const Profile& p : logic.user().users) {
            if (p.name == kLongName)
                main.store.selectUser(logic.user(), p.id, logic.clock().nowValue(), {},
                                      RecordStore::SaveCurrent::No);
        }
        logic.refresh();
        w.resize(w.minimumSize());
        ok = save(w, outDir, "main-long-name") && ok;
        main.store.selectUser(logic.user(), chosen, logic.clock().nowValue(), {},
                              RecordStore::SaveCurrent::No);
        logic.refresh();
        w.resize(size);
    }
    {
        // A new alarm from a click on tomorrow's 12:00, and tomorrow's
        // morning alarm opened for editing.
        const SYSTEMTIME tomorrow = addDays(logic.clock().localNow(), 1);
        AlarmDlgLogic::Setup setup;
        setup.start = setup.end = makeTime(tomorrow.wYear, tomorrow.wMonth, tomorrow.wDay, 12, 0);
        AlarmDlgLogic fresh(setup, logic.user().alarms, resources, main.host, logic.clock(),
                            logic.user().daylight);
        AlarmDlg added(fresh, &w);
        ok = save(added, outDir, "alarm-new") && ok;
        const Alarm& morning = logic.user().alarms.at(0);
        setup.editing = true;
        setup.start = makeTime(tomorrow.wYear, tomorrow.wMonth, tomorrow.wDay, 8, 0);
        setup.repeatPattern = morning.repeat_pattern;
        setup.repeatForever = false;
        setup.end = addDays(setup.start, 27);
        setup.description = morning.description;
        AlarmDlgLogic edited(setup, logic.user().alarms, resources, main.host, logic.clock(),
                             logic.user().daylight);
        AlarmDlg editing(edited, &w);
        ok = save(editing, outDir, "alarm-edit") && ok;
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
        ReportDlgLogic model(logic.user(), main.store, resources, main.host, logic.clock().nowValue());
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
