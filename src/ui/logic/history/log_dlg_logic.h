#pragma once
// History dialog: the current user's acknowledgement log, one line per
// logged alarm, and four totals; beside them the adherence figures and the
// chronology chart of a chosen period, which can be printed and exported.
// The dialog changes nothing.
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
#include "ui/logic/history/adherence.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class LogDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 150;

    // Control ids of the dialog.
    static constexpr int kIdList = 1008;
    static constexpr int kIdTotalsFrame = 1000;
    static constexpr int kIdTotalCaption = 1001;
    static constexpr int kIdTotal = 1006;
    static constexpr int kIdAcknowledgedCaption = 1002;
    static constexpr int kIdAcknowledged = 1005;
    static constexpr int kIdLateCaption = 1011;
    static constexpr int kIdLate = 1010;
    static constexpr int kIdForgottenCaption = 1003;
    static constexpr int kIdForgotten = 1004;
    static constexpr int kIdClose = kIdOk;

    // The lines, the counters and the adherence figures are those of the
    // chosen period, at first the last 30 days up to `now` (0: no instant
    // given, nothing is due and the list holds every entry). The user
    // outlives the dialog.
    // `person` hears of exports that could not be written.
    LogDlgLogic(const CurrentUser& user, const StringSource& strings, TimeValue now = 0,
                Interaction* person = nullptr);

    int templateId() const override { return kTemplateId; }

    Text title() const;
    // The text of a captioned control (frame, the four captions, the
    // close button); empty for other ids.
    Text controlText(int controlId) const;

    // One line per log entry of the period in ascending alarm time.
    const std::vector<Text>& lines() const { return lines_; }

    int total() const { return total_; }
    int acknowledged() const { return acknowledged_; }
    int acknowledgedLate() const { return late_; }
    int forgotten() const { return forgotten_; }
    // The value shown in one of the four number labels, as plain decimal.
    Text numberText(int controlId) const;

    // The status word of a log status; empty outside 1 to 5.
    static Text statusWord(int logStatus, const StringSource& strings);
    // "dd.mm.yyyy hh:mm - word[: dd.mm.yyyy hh:mm]".
    static Text formatLine(const LogEntry& entry, const StringSource& strings);

    // ---- The period: list, totals and adherence figures ----
    void setPeriod(AdherencePeriod period);
    AdherencePeriod period() const { return period_; }
    const PeriodDays& periodDays() const { return days_; }
    const Adherence& adherence() const { return adherence_; }
    const std::map<TimeValue, LogEntry>& history() const { return history_; }
    const Text& userName() const { return name_; }
    TimeValue now() const { return now_; }
    const StringSource& strings() const { return strings_; }
    // Writes an export (CSV or PDF bytes) to `file`; false, and the person
    // told, when it could not be written.
    bool saveExport(const std::filesystem::path& file, std::string_view bytes) const;
    // The chooser's entries, in AdherencePeriod order.
    std::vector<Text> periodNames() const;
    // The figures as a table: a heading row, then one row for all doses and
    // one per time-of-day slot (caption, due, taken, on time, late,
    // forgotten, taken %, on time %).
    std::vector<std::vector<Text>> adherenceTable() const;
    // The other figures as caption and value rows.
    std::vector<std::pair<Text, Text>> adherenceSummary() const;
    // "87 %"; "-" when nothing was due.
    static Text percentText(double percent, int due);
    // Whole minutes, rounded half away from zero, with the minutes word.
    static Text minutesText(int seconds, const StringSource& strings);

private:
    const StringSource& strings_;
    const std::map<TimeValue, LogEntry>& history_;
    Text name_;
    TimeValue now_ = 0;
    Interaction* person_ = nullptr;
    AdherencePeriod period_ = AdherencePeriod::Last30Days;
    PeriodDays days_;
    Adherence adherence_;
    std::vector<Text> lines_;
    int total_ = 0;
    int acknowledged_ = 0;
    int late_ = 0;
    int forgotten_ = 0;
};

}  // namespace velmora
