#include "ui/logic/reports/report_files.h"

#include <system_error>

#include "ui/logic/reminder/programming_report.h"
#include "resources/string_ids.h"
#include "ui/logic/reports/report_dlg_logic.h"

namespace velmora {

void tellReportNotWritten(Interaction& person, const StringSource& strings,
                          const std::filesystem::path& file) {
    person.showMessage(strings.load(ids::kReportFileWriteFailed) + "\n" + file.string(),
                       strings.load(ids::kCaptionError), MessageIcon::Error);
}

void tellFileNotWritten(Interaction& person, const StringSource& strings, const std::filesystem::path& file,
                        const Text& reason) {
    person.showMessage(strings.load(ids::kFileNotWritten) + "\n" + file.string() + "\n" + reason,
                       strings.load(ids::kCaptionError), MessageIcon::Error);
}

bool saveExportFile(Interaction& person, const StringSource& strings, const std::filesystem::path& file,
                    std::string_view bytes) {
    Text reason;
    if (writeWholeFile(file, bytes, reason)) return true;
    tellFileNotWritten(person, strings, file, reason);
    return false;
}

bool openProgrammingReport(UiHost& host, const StringSource& strings, const Text& report,
                           const std::filesystem::path& directory) {
    makePrivateDirectory(directory);
    const std::filesystem::path file = directory / kReportFileName;
    const bool written = writeReportFile(file, report);
    if (!written) tellReportNotWritten(host, strings, file);
    AlarmReportDlgLogic dlg(report, strings, host);
    host.runDialog(dlg);
    return written;
}

}  // namespace velmora
