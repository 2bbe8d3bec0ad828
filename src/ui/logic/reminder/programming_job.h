#pragma once
// Programming the current user's alarms into the reminder: the job (clock
// check once per run, the pass on the user's own reminder, the report, the
// spare offer), one pass with what it stores, and the alarm-time report.
#include "device/programming_pass.h"
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/reminder_session.h"

namespace velmora {

class ProgrammingJob {
public:
    explicit ProgrammingJob(ReminderSession& session) : s_(session) {}

    // "Ohjelmoi laite" after the main window's checks; also the pouch flow.
    void run(MainDlgLogic& main);
    // One pass on the connected reminder, the user's own (true) or a spare;
    // stores the reminder's record and the user's settings only after the
    // whole table was written. A failed pass leaves the user needing
    // programming.
    bool programReminder(MainDlgLogic& main, bool own);
    // 40002: the user's stored report in the text viewer.
    static void printAlarmReport(MainDlgLogic& main);

private:
    void finished(MainDlgLogic& main);
    void offerSpare(MainDlgLogic& main, std::uint32_t ownSerial);
    // Before a pass writes the connected reminder: the log of a spare or of
    // another person's reminder is read and stored for its owner first;
    // false when the person does not want another person's reminder taken
    // over or its log lost. On Yes that owner's own reminder must be
    // programmed again.
    bool mayWriteConnected(MainDlgLogic& main, bool spare);
    // True when the connected reminder's log may be cleared (asks when it
    // was not read or could not be stored).
    bool logMayBeCleared(MainDlgLogic& main);
    static void openReport(MainDlgLogic& main, const Text& report);

    ReminderSession& s_;
    LinkStep failedStep_ = LinkStep::None;  // of the last pass
};

}  // namespace velmora
