#pragma once
// History window: shows a LogDlgLogic: the list, the adherence figures and
// the chronology chart as pages, the totals, the period and the print and
// export buttons beside them.
#include <QDialog>
#include <utility>
#include <vector>

#include "ui/logic/history/log_dlg_logic.h"
#include "ui/qt/document_output.h"

class QGridLayout;
class QLabel;
class QListView;
class QScrollArea;
class QTabWidget;
class QTableWidget;

namespace velmora {

class ChronologyView;
class TextLinesModel;

class LogDlg : public QDialog {
    Q_OBJECT
public:
    explicit LogDlg(LogDlgLogic& model, QWidget* parent = nullptr);

    // "Sulje" ends with 1, Esc with 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

    // The history as printed and saved as PDF.
    PrintableDocument document() const;

private:
    // The list, the totals, the adherence page and the chart of the
    // model's period.
    void showPeriod();

    LogDlgLogic& model_;
    TextLinesModel* lines_ = nullptr;
    QListView* list_ = nullptr;
    std::vector<std::pair<int, QLabel*>> totals_;  // number label by control id
    QTabWidget* pages_ = nullptr;
    QTableWidget* adherence_ = nullptr;
    QGridLayout* summary_ = nullptr;
    ChronologyView* chart_ = nullptr;
    QScrollArea* chartScroll_ = nullptr;
};

}  // namespace velmora
