#pragma once
// The calendar views' requests, answered by the main window's logic.
#include "ui/logic/calendar/calendar_view.h"
#include "ui/logic/main_dlg_logic.h"

namespace velmora {

class MainDlgCalendarRequests final : public CalendarRequests {
public:
    explicit MainDlgCalendarRequests(MainDlgLogic& main) : main_(main) {}
    void occurrences(const SYSTEMTIME& from, const SYSTEMTIME& to,
                     std::vector<AlarmOccurrence>& out) const override {
        main_.occurrences(from, to, out);
    }
    const std::map<TimeValue, LogEntry>& acknowledgementLog() const override { return main_.user().history; }
    void setDate(const SYSTEMTIME& date) override { main_.setDate(date); }
    void selectTab(int index) override { main_.selectTab(index); }
    void addAlarm(const SYSTEMTIME& start) override { main_.addAlarm(start); }
    void editAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) override { main_.editAlarm(occurrence, alarm); }
    void deleteAlarm(const SYSTEMTIME& occurrence, const Alarm& alarm) override {
        main_.deleteAlarm(occurrence, alarm);
    }

private:
    MainDlgLogic& main_;
};

}  // namespace velmora
