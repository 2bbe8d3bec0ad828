#pragma once
// Windows of the reminder flows' dialogs: the clock check before
// programming, the programming result and the wait for the spare reminder.
#include <QDialog>

#include "ui/logic/reminder/device_dialogs_logic.h"

class QLabel;
class QTimer;

namespace velmora {

// Ends itself when its model is ended from outside.
class EndableDialog : public QDialog {
    Q_OBJECT
public:
    EndableDialog(EndableDialogModel& model, QWidget* parent);
    ~EndableDialog() override;
    void reject() override { done(kIdCancel); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    EndableDialogModel& model_;
};

class ProgramDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit ProgramDlg(ProgramDlgLogic& model, QWidget* parent = nullptr);
    // Shows the clock again (the timer calls it every second).
    void refreshClock();
    void done(int result) override;

private:
    ProgramDlgLogic& model_;
    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer* timer_ = nullptr;
};

class ProgrammingFinishedDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit ProgrammingFinishedDlg(ProgrammingFinishedDlgLogic& model, QWidget* parent = nullptr);
};

class WaitProgramDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit WaitProgramDlg(WaitProgramDlgLogic& model, QWidget* parent = nullptr);
};

}  // namespace velmora
