#pragma once
// The plain-text programming report: who the user is, when the reminder
// was programmed, its last alarm, every alarm grouped by repetition, and the
// safety instructions. Stored as the user's report and opened in the
// desktop's text viewer.
#include <filesystem>

#include "core/interaction.h"
#include "core/records.h"
#include "core/types.h"
#include "store/record_store.h"

namespace velmora {

inline constexpr char kReportFileName[] = "raportti.txt";

// The report text (UTF-8, lines ending in a single line feed). The
// programming time is that of the connected reminder (user.connected_sn).
Text buildReport(RecordStore& store, const CurrentUser& user, const StringSource& strings);

// Writes the report as Windows-1252 text with CR LF line ends and one more
// line end at its end, replacing the file. False when the file cannot be
// written.
bool writeReportFile(const std::filesystem::path& file, const Text& report);

// The folder of the report file: where the database lives.
inline std::filesystem::path reportDirectory(const RecordStore& store) {
    return store.databasePath().parent_path();
}

}  // namespace velmora
