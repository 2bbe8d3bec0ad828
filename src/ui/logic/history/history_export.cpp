#include "ui/logic/history/history_export.h"

#include <cstdio>

#include "core/datetime.h"
#include "core/text.h"
#include "resources/string_ids.h"
#include "ui/logic/history/chronology_chart.h"
#include "ui/logic/history/log_dlg_logic.h"

namespace velmora {

namespace {

void appendCsvField(Text& out, const Text& field) {
    if (field.find_first_of(",\"\r\n") == Text::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The entries of the dialog's period: its days, from the first one's start
// to the end of the day of now.
template <class F>
void forEachPeriodEntry(const LogDlgLogic& dlg, F f) {
    const PeriodDays& days = dlg.periodDays();
    const TimeValue end = toTimeValue(addDays(days.first, days.days));
    std::size_t n = 0;
    for (auto it = dlg.history().lower_bound(days.from);
         it != dlg.history().end() && it->first < end && n < kMaxExportRows; ++it, ++n)
        f(it->second);
}

bool taken(const LogEntry& e) {
    return (e.log_status == kStatusAcknowledged || e.log_status == kStatusAcknowledgedLate) && e.ack != 0;
}

}  // namespace

Text isoDate(const SYSTEMTIME& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
    return buf;
}

Text isoDateTime(TimeValue t) {
    if (t == 0) return {};
    const SYSTEMTIME s = fromTimeValue(t);
    return isoDate(s) + " " + formatTimeOfDay(s);
}

void appendCsvRow(Text& out, const std::vector<Text>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        appendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

void appendCsvHeading(Text& out, const Text& tabSeparated) { appendCsvRow(out, tabSeparatedFields(tabSeparated)); }

Text historyCsv(const LogDlgLogic& dlg, const StringSource& strings) {
    Text out = kUtf8Bom;
    appendCsvHeading(out, strings.load(ids::kHistoryCsvHeader));
    forEachPeriodEntry(dlg, [&](const LogEntry& e) {
        const SYSTEMTIME alarm = fromTimeValue(e.alarm_time);
        Text ack, delay;
        if (taken(e)) {
            ack = isoDateTime(e.ack);
            const Text minutes = LogDlgLogic::minutesText(e.ack - e.alarm_time, strings);
            delay = minutes.substr(0, minutes.find(' '));  // the number alone
        }
        appendCsvRow(out, {dlg.userName(), isoDate(alarm), formatTimeOfDay(alarm),
                           LogDlgLogic::statusWord(e.log_status, strings), ack, delay});
    });
    return out;
}

Text htmlEscaped(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

Text textReportHtml(const Text& title, const Text& text) {
    Text body;
    body.reserve(text.size());
    for (char c : text) {
        if (c != '\r') body += c;
    }
    return "<html><body><h2>" + htmlEscaped(title) + "</h2><pre>" + htmlEscaped(body) + "</pre></body></html>";
}

Text historyHtml(const LogDlgLogic& dlg, const StringSource& strings, int chartImages) {
    Text out = "<html><body><h2>" + htmlEscaped(dlg.title() + " - " + dlg.userName()) + "</h2>";
    out += "<h3>" + htmlEscaped(dlg.controlText(LogDlgLogic::kIdTotalsFrame)) + "</h3><table cellpadding=\"2\">";
    const std::pair<int, int> totals[] = {{LogDlgLogic::kIdTotalCaption, LogDlgLogic::kIdTotal},
                                          {LogDlgLogic::kIdAcknowledgedCaption, LogDlgLogic::kIdAcknowledged},
                                          {LogDlgLogic::kIdLateCaption, LogDlgLogic::kIdLate},
                                          {LogDlgLogic::kIdForgottenCaption, LogDlgLogic::kIdForgotten}};
    for (const auto& [caption, value] : totals)
        out += "<tr><td>" + htmlEscaped(dlg.controlText(caption)) + "</td><td align=\"right\">" +
               dlg.numberText(value) + "</td></tr>";
    out += "</table>";

    const Text period = dlg.periodNames()[static_cast<std::size_t>(dlg.period())];
    out += "<h3>" + htmlEscaped(strings.load(ids::kAdherenceTab) + " - " + period) + "</h3>";
    out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">";
    bool heading = true;
    for (const auto& row : dlg.adherenceTable()) {
        out += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (heading ? "<th>" : i ? "<td align=\"right\">" : "<td>") + htmlEscaped(row[i]) +
                   (heading ? "</th>" : "</td>");
        out += "</tr>";
        heading = false;
    }
    out += "</table><table cellpadding=\"2\">";
    for (const auto& [caption, value] : dlg.adherenceSummary())
        out += "<tr><td>" + htmlEscaped(caption) + "</td><td align=\"right\">" + htmlEscaped(value) + "</td></tr>";
    out += "</table>";

    // The legend belongs to the heading: on paper both go with the chart.
    out += "<h3>" + htmlEscaped(strings.load(ids::kChronologyTab)) +
           "<br><span style=\"font-weight:normal; font-size:small\">";
    for (const ChartLegendEntry& e : chartLegend(strings)) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", e.colour.r, e.colour.g, e.colour.b);
        out += Text("<span style=\"color:") + colour + "\">" + (e.tick ? "|" : "\xE2\x97\x8F") + "</span> " +
               htmlEscaped(e.text) + "&nbsp;&nbsp; ";
    }
    out += "</span></h3>";
    for (int i = 0; i < chartImages; ++i) out += "<p><img src=\"chart:" + std::to_string(i) + "\"></p>";

    out += "<h3>" + htmlEscaped(strings.load(ids::kHistoryListTab)) + "</h3><p>";
    forEachPeriodEntry(dlg, [&](const LogEntry& e) {
        out += htmlEscaped(LogDlgLogic::formatLine(e, strings)) + "<br>";
    });
    out += "</p></body></html>";
    return out;
}

}  // namespace velmora
