#pragma once
// History dialog: the current user's acknowledgement log, one line per
// logged alarm, and four totals. The dialog changes nothing.
#include <vector>

#include "core/interaction.h"
#include "core/records.h"
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

    // Reads the user's history once; the dialog keeps only its lines and
    // counters.
    LogDlgLogic(const CurrentUser& user, const StringSource& strings);

    int templateId() const override { return kTemplateId; }

    Text title() const;
    // The text of a captioned control (frame, the four captions, the
    // close button); empty for other ids.
    Text controlText(int controlId) const;

    // One line per log entry in ascending alarm time.
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

private:
    const StringSource& strings_;
    std::vector<Text> lines_;
    int total_ = 0;
    int acknowledged_ = 0;
    int late_ = 0;
    int forgotten_ = 0;
};

}  // namespace velmora
