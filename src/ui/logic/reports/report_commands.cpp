#include "ui/logic/reports/report_commands.h"

#include "ui/logic/reminder/programming_report.h"
#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {

void AlarmReportCommand::start() {
    Text report;
    c_.store.loadReport(c_.user.id, report);
    openProgrammingReport(c_.host, c_.strings, report, reportDirectory(c_.store));
    finish();
}

bool StoredAlarmReportCommand::enabled() const {
    Text report;
    return c_.user.id > 0 && c_.store.loadReport(c_.user.id, report) && !report.empty();
}

void StoredAlarmReportCommand::start() {
    Text report;
    c_.store.loadReport(c_.user.id, report);
    c_.host.printTextReport(c_.user.name, report, asPdf_);
    finish();
}

void ReportCommand::start() {
    window_.closeUser();
    c_.store.reloadUsers(user_);
    ReportDlgLogic dlg(user_, c_.store, c_.strings, c_.host, clock_.nowValue());
    c_.host.runDialog(dlg);
    finish();
}

}  // namespace velmora
