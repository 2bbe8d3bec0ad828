#pragma once
// The alarm dialog's window: date and time pickers, the repeat list,
// "Toistaiseksi" and the description. It shows an AlarmDlgLogic and hands
// it every change; the logic decides what is enabled and what OK does.
#include <QDialog>

#include "ui/logic/calendar/alarm_dlg_logic.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QPlainTextEdit;
class QTimeEdit;

namespace velmora {

class AlarmDlg : public QDialog {
    Q_OBJECT
public:
    explicit AlarmDlg(AlarmDlgLogic& model, QWidget* parent = nullptr);

    // OK: the logic checks; the dialog ends with 1 only when it accepts.
    void accept() override;
    void reject() override { done(kIdCancel); }

private:
    // Shows the logic's pickers, list, check box and enabled states.
    void showModel();

    AlarmDlgLogic& model_;
    QDateEdit* startDate_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QComboBox* repeat_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    QCheckBox* foreverBox_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

}  // namespace velmora
