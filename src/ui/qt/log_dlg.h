#pragma once
// History window: shows a LogDlgLogic.
#include <QDialog>

#include "ui/logic/log_dlg_logic.h"

namespace velmora {

class LogDlg : public QDialog {
    Q_OBJECT
public:
    explicit LogDlg(LogDlgLogic& model, QWidget* parent = nullptr);

    // "Sulje" ends with 1, Esc with 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

private:
    LogDlgLogic& model_;
};

}  // namespace velmora
