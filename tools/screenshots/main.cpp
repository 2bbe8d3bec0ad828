// Screenshots of the main window and its dialogs, for people to look at:
// velmora-screenshots <output directory> <data directory> [language module]
// Makes the demo database in the data directory (tools/demo), opens the
// main window as the program does and writes PNG files; the reminder
// flows run against the demo person's reminder as an emulated USB device
// (under the umockdev preload, which the program adds itself). Runs on any Qt platform; offscreen
// needs no display.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <functional>
#include <QFont>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "core/datetime.h"
#include "reminder-sim/emulated_usb_reminder.h"
#include "reminder-sim/programmed_history.h"
#include "reminder-sim/simulated_reminder.h"
#include "startup.h"
#include "store/startup.h"
#include "velmora-service/pki.h"
#include "velmora-service/substitute_service.h"
#include "ui/qt/app_style.h"
#include "resources/string_ids.h"
#include <QPushButton>
#include "ui/logic/about_dlg_logic.h"
#include "ui/logic/account/account_dialogs_logic.h"
#include "ui/logic/calendar/alarm_dlg_logic.h"
#include "ui/logic/account/backup_dlg_logic.h"
#include "ui/logic/reminder/device_dialogs_logic.h"
#include "ui/logic/history/log_dlg_logic.h"
#include "ui/logic/users/profile_dlg_logic.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/logic/reminder/select_action_dlg_logic.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/account_dialogs.h"
#include "ui/qt/alarm_dlg.h"
#include "ui/qt/delete_dose_dlg.h"
#include "ui/qt/backup_dlg.h"
#include "ui/qt/device_dialogs.h"
#include "ui/qt/log_dlg.h"
#include "ui/qt/calendar/month_view.h"
#include "ui/qt/calendar/planner_view.h"
#include "ui/qt/profile_dlg.h"
#include "ui/qt/report_dlg.h"
#include "ui/qt/select_action_dlg.h"
#include "ui/logic/plan/dose_plan_dlg_logic.h"
#include "ui/qt/dose_plan_dlg.h"
#include "velmora-service/pki.h"
#include "velmora-service/substitute_service.h"
#include <QProgressBar>

namespace velmora {
namespace {

// 120 days of three doses a day in a mix that a person shows: mostly taken
// on time, some late, evenings at weekends forgotten more often; today's
// later doses not alarmed yet.
std::map<TimeValue, LogEntry> mixedHistory(TimeValue now) {
    std::map<TimeValue, LogEntry> h;
    const SYSTEMTIME today = fromTimeValue(now);
    std::uint32_t seed = 20260318;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int d = 119; d >= 0; --d) {
        const SYSTEMTIME day = normalizeDate(addDays(makeTime(today.wYear, today.wMonth, today.wDay), -d));
        const bool weekend = day.wDayOfWeek == 0 || day.wDayOfWeek == 6;
        for (int hour : {8, 14, 21}) {
            const TimeValue t = toTimeValue(makeTime(day.wYear, day.wMonth, day.wDay, hour, 0));
            const std::uint32_t roll = next() % 100;
            LogEntry e{t, 0, kStatusNotAlarmed};
            if (t <= now) {
                const std::uint32_t forgetting = weekend && hour == 21 ? 25 : 7;
                if (roll < forgetting) e.log_status = roll % 5 ? kStatusForgottenAlt : kStatusForgotten;
                else if (roll < forgetting + 12) e.log_status = kStatusAcknowledgedLate;
                else e.log_status = kStatusAcknowledged;
                if (e.log_status == kStatusAcknowledged) e.ack = t + static_cast<TimeValue>(60 + next() % 540);
                if (e.log_status == kStatusAcknowledgedLate) e.ack = t + static_cast<TimeValue>(900 + next() % 3600);
            }
            h[t] = e;
        }
    }
    return h;
}

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

// Runs the event loop until `holds` or 20 seconds have passed.
bool waitFor(const std::function<bool()>& holds) {
    QElapsedTimer t;
    t.start();
    while (!holds() && t.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return holds();
}

// The reminder flows as a person meets them: the main window right after
// the reminder was read, the dialogs of a programming job (with Yes to the
// spare question, then cancelling the wait), and a reminder without a
// user. Each modal window is saved as it appears.
bool reminderFlows(MainWindow& main, sim::SimulatedReminder& reminder, sim::EmulatedUsbReminder& usb,
                   const QString& outDir) {
    bool ok = true, progressSaved = false;
    const QString spareQuestion = toQ(main.logic.strings().load(ids::kOfferSpare));
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        person.stop();  // saving runs the event loop
        if (qobject_cast<ProgramDlg*>(w)) {
            ok = save(*w, outDir, "program-clock") && ok;
            static_cast<QDialog*>(w)->accept();
        } else if (qobject_cast<ProgrammingFinishedDlg*>(w)) {
            ok = save(*w, outDir, "programming-finished") && ok;
            static_cast<QDialog*>(w)->reject();
        } else if (qobject_cast<WaitProgramDlg*>(w)) {
            ok = save(*w, outDir, "wait-spare") && ok;
            static_cast<QDialog*>(w)->reject();
        } else if (qobject_cast<SelectActionDlg*>(w)) {
            ok = save(*w, outDir, "select-action") && ok;
            static_cast<QDialog*>(w)->reject();
        } else if (auto* box = qobject_cast<QMessageBox*>(w); box && box->text() == spareQuestion) {
            box->button(QMessageBox::Yes)->click();
        } else if (w->objectName() == "reminderProgress") {
            // A job at work: saved once, left to end by itself.
            if (!progressSaved) ok = save(*w, outDir, "reminder-progress") && ok;
            progressSaved = true;
        } else {
            const auto* other = qobject_cast<QMessageBox*>(w);
            std::fprintf(stderr, "unexpected window %s %s\n", w->metaObject()->className(),
                         other ? other->text().toLocal8Bit().constData() : "");
            ok = false;
            w->close();
        }
        person.start();
    });
    person.start(20);

