#pragma once
// The flows the program installs into its main window: one plain object per
// flow (alarm editing, the reminder, ...), each receiving only what it
// needs; this class routes the main window's requests to them.
#include "ui/logic/alarm_edit_flow.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

class ProgramFlows : public MainDlgFlows {
public:
    ProgramFlows() = default;
    ProgramFlows(const ProgramFlows&) = delete;
    ProgramFlows& operator=(const ProgramFlows&) = delete;

    // ---- Alarm editing (32877, 32879, 32878) ----
    void addAlarm(MainDlgLogic& main, const SYSTEMTIME& start) override {
        alarmEdit_.add(alarmEditContext(main), start);
    }
    void editAlarm(MainDlgLogic& main, const SYSTEMTIME& occurrence, const Alarm& alarm) override {
        alarmEdit_.edit(alarmEditContext(main), occurrence, alarm);
    }
    void deleteAlarm(MainDlgLogic& main, const SYSTEMTIME& occurrence, const Alarm& alarm) override {
        alarmEdit_.remove(alarmEditContext(main), occurrence, alarm);
    }

private:
    // The alarm editing works with the panel's medication window when the
    // reminder alarms only if the intake is forgotten, else with 600 s.
    AlarmEditContext alarmEditContext(MainDlgLogic& main) {
        const int window = main.panelProgramType() == 1 ? main.panelWindowSeconds() : 600;
        return {main.store(), main.host(), main.strings(), main.clock(), main.user(), window,
                [this, &main] {
                    recomputeProgrammingNeeded(main, main.user().window);
                    main.markMonthStale();
                    main.refresh();
                }};
    }
    AlarmEditFlow alarmEdit_;
};

}  // namespace velmora
