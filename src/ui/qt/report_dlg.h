#pragma once
// Report windows: a ReportDlgLogic's text table, and the programming report.
#include <QDialog>

#include "ui/logic/reports/report_dlg_logic.h"
#include "ui/qt/document_output.h"

class QLabel;
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
    QLabel* list_ = nullptr;  // which list the text shows
};

// The programming report's window: the report, Print and Save as PDF.
class AlarmReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit AlarmReportDlg(AlarmReportDlgLogic& model, QWidget* parent = nullptr);

    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

    PrintableDocument document() const;

private:
    AlarmReportDlgLogic& model_;
};

}  // namespace velmora