    MainDlgLogic& logic = main.logic;
    const int owner = logic.user().id;
    usb.plug();
    ok = waitFor([&] { return logic.reminderConnected() && !logic.busy(); }) && ok;
    ok = save(*main.window, outDir, "main-after-read") && ok;

    auto* program = main.window->findChild<QPushButton*>("programButton");
    if (program) program->click();
    ok = program && waitFor([&] { return !logic.programmingInProgress(); }) && ok;

    // Another serial without an owner.
    usb.unplug();
    waitFor([&] { return !logic.reminderConnected(); });
    reminder.setSerial(999001);
    usb.plug();
    ok = waitFor([&] { return logic.reminderConnected() && !logic.busy() && !logic.deviceDialogOpen(); }) && ok;
    usb.unplug();
    waitFor([&] { return !logic.reminderConnected(); });
    main.store.selectUser(logic.user(), owner, logic.clock().nowValue(), {}, RecordStore::SaveCurrent::No);
    return ok;
}

// Pouch data from the substitute service as a person meets it: the summary
// of the chosen person's fetch, and the update of every user (dialog 188)
// while it runs and at its end. Each reply takes a moment, as over a real
// network, so that the progress shows.
bool pouchPictures(MainWindow& main, const std::filesystem::path& dataDir, const QString& outDir) {
    service::ServiceLogic pharmacy;
    pharmacy.addAccount("apteekki", "salasana");
    const char* fortnight =
        "[BASIC_INFORMATION]NAME=%s;ORDERNUM=7781;STARTDATE=2026-03-11;ENDDATE=2026-03-24"
        "[POUCH1]DOSEDATE=2026-03-11;DOSETIME=8:00[POUCH2]DOSEDATE=2026-03-11;DOSETIME=13:00"
        "[POUCH3]DOSEDATE=2026-03-11;DOSETIME=%s";
    char text[512];
    std::snprintf(text, sizeof text, fortnight, "Aino Virtanen", "20:00");
    pharmacy.setPouchData("120345-123A", text);
    std::snprintf(text, sizeof text, fortnight, "Bertta Korhonen", "19:30");
    pharmacy.setPouchData("030551-456B", text);
    std::snprintf(text, sizeof text, fortnight, "Anna-Maria Väisänen", "24:00");
    pharmacy.setPouchData("010203A987X", text);
    service::SubstituteService server(pharmacy);
    server.setScript([&pharmacy](const service::ReceivedRequest& r) -> std::optional<service::ScriptedReply> {
        service::ScriptedReply reply;
        reply.body = pharmacy.handle(r.contentType, r.body).body;
        reply.silence = std::chrono::milliseconds(600);
        return reply;
    });
    const std::filesystem::path pki = dataDir / "service-pki";
    service::SubstituteService::Options options;
    options.certFile = (pki / "server.pem").string();
    options.keyFile = (pki / "server.key").string();
    if (!service::ensureDevelopmentCertificates(pki) || !server.start(options)) return false;
    setenv("VELMORA_SERVICE_URL", server.url().c_str(), 1);
    setenv("VELMORA_SERVICE_CA", (pki / "ca.pem").c_str(), 1);
    ServiceAccess service;  // read from the environment just set
    service.post = postToEventLoop(main.window.get());
    main.useService(std::move(service));
    CurrentUser& user = main.logic.user();
    std::tie(user.logged_in, user.account_name, user.account_password) = std::tuple(true, "apteekki", "salasana");

    bool ok = true, summary = false, running = false;
    const QString summaryCaption = toQ(main.logic.strings().load(ids::kPouchDataCaption));
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        person.stop();  // saving runs the event loop
        auto* progress = w->findChild<QProgressBar*>("progress");
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->windowTitle() == summaryCaption) {
            ok = save(*w, outDir, "pouch-summary") && ok;
            summary = true;
            box->accept();
        } else if (progress && progress->isVisible() && progress->value() == 1 && !running) {
            ok = save(*w, outDir, "pouch-update-progress") && ok;
            running = true;
        } else if (progress && !progress->isVisible()) {
            ok = save(*w, outDir, "pouch-update-result") && ok;
            static_cast<QDialog*>(w)->reject();
        } else if (!progress) {
            std::fprintf(stderr, "unexpected window %s\n", w->metaObject()->className());
            ok = false;
            w->close();
        }
        person.start();
    });
    person.start(20);
    main.logic.command(cmd::kFetchPouchData);
    ok = waitFor([&] { return summary && !main.logic.busy(); }) && ok;
    main.logic.command(cmd::kUpdateAllPouchData);
    return summary && ok;
}

