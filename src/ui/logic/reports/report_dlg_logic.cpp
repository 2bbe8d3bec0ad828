#include "ui/logic/reports/report_dlg_logic.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "core/cp1252.h"
#include "core/datetime.h"
#include "resources/resource_module.h"
#include "resources/string_ids.h"
#include "store/record_store.h"
#include "ui/logic/history/history_export.h"
#include "ui/logic/reports/report_files.h"

namespace velmora {

namespace {
constexpr int kDashCount = 100;

// Number of characters (code points) of UTF-8 text.
std::size_t characterCount(const Text& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

// Every line of the file ends in CR LF, also where a translated heading
// carries a line break of its own.
std::string withCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

void appendPadded(Text& out, const Text& value, std::size_t width) {
    out += value;
    const std::size_t n = characterCount(value);
    if (n < width) out.append(width - n, ' ');
}

// ReportDlgLogic::formatTime(t) padded to `width`, appended in place (the
// time is ASCII: its bytes are its characters).
void appendTimeCell(Text& out, TimeValue t, std::size_t width) {
    const std::size_t start = out.size();
    if (t == 0) out += '-';
    else appendDateTime(out, fromTimeValue(t));
    const std::size_t n = out.size() - start;
    if (n < width) out.append(width - n, ' ');
}
}  // namespace

ReportDlgLogic::ReportDlgLogic(const CurrentUser& user, RecordStore& store,
                               const StringSource& strings, UiHost& host, TimeValue now)
    : users_(user.users), store_(store), strings_(strings), host_(host), now_(now) {
    rebuild(false);
}

Text ReportDlgLogic::title() const { return strings_.load(ids::kReportTitle); }

Text AlarmReportDlgLogic::title() const { return strings_.load(ids::kAlarmTimeReportTitle); }

Text ReportDlgLogic::controlText(int controlId) const {
    switch (controlId) {
        case kIdShowAll: return strings_.load(ids::kShowAll);
        case kIdShowNeedingProgramming: return strings_.load(ids::kShowNeedingProgramming);
        case kIdOpenInViewer: return strings_.load(ids::kOpenAsTextFile);
        case kIdOk: {
            // The template's own caption, translated by the language module.
            if (const auto* module = dynamic_cast<const ResourceModule*>(&strings_))
                return module->dialogCaption(kTemplateId, kIdOk);
            return "OK";
        }
        default: return {};
    }
}

Text ReportDlgLogic::listCaption() const {
    return strings_.load(onlyNeeding_ ? ids::kReportListNeedingProgramming : ids::kReportListAll);
}

void ReportDlgLogic::showAll() { rebuild(false); }
void ReportDlgLogic::showNeedingProgramming() { rebuild(true); }

void ReportDlgLogic::rebuild(bool onlyNeedingProgramming) {
    onlyNeeding_ = onlyNeedingProgramming;
    // Every own reminder in one read, the first time the report is built.
    if (!remindersLoaded_) remindersLoaded_ = store_.loadOwnReminders(ownReminders_);
    report_ = buildReport(users_, onlyNeedingProgramming, now_, strings_,
                          [this](int owner, DeviceRecord& record) {
                              auto it = ownReminders_.find(owner);
                              if (it == ownReminders_.end()) return false;
                              record = it->second;
                              return true;
                          });
}

Text ReportDlgLogic::formatRow(const Text& name, const Text& ssn, const Text& lastAlarm,
                               const Text& programmingTime) {
    Text row;
    appendPadded(row, name, 35);
    appendPadded(row, ssn, 20);
    appendPadded(row, lastAlarm, 20);
    appendPadded(row, programmingTime, 25);
    row += "\r\n";
    return row;
}

Text ReportDlgLogic::formatTime(TimeValue t) {
    if (t == 0) return "-";
    return formatDateTime(fromTimeValue(t));
}

Text ReportDlgLogic::buildReport(const std::vector<Profile>& users, bool onlyNeedingProgramming,
                                 TimeValue now, const StringSource& strings,
                                 const DeviceLookup& lookup) {
    Text text = formatRow(strings.load(ids::kReportName), strings.load(ids::kReportSsn),
                          strings.load(ids::kReportLastAlarm),
                          strings.load(ids::kReportProgrammingTime));
    text += formatRow(" ", strings.load(ids::kReportSsnSecondLine),
                      strings.load(ids::kReportInReminder), " ");
    text.append(kDashCount, '-');
    text += "\r\n";
    // The rows as formatRow makes them, written straight into the text.
    for (const Profile& p : users) {
        DeviceRecord record;
        if (!lookup || !lookup(p.id, record)) record = DeviceRecord{};
        if (onlyNeedingProgramming && !needsProgramming(p, record, now)) continue;
        appendPadded(text, p.name, 35);
        appendPadded(text, p.ssn, 20);
        appendTimeCell(text, record.last_alarm, 20);
        appendTimeCell(text, record.programming_time, 25);
        text += "\r\n";
    }
    return text;
}

bool ReportDlgLogic::needsProgramming(const Profile& p, const DeviceRecord& record, TimeValue now) {
    // The stored flag alone misses a reminder that runs out soon.
    const bool runsOut = static_cast<std::int64_t>(record.last_alarm) <
                         static_cast<std::int64_t>(now) + kReprogramLeadSeconds;
    return p.is_programming_needed || runsOut;
}

Text ReportDlgLogic::csvText() const {
    Text out = kUtf8Bom;
    appendCsvHeading(out, strings_.load(ids::kUsersCsvHeader));
    std::size_t n = 0;
    for (const Profile& p : users_) {
        if (++n > kMaxExportRows) break;
        auto it = ownReminders_.find(p.id);
        const DeviceRecord record = it == ownReminders_.end() ? DeviceRecord{} : it->second;
        const bool needs = needsProgramming(p, record, now_);
        if (onlyNeeding_ && !needs) continue;
        appendCsvRow(out, {p.name, p.ssn, record.sn ? std::to_string(record.sn) : Text(),
                           isoDateTime(record.programming_time), isoDateTime(record.last_alarm),
                           strings_.load(needs ? ids::kYes : ids::kNo)});
    }
    return out;
}

bool ReportDlgLogic::saveCsv(const std::filesystem::path& file) {
    return saveExportFile(host_, strings_, file, csvText());
}

std::filesystem::path ReportDlgLogic::reportFilePath() const {
    std::filesystem::path dir = store_.databasePath().parent_path();
    if (dir.empty()) dir = ".";
    return dir / kFileName;
}

bool ReportDlgLogic::openInViewer() {
    if (!writeReportFile()) {
        tellReportNotWritten(host_, strings_, reportFilePath());
        return false;
    }
    host_.openTextFile(reportFilePath().string());
    return true;
}

bool ReportDlgLogic::writeReportFile() const {
    const std::filesystem::path target = reportFilePath();
    makePrivateDirectory(target.parent_path());
    Text reason;
    return writeWholeFile(target, toCp1252(withCrLf(report_)), reason);
}

}  // namespace velmora
