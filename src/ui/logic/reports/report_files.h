#pragma once
// Handing report files to the person: written first, then shown; a file
// that could not be written is never opened (the viewer would show an
// older report) and the person is told which.
#include <filesystem>
#include <string_view>

#include "core/interaction.h"
#include "core/whole_file.h"
#include "ui/logic/ui_host.h"

namespace velmora {

// "Writing the report file failed!" followed by the file's path.
void tellReportNotWritten(Interaction& person, const StringSource& strings,
                          const std::filesystem::path& file);

// "The file could not be written:", the file's path and the reason.
void tellFileNotWritten(Interaction& person, const StringSource& strings,
                        const std::filesystem::path& file, const Text& reason);

// Writes an exported file (CSV, PDF); tells the person when it fails.
bool saveExportFile(Interaction& person, const StringSource& strings, const std::filesystem::path& file,
                    std::string_view bytes);

// The programming report: written to "raportti.txt" in `directory`
// (created when missing), then shown in the program's report window
// (AlarmReportDlgLogic) through `host`. False, with the message above,
// when the file could not be written; the window shows the report all the
// same.
bool openProgrammingReport(UiHost& host, const StringSource& strings, const Text& report,
                           const std::filesystem::path& directory);

}  // namespace velmora