// The day the pictures show: a Wednesday, so that the week holds days
// gone by and days to come.
const SYSTEMTIME kNow = makeTime(2026, 3, 11, 12, 40);

Alarm repeating(const SYSTEMTIME& day, int hour, int minute, int pattern, const char* title,
                const char* description, int type = 0) {
    Alarm a;
    a.alarm_start = makeTime(day.wYear, day.wMonth, day.wDay, hour, minute);
    a.alarm_end = a.alarm_start;
    a.repeat_forever = true;
    a.repeat_pattern = static_cast<std::uint8_t>(pattern);
    a.title = title;
    a.description = description;
    a.alarm_type = type;
    return a;
}

LogEntry logged(const SYSTEMTIME& day, int hour, int minute, int status) {
    LogEntry e;
    e.alarm_time = toTimeValue(makeTime(day.wYear, day.wMonth, day.wDay, hour, minute));
    e.log_status = status;
    e.ack = status == 4 ? e.alarm_time + 240 : status == 5 ? e.alarm_time + 1500 : 0;
    return e;
}

// Users, alarms, a programmed reminder and a history whose week holds
// every state: taken, taken late, forgotten, not alarmed, alarms to come,
// pouch alarms and an entry of an alarm deleted since; the id of the user
// to show.
int prepare(RecordStore& store, const std::filesystem::path& dir) {
    CurrentUser scratch;
    openDatabaseAtStartup(store, dir, scratch, kNow);
    std::vector<Profile> existing;
    store.loadProfiles(existing);
    for (const Profile& p : existing) store.deleteProfile(p.id);

    const int aino = store.insertProfile(false, "Aino Virtanen", "120345-123A", "040 123 4567",
                                         "Aamulääkkeet ennen aamiaista.\nIltalääke ruoan kanssa.");
    store.insertProfile(true, "Bertta Korhonen", "030551-456B", "050 765 4321", "");
    store.insertProfile(false, "Cecilia Mäkinen", "251260-789C", "", "");
    store.insertProfile(true, "Eino Nieminen", "-", "", "");

    const SYSTEMTIME started = makeTime(2026, 2, 16);
    for (Alarm a : {repeating(started, 8, 0, 1, "Hälytys", "Aamulääkkeet"),
                    repeating(started, 14, 0, 1, "Hälytys", "Verenpainelääke"),
                    repeating(started, 20, 0, 1, "Hälytys", "Iltalääke"),
                    repeating(makeTime(2026, 2, 23), 11, 0, 7, "Pussihälytys", "Annospussi", 1),
                    repeating(makeTime(2026, 2, 26), 17, 0, 7, "Pussihälytys", "Annospussi", 1)})
        store.saveAlarm(a, aino);

    DeviceRecord rec;
    rec.sn = 100234;
    rec.device_type = DeviceRecord::kOwn;
    rec.programming_time = toTimeValue(makeTime(2026, 3, 8, 9, 30));
    rec.last_alarm = toTimeValue(makeTime(2026, 4, 20, 20, 0));
    rec.alarm_amount = 129;
    store.saveDevice(rec, aino);

    // Mostly taken, now and then late or forgotten, before this week.
    std::vector<LogEntry> log;
    const int cycle[] = {4, 4, 5, 4, 4, 2, 4, 4, 4, 5, 4, 1, 4, 4};
    int i = 0;
    for (SYSTEMTIME d = makeTime(2026, 2, 25); d.wMonth != 3 || d.wDay < 9; d = addDays(d, 1)) {
        for (int hour : {8, 14, 20}) log.push_back(logged(d, hour, 0, cycle[i++ % std::size(cycle)]));
    }
    const SYSTEMTIME mon = makeTime(2026, 3, 9), tue = makeTime(2026, 3, 10), wed = makeTime(2026, 3, 11);
    for (const LogEntry& e : {logged(mon, 8, 0, 4), logged(mon, 11, 0, 4), logged(mon, 14, 0, 5),
                              logged(mon, 20, 0, 4), logged(tue, 8, 0, 2), logged(tue, 10, 30, 4),
                              logged(tue, 14, 0, 4), logged(tue, 20, 0, 1), logged(wed, 8, 0, 5)})
        log.push_back(e);
    store.saveLogEntries(log, aino);
    return aino;
}

