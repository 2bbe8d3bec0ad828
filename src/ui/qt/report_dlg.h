#pragma once
// Report window: shows a ReportDlgLogic's text table.
#include <QDialog>

#include "ui/logic/report_dlg_logic.h"
#include "ui/qt/document_output.h"

class QListView;

namespace velmora {

class TextLinesModel;

class ReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit ReportDlg(ReportDlgLogic& model, QWidget* parent = nullptr);

    // OK ends with 1, Esc with 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

    // The table as printed and saved as PDF.
    PrintableDocument document() const;

private:
    void showReport();

    ReportDlgLogic& model_;
    TextLinesModel* lines_ = nullptr;
    QListView* text_ = nullptr;
};

}  // namespace velmora
