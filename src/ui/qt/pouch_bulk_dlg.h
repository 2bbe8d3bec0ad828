#pragma once
// The pouch update of every user. While it runs it names the
// person whose data is being fetched above a progress bar, with Cancel;
// at the end it shows the outcome and the list of persons concerned.
#include <QDialog>

#include "ui/logic/pouch/pouch_bulk_dlg_logic.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace velmora {

class PouchBulkDlg : public QDialog {
    Q_OBJECT
public:
    // The run starts once the dialog's event loop runs.
    explicit PouchBulkDlg(PouchBulkDlgLogic& model, QWidget* parent = nullptr);
    ~PouchBulkDlg() override;

    void reject() override;

private:
    void sync();

    PouchBulkDlgLogic& model_;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* button_ = nullptr;
};

}  // namespace velmora