// The dose plan dialog of the chosen person with a pharmacy's note, and
// the first page of the plan it prints.
bool dosePlanPictures(MainWindow& main, int chosen, const ResourceModule& resources, const QString& outDir) {
    MainDlgLogic& logic = main.logic;
    main.store.selectUser(logic.user(), chosen, logic.clock().nowValue(), {}, RecordStore::SaveCurrent::No);
    DosePlanDlgLogic model(logic.user(), resources, main.host, logic.clock().localNow(),
                           "Apteekki Kuunsilta, puh. 09 123 4567\nKysy rohkeasti, jos jokin lääke on epäselvä.");
    DosePlanDlg dlg(model, main.window.get());
    bool ok = save(dlg, outDir, "dose-plan-dialog");
    const QString page = QDir(outDir).filePath("dose-plan-page.png");
    const bool written = pageImage(dlg.document(), 0, 96).save(page);
    std::printf("%s %s\n", written ? "wrote" : "FAILED", page.toLocal8Bit().constData());
    return written && ok;
}

// `w` painted at twice its pixels, as on a screen scaled to 200 %.
bool saveScaled(QWidget& w, const QString& dir, const QString& name) {
    w.show();
    settle();
    QPixmap picture(w.size() * 2);
    picture.setDevicePixelRatio(2);
    w.render(&picture);
    const QString path = QDir(dir).filePath(name + ".png");
    const bool ok = picture.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    return ok;
}

