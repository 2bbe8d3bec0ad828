#pragma once
// Report window: shows a ReportDlgLogic's text table.
#include <QDialog>

#include "ui/logic/report_dlg_logic.h"

class QPlainTextEdit;

namespace velmora {

class ReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit ReportDlg(ReportDlgLogic& model, QWidget* parent = nullptr);

    // OK ends with 1, Esc with 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

private:
    void showReport();

    ReportDlgLogic& model_;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace velmora
