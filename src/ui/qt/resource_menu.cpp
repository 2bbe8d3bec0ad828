#include "ui/qt/resource_menu.h"

#include <QMenu>

#include "resources/string_ids.h"
#include "ui/qt/qt_host.h"

namespace velmora {

void addMenuItems(QMenu* into, const std::vector<MenuItem>& items,
                  const std::function<void(QAction*, int)>& bind) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
            case MenuItem::Kind::Separator: into->addSeparator(); break;
            case MenuItem::Kind::Popup: addMenuItems(into->addMenu(toQ(item.text)), item.children, bind); break;
            case MenuItem::Kind::Command: bind(into->addAction(toQ(item.text)), item.id); break;
        }
    }
}

QString commandObjectName(int commandId) {
    switch (commandId) {
        case cmd::kShowHistory: return "showHistory";
        case cmd::kCloseUser: return "closeUser";
        case cmd::kPrintAlarmReport: return "printAlarmReport";
        case cmd::kReport: return "report";
        case cmd::kBackup: return "backup";
        case cmd::kClearCalendar: return "clearCalendar";
        case cmd::kExit: return "exit";
        case cmd::kRegister: return "register";
        case cmd::kUserManagement: return "userManagement";
        case cmd::kCheckUpdates: return "checkUpdates";
        case cmd::kAbout: return "about";
        case cmd::kAccount: return "account";
        case cmd::kEditAlarm: return "editAlarm";
        case cmd::kDeleteAlarm: return "deleteAlarm";
        case cmd::kChangePassword: return "changePassword";
        case cmd::kEmptyReminder: return "emptyReminder";
        case cmd::kUserManual: return "userManual";
        case cmd::kPrintAlarmReportOnPaper: return "printAlarmReportOnPaper";
        case cmd::kSaveAlarmReportAsPdf: return "saveAlarmReportAsPdf";
        case cmd::kFetchPouchData: return "fetchPouchData";
        case cmd::kUpdateAllPouchData: return "updateAllPouchData";
        case cmd::kLanguageFinnish: return "languageFinnish";
        case cmd::kLanguageEnglish: return "languageEnglish";
        case cmd::kViewPlanner: return "viewPlanner";
        case cmd::kViewMonth: return "viewMonth";
        case cmd::kWorkList: return "showWorkList";
        default: return QString("command%1").arg(commandId);
    }
}

QKeySequence commandShortcut(int commandId) {
    switch (commandId) {
        case cmd::kViewPlanner: return QKeySequence(Qt::CTRL | Qt::Key_1);
        case cmd::kViewMonth: return QKeySequence(Qt::CTRL | Qt::Key_2);
        default: return {};
    }
}

}  // namespace velmora