// The main window with its week and month calendars, the alarm dialog and
// user management on a screen scaled to 200 %; then the same with the
// desktop's text half as large again (13.5 points). The window sizes its
// panel when it is made, so of it only the calendars, which follow a change
// of text size at once, are shown with the large text.
bool scaledAndLargeTextPictures(MainWindow& main, int user, const QString& outDir) {
    MainDlgLogic& logic = main.logic;
    MainDlg& w = *main.window;
    main.store.selectUser(logic.user(), user, logic.clock().nowValue(), {}, RecordStore::SaveCurrent::No);
    logic.markMonthStale();
    logic.refresh();
    auto* tabs = w.findChild<QTabWidget*>("viewTabs");
    if (!tabs) return false;
    const QSize normal = w.size();
    const QFont normalFont = QApplication::font();
    AlarmDlgLogic::Setup setup;
    setup.start = setup.end = makeTime(2026, 3, 12, 12, 0);
    bool ok = true;
    for (const bool largeText : {false, true}) {
        const auto shot = [&](QWidget& shown, const QString& name) {
            return largeText ? save(shown, outDir, name + "-large-text") : saveScaled(shown, outDir, name + "-scale2");
        };
        if (largeText) {
            QFont large = normalFont;
            large.setPointSizeF(normalFont.pointSizeF() * 1.5);
            QApplication::setFont(large);
            w.resize(1180, 700);
            settle();
        }
        tabs->setCurrentIndex(MainDlgLogic::kTabWeek);
        w.weekView()->setFocus();
        ok = shot(largeText ? static_cast<QWidget&>(*w.weekView()) : w, "calendar-week") && ok;
        tabs->setCurrentIndex(MainDlgLogic::kTabMonth);
        w.monthView()->setFocus();
        ok = shot(largeText ? static_cast<QWidget&>(*w.monthView()) : w, "calendar-month") && ok;
        AlarmDlgLogic model(setup, logic.user().alarms, logic.strings(), main.host, logic.clock(),
                            logic.user().daylight);
        AlarmDlg dlg(model, &w);
        ok = shot(dlg, "alarm-new") && ok;
        ProfileDlgLogic users(logic.user(), main.store, logic.strings(), main.host, logic.clock());
        ProfileDlg usersDlg(users, &w);
        ok = shot(usersDlg, "profile") && ok;
    }
    QApplication::setFont(normalFont);
    tabs->setCurrentIndex(MainDlgLogic::kTabWeek);
    w.resize(normal);
    return ok;
}

// The work list docked below the calendar: besides the people above, two
// whose reminder runs out this week and one whose log has not been read
// for three weeks.
bool workListPictures(MainWindow& main, const QString& outDir) {
    const TimeValue now = main.logic.clock().nowValue();
    constexpr TimeValue kDay = 86400;
    struct Person {
        const char* name;
        const char* ssn;
        TimeValue runsOutIn, readAgo;
    } people[] = {{"Helmi Laaksonen", "140938-224K", 2, 5},
                  {"Oskari Heikkinen", "050547-611T", 6, 3},
                  {"Veikko Salo", "221129-143S", 40, 23}};
    std::uint32_t sn = 100300;
    for (const Person& p : people) {
        const int id = main.store.insertProfile(false, p.name, p.ssn, "", "");
        main.store.saveDevice({sn++, DeviceRecord::kOwn, now - 45 * kDay, now + p.runsOutIn * kDay, 90}, id);
        const TimeValue read = now - p.readAgo * kDay;
        main.store.saveLogEntries(std::vector<LogEntry>{{read, read + 200, kStatusAcknowledged}}, id);
    }
    main.window->resize(1100, 800);
    main.logic.command(cmd::kWorkList);
    const bool ok = save(*main.window, outDir, "work-list");
    main.logic.command(cmd::kWorkList);
    return ok;
}

