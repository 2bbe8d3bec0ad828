#include "startup.h"

#include <QMetaObject>

#include "device/usb_ids.h"
#include "ui/logic/reminder/alarm_rules.h"
#include "resources/string_ids.h"
#include "store/startup.h"
#include "ui/qt/work_list_dock.h"

namespace velmora {

MainDlgCommands::MainDlgCommands(MainWindow& main, const ResourceModule& strings,
                                 const std::filesystem::path& dataDirectory)
    : account{main.logic.user(), main.store, strings, main.host, main.service},
      accountDialog(account),
      changePassword(account),
      updatePage(main.host, strings, main.service, WebLink::UpdateCheck),
      registrationPage(main.host, strings, main.service, WebLink::Registration),
      backup({main.logic.user(), main.store, strings, main.host, main.logic.clock(), main.service, main.logic}),
      fetchPouch({main.logic.user(), main.store, strings, main.host, main.logic.clock(), main.service, main.logic},
                 [&main] { return main.logic.reminderConnected(); },
                 [&main] { main.logic.command(MainDlgLogic::kIdProgram); }),
      updateAllPouch({main.logic.user(), main.store, strings, main.host, main.logic.clock(), main.service,
                      main.logic},
                     [this] { return fetchPouch.awaitingReply(); }),
      // Alarm editing keeps the panel's medication window when the reminder
      // alarms only if the intake is forgotten, else the default one.
      alarmEditing({main.store, main.host, strings, main.logic.clock(), main.logic.user(),
                    [&main] {
                        return main.logic.panelProgramType() == ProgramType::Forgotten
                                   ? main.logic.panelWindowSeconds()
                                   : kDefaultWindowSeconds;
                    },
                    [&window = static_cast<WindowNotices&>(main.logic), &user = main.logic.user()] {
                        window.alarmsChanged(user.window);
                    }}),
      users{{main.logic.user(), main.store, strings, main.host, main.logic.clock(), main.service, main.logic},
            alarmTablePreparer(main.store),
            [&main](bool closed) { main.reminder->userManagementEnded(closed); }},
      userManagement(users),
      alarmReport({main.logic.user(), main.store, strings, main.host}),
      alarmReportOnPaper({main.logic.user(), main.store, strings, main.host}, false),
      alarmReportAsPdf({main.logic.user(), main.store, strings, main.host}, true),
      report(main.logic.user(), {main.logic.user(), main.store, strings, main.host}, main.logic.clock(), main.logic),
      dosePlan(main.logic.user(), strings, main.host, main.logic.clock()),
      userManual(main.host, strings, programDirectory()),
      about(main.host, strings, main.store.databasePath()),
      workList(main.store, strings, main.logic.clock(), configFilePath(), [this](int id) { chooseUser(users, id); }),
      showWorkList(workList),
      logic_(main.logic) {
    const std::pair<int, Command*> routes[] = {
        {cmd::kAccount, &accountDialog},
        {cmd::kChangePassword, &changePassword},
        {cmd::kCheckUpdates, &updatePage},
        {cmd::kRegister, &registrationPage},
        {cmd::kBackup, &backup},
        {cmd::kFetchPouchData, &fetchPouch},
        {cmd::kUpdateAllPouchData, &updateAllPouch},
        {cmd::kUserManagement, &userManagement},
        {MainDlgLogic::kIdChooseUser, &userManagement},
        {cmd::kPrintAlarmReport, &alarmReport},
        {cmd::kPrintAlarmReportOnPaper, &alarmReportOnPaper},
        {cmd::kSaveAlarmReportAsPdf, &alarmReportAsPdf},
        {cmd::kReport, &report},
        {cmd::kUserManual, &userManual},
        {cmd::kAbout, &about},
        {cmd::kDosePlan, &dosePlan},
        {cmd::kWorkList, &showWorkList},
    };
    for (const auto& [id, command] : routes) logic_.setCommand(id, command);
    logic_.setAlarmRequests(&alarmEditing);
    logic_.setSignIn([this, dataDirectory](int& exitCode) { return signInAtStartup(account, dataDirectory, exitCode); });
}

MainDlgCommands::~MainDlgCommands() {
    fetchPouch.cancel();  // no service notice for commands that are going
    logic_.setSignIn({});
    logic_.setAlarmRequests(nullptr);
    for (int id : {cmd::kAccount, cmd::kChangePassword, cmd::kCheckUpdates, cmd::kRegister, cmd::kBackup,
                   cmd::kFetchPouchData, cmd::kUpdateAllPouchData, cmd::kUserManagement, MainDlgLogic::kIdChooseUser,
                   cmd::kPrintAlarmReport, cmd::kPrintAlarmReportOnPaper, cmd::kSaveAlarmReportAsPdf, cmd::kReport,
                   cmd::kUserManual, cmd::kAbout, cmd::kDosePlan, cmd::kWorkList})
        logic_.setCommand(id, nullptr);
}

MainWindow::MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory,
                       const Clock* fixedClock)
    : store(dataDirectory / kDatabaseFileName),
      host(resources, DesktopPrograms::fromEnvironment()),
      logic(store, dataDirectory, resources, host, fixedClock ? *fixedClock : clock) {
    reminder = std::make_unique<ReminderCommands>(
        usb, clock, store, host, resources, logic.clock(), logic.user(), logic, [this] {
            QObject* context = window.get();
            return usb.startWatch([this, context](ReminderEvent e) {
                // On the transport's thread: hand the event over, nothing else.
                QMetaObject::invokeMethod(
                    context, [this, e] { reminder->arrival.deviceEvent(e == ReminderEvent::Arrived); },
                    Qt::QueuedConnection);
            });
        },
        &reminderRunner);
    reminder->ownerless.chooseUser = [this] { logic.command(cmd::kUserManagement); };
    logic.setCommand(MainDlgLogic::kIdProgram, &reminder->program);
    logic.setCommand(cmd::kEmptyReminder, &reminder->empty);
    logic.setDeviceWatch([this] { reminder->arrival.start(); });
    commands = std::make_unique<MainDlgCommands>(*this, resources, dataDirectory);
    window = std::make_unique<MainDlg>(logic, resources);
    window->addDockWidget(Qt::BottomDockWidgetArea, new WorkListDock(commands->workList, resources, window.get()));
    logic.setRecordsWatcher([this] { commands->workList.recordsChanged(); });
    if (logic.databaseOpened()) logic.setStatusText(commands->workList.dueThisWeekText());
    host.setParentWindow(window.get());
    QObject* context = window.get();
    host.setModalsClosedListener([this] {
        reminder->arrival.settle();
        commands->fetchPouch.modalsClosed();
    });
    // A finished service request is handed to the event loop.
    ServiceAccess access;
    access.post = postToEventLoop(context);
    useService(std::move(access));
}

void MainWindow::useService(ServiceAccess access) {
    commands->fetchPouch.cancel();  // its client belongs to the earlier service
    service = std::move(access);
    service.signIn = [this] { return commands->accountDialog.runDialog() == kIdOk; };
}

MainWindow::~MainWindow() {
    usb.stopWatch();  // no event arrives for a window that is going
    host.setModalsClosedListener(nullptr);
    commands->fetchPouch.cancel();  // no service notice for a window that is going
    host.setParentWindow(nullptr);
    logic.setRecordsWatcher({});
    window.reset();
    commands.reset();
    logic.setDeviceWatch({});
    logic.setCommand(MainDlgLogic::kIdProgram, nullptr);
    logic.setCommand(cmd::kEmptyReminder, nullptr);
    reminder.reset();
}

}  // namespace velmora
