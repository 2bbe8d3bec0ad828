#pragma once
// The alarm dialog (CAddTimeDlg): start, repetition, end and description
// of a new or edited alarm, the rules that tie the fields together while
// it is open, and the checks made on OK, the last of which keeps the
// medication window between the alarms.
#include <optional>
#include <vector>

#include "core/clock.h"
#include "core/daylight.h"
#include "core/interaction.h"
#include "core/records.h"
#include "ui/logic/ui_host.h"

namespace velmora {

class AlarmDlgLogic : public DialogModel {
public:
    static constexpr int kTemplateId = 147;

    // Controls of the dialog.
    static constexpr int kIdStartFrame = 1000;
    static constexpr int kIdStartDate = 57714;
    static constexpr int kIdStartTime = 57708;
    static constexpr int kIdRepeatCaption = 1003;
    static constexpr int kIdRepeatList = 57718;
    static constexpr int kIdEndFrame = 1002;
    static constexpr int kIdEndDate = 57715;
    static constexpr int kIdEndTime = 57716;
    static constexpr int kIdForever = 57713;
    static constexpr int kIdDescriptionFrame = 1004;
    static constexpr int kIdDescription = 1001;

    // The repeat list offers the patterns 0 (single) to 6 (weekly).
    static constexpr int kRepeatEntries = 7;
    // Display formats of the date and time pickers.
    static constexpr char kDateFormat[] = "dd.MM.yyyy";
    static constexpr char kTimeFormat[] = "HH:mm";

    // How the dialog opens.
    struct Setup {
        bool editing = false;
        SYSTEMTIME start{};
        SYSTEMTIME end{};  // shown only for a repeating alarm with an end
        int repeatPattern = 1;
        bool repeatForever = true;
        int window = 600;  // seconds the alarms keep between them (plus 300)
        Text description;
    };

    // `others` are the user's alarms as they stand beside the dialog's
    // alarm once it is stored: for an edit, without the edited occurrence
    // and the days after it. The spacing rule is checked against them.
    AlarmDlgLogic(const Setup& setup, std::vector<Alarm> others, const StringSource& strings,
                  Interaction& person, const Clock& clock, const DaylightTable& daylight);

    int templateId() const override { return kTemplateId; }

    Text title() const;  // ids::kAddAlarmTitle or ids::kEditAlarmTitle
    // Texts of the frames, captions, check box and buttons; empty for others.
    Text controlText(int controlId) const;
    // Text of entry `index` of the repeat list.
    Text repeatText(int index) const;

    // ---- The pickers; nullopt when a picker holds no valid value ----
    // Dates are read from year, month and day, times from hour and minute.
    const std::optional<SYSTEMTIME>& startDate() const { return startDate_; }
    const std::optional<SYSTEMTIME>& startTime() const { return startTime_; }
    const std::optional<SYSTEMTIME>& endDate() const { return endDate_; }
    const std::optional<SYSTEMTIME>& endTime() const { return endTime_; }
    // A new start date pulls an earlier end date up to it; a new start
    // time pulls an earlier end time up to it.
    void setStartDate(const std::optional<SYSTEMTIME>& date);
    void setStartTime(const std::optional<SYSTEMTIME>& time);
    void setEndDate(const std::optional<SYSTEMTIME>& date) { endDate_ = date; }
    void setEndTime(const std::optional<SYSTEMTIME>& time) { endTime_ = time; }

    // ---- Repetition and "Toistaiseksi" ----
    // The selected entry of the repeat list; -1 for a pattern the list
    // does not offer (a pouch alarm every other week).
    int repeatSelection() const { return pattern_ < kRepeatEntries ? pattern_ : -1; }
    int repeatPattern() const { return pattern_; }
    // Choosing single turns "Toistaiseksi" off and disables it; choosing
    // a repetition turns it on.
    void chooseRepeat(int index);
    bool repeatsForever() const { return forever_; }
    void setRepeatsForever(bool on);
    bool foreverEnabled() const { return pattern_ != 0; }
    bool endEnabled() const { return pattern_ != 0 && !forever_; }

    Text description;

    // OK: checks the fields in order and shows the first failure (the
    // dialog stays open, 0). kIdOk when the alarm is accepted; `result`
    // then holds its start, end, repetition and description.
    int accept();
    const Alarm& result() const { return result_; }

private:
    // Shows the failure; 0, the dialog stays open.
    int refuse(int stringId);

    std::vector<Alarm> others_;
    const StringSource& strings_;
    Interaction& person_;
    const Clock& clock_;
    const DaylightTable& daylight_;
    bool editing_;
    int window_;

    std::optional<SYSTEMTIME> startDate_, startTime_, endDate_, endTime_;
    int pattern_;
    bool forever_;
    Alarm result_;
};

}  // namespace velmora
