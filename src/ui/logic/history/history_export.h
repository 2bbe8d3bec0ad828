#pragma once
// Printable and exported forms of the history and the reports: CSV text
// (RFC 4180: comma separated, fields with a comma, quotation mark or line
// break quoted, quotation marks doubled, lines ending in CR LF; UTF-8
// with a byte order mark so that spreadsheets read the letters right) and
// the HTML that the printing and PDF side lays out on pages.
#include <cstddef>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"

namespace velmora {

class LogDlgLogic;

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
// The most rows one export writes: the text is built in memory.
inline constexpr std::size_t kMaxExportRows = 200000;

// One CSV row of `fields`, appended with its CR LF.
void appendCsvRow(Text& out, const std::vector<Text>& fields);
// A heading text whose fields are separated by tabs, as one CSV row.
void appendCsvHeading(Text& out, const Text& tabSeparated);

// The history of the dialog's period as CSV with the BOM: a heading row,
// then one row per logged dose of the period's days: name, date
// (yyyy-mm-dd), alarm time (hh:mm), status word, acknowledgement
// (yyyy-mm-dd hh:mm, empty when none) and its delay in whole minutes.
Text historyCsv(const LogDlgLogic& dlg, const StringSource& strings);

// "yyyy-mm-dd" and "yyyy-mm-dd hh:mm" of a local date-time, the exports'
// forms; isoDateTime of instant 0 is empty (no instant).
Text isoDate(const SYSTEMTIME& t);
Text isoDateTime(TimeValue t);

// Text with &, <, > and " written as HTML entities.
Text htmlEscaped(const Text& text);

// A plain-text report (the programming report, the users' report) as a
// page: the title as heading and the text in a fixed-pitch block.
Text textReportHtml(const Text& title, const Text& text);

// The history as pages: title with the user's name, the totals, the
// adherence figures of the period, the chronology chart as the images
// "chart:0" .. "chart:<chartImages-1>" (the printing side supplies them)
// and the list of the period's entries.
Text historyHtml(const LogDlgLogic& dlg, const StringSource& strings, int chartImages);

}  // namespace velmora
