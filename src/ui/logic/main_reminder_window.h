#pragma once
// The main window's logic as the reminder commands see it.
#include "ui/logic/main_dlg_logic.h"
#include "ui/logic/reminder/reminder_context.h"

namespace velmora {

class MainReminderWindow final : public ReminderWindow {
public:
    explicit MainReminderWindow(MainDlgLogic& main) : m_(main) {}
    void setBusy(bool busy) override { m_.setBusy(busy); }
    void setStatusText(const Text& text) override { m_.setStatusText(text); }
    void setReminderConnected(bool connected, std::uint32_t serial) override {
        m_.setReminderConnected(connected, serial);
    }
    bool reminderConnected() const override { return m_.reminderConnected(); }
    void setProgrammingInProgress(bool v) override { m_.setProgrammingInProgress(v); }
    void reminderRemoved() override { m_.reminderRemoved(); }
    void savePanelState() override { m_.savePanelState(); }
    int panelWindowSeconds() const override { return m_.panelWindowSeconds(); }
    void refreshPanel() override { m_.refreshPanel(); }
    void refreshAll() override {
        m_.markMonthStale();
        m_.refresh();
    }
    void noticeCutTexts() override { m_.noticeCutTexts(); }
    void closeUser() override { m_.closeUser(); }
    void userManagement() override { m_.userManagement(); }
    void setNoUserProfile(bool v) override { m_.setNoUserProfile(v); }
    bool noUserProfile() const override { return m_.noUserProfile(); }

private:
    MainDlgLogic& m_;
};

}  // namespace velmora
