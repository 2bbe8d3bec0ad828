#pragma once
// Report dialog: every user with the last alarm and the programming time
// of the user's own reminder, as a fixed-width text table; optionally only
// the users whose reminder must be programmed again. The table can be
// written to "report.txt" beside the database and opened in the desktop's
// text viewer. Also the window of the programming report.
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class RecordStore;

class ReportDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 171;

    static constexpr int kIdText = 1001;
    static constexpr int kIdShowAll = 1004;
    static constexpr int kIdShowNeedingProgramming = 1006;
    static constexpr int kIdOpenInViewer = 1008;

    static constexpr char kFileName[] = "report.txt";
    // Font of the report text.
    static constexpr char kFontFamily[] = "Courier";
    static constexpr int kFontHeight = 12;

    // Takes the users from the CurrentUser (the caller has reloaded them)
    // and builds the report of all users; `now` decides which reminders
    // must be programmed again.
    ReportDlgLogic(const CurrentUser& user, RecordStore& store, const StringSource& strings,
                   UiHost& host, TimeValue now);

    int templateId() const override { return kTemplateId; }

    Text title() const;
    // Texts of the buttons (kIdShowAll, kIdShowNeedingProgramming,
    // kIdOpenInViewer and OK); empty for other ids.
    Text controlText(int controlId) const;

    UiHost& host() const { return host_; }
    const StringSource& strings() const { return strings_; }

    // The report now shown, lines ending in CR LF.
    const Text& reportText() const { return report_; }
    // Which list the report shows: all users, or those whose reminder must
    // be programmed again.
    Text listCaption() const;

    // kIdShowAll and kIdShowNeedingProgramming: rebuild the report from the user list.
    void showAll();
    void showNeedingProgramming();

    // kIdOpenInViewer: writes the report as Windows-1252 to "report.txt" in the
    // database's directory and opens it in the text viewer without
    // waiting. When the file cannot be written the person is told and
    // nothing is opened (an old file would show a stale report); false.
    bool openInViewer();
    // Writes the file only (replacing it whole, never half); false when
    // it could not be written.
    bool writeReportFile() const;
    std::filesystem::path reportFilePath() const;
    // The listed users as CSV with the BOM (see history_export.h): a
    // heading row, then per user name, identity code, the own reminder's
    // serial number, programming time and last alarm (yyyy-mm-dd hh:mm,
    // empty when none) and whether it must be programmed again.
    Text csvText() const;
    // Writes csvText() to `file`; tells the person when it fails.
    bool saveCsv(const std::filesystem::path& file);

    // ---- Formatting, usable without a dialog ----
    // Looks up the own reminder of a user; false when the user has none.
    using DeviceLookup = std::function<bool(int ownerId, DeviceRecord& record)>;
    // One row: name in 35 characters, ssn in 20, last alarm in 20,
    // programming time in 25, then CR LF. Widths count characters, and a
    // longer value is not cut: it pushes the following columns right.
    static Text formatRow(const Text& name, const Text& ssn, const Text& lastAlarm,
                          const Text& programmingTime);
    // "dd.mm.yyyy hh:mm", or "-" for 0.
    static Text formatTime(TimeValue t);
    // Only needing programming: users whose stored flag is set or whose own
    // reminder's last alarm is missing or less than 21 days after `now`,
    // the rule of the user panel.
    static Text buildReport(const std::vector<Profile>& users, bool onlyNeedingProgramming,
                            TimeValue now, const StringSource& strings,
                            const DeviceLookup& lookup);

private:
    void rebuild(bool onlyNeedingProgramming);
    // Whether a user's own reminder (or its absence) must be programmed
    // again at `now`.
    static bool needsProgramming(const Profile& p, const DeviceRecord& record, TimeValue now);

    // Every user's own reminder by owner, read once: the dialog is modal
    // and nothing it shows changes while it is open.
    std::map<int, DeviceRecord> ownReminders_;
    bool remindersLoaded_ = false;
    std::vector<Profile> users_;
    RecordStore& store_;
    const StringSource& strings_;
    UiHost& host_;
    Text report_;
    TimeValue now_;
    bool onlyNeeding_ = false;
};

// The programming report (the alarm time report of cmd::kPrintAlarmReport and of the
// programming result) in the program's own report window, where it is
// read, printed or saved as PDF: no outside text viewer is needed.
class AlarmReportDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 172;

    AlarmReportDlgLogic(Text report, const StringSource& strings, UiHost& host)
        : report_(std::move(report)), strings_(strings), host_(host) {}

    int templateId() const override { return kTemplateId; }
    Text title() const;
    // The report as built, lines ending in LF.
    const Text& reportText() const { return report_; }
    UiHost& host() const { return host_; }
    const StringSource& strings() const { return strings_; }

private:
    Text report_;
    const StringSource& strings_;
    UiHost& host_;
};

}  // namespace velmora