int run(const QString& outDir, const std::filesystem::path& dataDir, const ResourceModule& resources) {
    RecordStore prepStore(dataDir / kDatabaseFileName);
    const int chosen = prepare(prepStore, dataDir);
    // The chosen person's reminder, programmed three days ago and plugged in
    // after the calendar pictures; it must exist before libusb starts.
    sim::SimulatedReminder reminder(2, 100234);
    reminder.setClock(static_cast<std::uint32_t>(toTimeValue(kNow)));
    sim::startWithHistory(reminder, *sim::parseDailyTimes("08:00,14:00,20:00"), 3, kNow);
    sim::EmulatedUsbReminder usb(reminder);

    FixedClock clock(kNow);
    MainWindow main(resources, dataDir, &clock);
    MainDlgLogic& logic = main.logic;
    MainDlg& w = *main.window;
    // 60 characters: the panel cuts it with "…", the user list shows it whole.
    const int longNamed = main.store.insertProfile(
        true, "Anna-Maria Katariina Väisänen-Hämäläinen af Ruotsinkylä-Kesä", "010203A987X", "", "");
    main.store.reloadUsers(logic.user());
    w.show();
    settle();
    bool ok = save(w, outDir, "main-no-user");

    main.store.selectUser(logic.user(), chosen, logic.clock().nowValue(), {},
                          RecordStore::SaveCurrent::No);
    logic.markMonthStale();
    logic.refresh();
    ok = save(w, outDir, "main") && ok;
    if (auto* tabs = w.findChild<QTabWidget*>("viewTabs")) {
        tabs->setCurrentIndex(MainDlgLogic::kTabComments);
        ok = save(w, outDir, "main-comments") && ok;
        // The calendar views, larger, with the cursor on the chosen day.
        const QSize normal = w.size();
        w.resize(1180, 700);
        tabs->setCurrentIndex(MainDlgLogic::kTabWeek);
        w.weekView()->setFocus();
        ok = save(w, outDir, "calendar-week") && ok;
        tabs->setCurrentIndex(MainDlgLogic::kTabDay);
        logic.setDate(makeTime(2026, 3, 10, 12, 0));
        w.dayView()->setFocus();
        ok = save(w, outDir, "calendar-day") && ok;
        tabs->setCurrentIndex(MainDlgLogic::kTabMonth);
        logic.setDate(kNow);
        w.monthView()->setFocus();
        ok = save(w, outDir, "calendar-month") && ok;
        tabs->setCurrentIndex(MainDlgLogic::kTabWeek);
        w.resize(normal);
    }

    {
        ProfileDlgLogic model(logic.user(), main.store, resources, main.host, logic.clock());
        ProfileDlg dlg(model, &w);
        ok = save(dlg, outDir, "profile") && ok;
        // The list filtered as one types.
        if (auto* search = dlg.findChild<QLineEdit*>("search")) search->setText("rt");
        ok = save(dlg, outDir, "profile-search") && ok;
        // A user picked in the list: the details come into the fields to be changed.
        if (auto* search = dlg.findChild<QLineEdit*>("search")) search->clear();
        if (auto* list = dlg.findChild<QTreeWidget*>("list")) list->setCurrentItem(list->topLevelItem(2));
        ok = save(dlg, outDir, "profile-edit") && ok;
    }
    {
        // The panel with the 60-character name at the smallest window size.
        const QSize size = w.size();
        main.store.selectUser(logic.user(), longNamed, logic.clock().nowValue(), {},
                              RecordStore::SaveCurrent::No);
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
        // Deleting tomorrow's morning dose of the series.
        DeleteDoseDlgLogic which(resources, setup.start);
        DeleteDoseDlg asking(which, &w);
        ok = save(asking, outDir, "delete-dose") && ok;
    }
    {
        LogDlgLogic model(logic.user(), resources, logic.clock().nowValue());
        LogDlg dlg(model, &w);
        ok = save(dlg, outDir, "history") && ok;
    }
    {
        // The adherence page and the chronology chart over 30 and 90 days.
        CurrentUser person;
        person.name = logic.user().name;
        person.history = mixedHistory(logic.clock().nowValue());
        LogDlgLogic model(person, resources, logic.clock().nowValue());
        LogDlg dlg(model, &w);
        auto* pages = dlg.findChild<QTabWidget*>("pages");
        auto* period = dlg.findChild<QComboBox*>("period");
        for (int index : {0, 1}) {
            period->setCurrentIndex(index);
            const QString days = index ? "90" : "30";
            pages->setCurrentIndex(1);
            ok = save(dlg, outDir, "history-adherence-" + days) && ok;
            pages->setCurrentIndex(2);
            ok = save(dlg, outDir, "history-chronology-" + days) && ok;
        }
    }
    {
        AboutDlgLogic model(resources);
        AboutDlg dlg(model, &w);
        ok = save(dlg, outDir, "about") && ok;
    }
    {
        // The backup dialog as the substitute service (on 127.0.0.1, with a
        // certificate made now) answers it: the latest backup's date.
        const std::filesystem::path pki = dataDir / "pki";
        service::ServiceLogic serviceLogic;
        serviceLogic.addAccount("apteekki", "salasana");
        serviceLogic.setBackup("apteekki", {"x", "10.03.2026 17:45"});
        service::SubstituteService substitute(serviceLogic);
        service::SubstituteService::Options options;
        options.certFile = (pki / "server.pem").string();
        options.keyFile = (pki / "server.key").string();
        ServiceAccess service;
        service.settings.extraCaFile = (pki / "ca.pem").string();
        service.post = postToEventLoop(&w);
        if (service::ensureDevelopmentCertificates(pki) && substitute.start(options)) {
            service.settings.url = substitute.url();
            logic.user().account_name = "apteekki";
            logic.user().account_password = "salasana";
            BackupDlgLogic model(logic.user(), main.store, resources, main.host, logic.clock(), service);
            BackupDlg dlg(model, &w);
            ok = waitFor([&] { return !model.waiting(); }) && save(dlg, outDir, "backup") && ok;
        } else {
            std::fprintf(stderr, "substitute service: %s\n", substitute.error().c_str());
            ok = false;
        }
    }
    {
        // The web account's dialogs; nothing is sent.
        CurrentUser& user = logic.user();
        const CurrentUser before = user;
        ServiceAccess service;
        const AccountContext context{user, main.store, resources, main.host, service};
        user.account_name = "aino.virtanen";
        user.account_password = "salasana";
        for (bool signedIn : {false, true}) {
            user.logged_in = signedIn;
            AccountDlgLogic model(context);
            AccountDlg dlg(model, &w);
            ok = save(dlg, outDir, signedIn ? "account-signed-in" : "account-signed-out") && ok;
        }
        user.settings.username = user.account_name;  // the stored account, filled in at start
        LoginDlgLogic login(context);
        LoginDlg loginDlg(login, &w);
        ok = save(loginDlg, outDir, "login") && ok;
        LoginPwDlgLogic prompt(user, resources, main.host);
        LoginPwDlg promptDlg(prompt, &w);
        ok = save(promptDlg, outDir, "login-legacy-password") && ok;
        ChangePasswordDlgLogic change(context);
        ChangePasswordDlg changeDlg(change, &w);
        ok = save(changeDlg, outDir, "change-password") && ok;
        user.account_name = before.account_name;
        user.settings.username = before.settings.username;
        user.account_password = before.account_password;
        user.logged_in = before.logged_in;
    }
    {
        QMessageBox box(QMessageBox::Question, toQ(resources.load(ids::kCaptionQuestion)),
                        toQ(resources.load(ids::kWindowDoesNotFit)),
                        QMessageBox::Yes | QMessageBox::No, &w);
        box.button(QMessageBox::Yes)->setText(toQ(resources.load(ids::kYes)));
        box.button(QMessageBox::No)->setText(toQ(resources.load(ids::kNo)));
        ok = save(box, outDir, "question") && ok;
    }
    ok = reminderFlows(main, reminder, usb, outDir) && ok;
    ok = pouchPictures(main, dataDir, outDir) && ok;
    {
        logic.closeUser();
        main.store.reloadUsers(logic.user());
        ReportDlgLogic model(logic.user(), main.store, resources, main.host, logic.clock().nowValue());
        ReportDlg dlg(model, &w);
        ok = save(dlg, outDir, "report") && ok;
    }
    ok = dosePlanPictures(main, chosen, resources, outDir) && ok;
    ok = scaledAndLargeTextPictures(main, chosen, outDir) && ok;
    ok = workListPictures(main, outDir) && ok;
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace velmora

// The offscreen platform warns about window features it lacks; those
// warnings say nothing about the pictures.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.contains("propagateSizeHints") ||
        message.contains("does not support raise") ||
        message.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) std::abort();
}

int main(int argc, char* argv[]) {
    using namespace velmora;
    qInstallMessageHandler(quietHandler);
    // The reminder is an emulated USB device: the preload comes first.
    if (!sim::EmulatedUsbReminder::available()) {
        sim::EmulatedUsbReminder::rerunWithPreload(argv);
        return 1;
    }
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
