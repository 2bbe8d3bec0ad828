#pragma once
// The backup dialog's window: shows a BackupDlgLogic and hands its clicks
// back. The logic's service client delivers its replies to this window's
// event loop.
#include <QDialog>

#include "ui/logic/account/backup_dlg_logic.h"

class QLabel;
class QPushButton;

namespace velmora {

class BackupDlg : public QDialog {
    Q_OBJECT
public:
    // Creates the logic's client and asks for the latest backup's date.
    explicit BackupDlg(BackupDlgLogic& model, QWidget* parent = nullptr);
    // A request still out ends without a reply.
    ~BackupDlg() override;

    // "Sulje" and Esc end with 1 and 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

private:
    void showState();

    BackupDlgLogic& model_;
    QLabel* latest_ = nullptr;
    QPushButton* backup_ = nullptr;
    QPushButton* restore_ = nullptr;
};

}  // namespace velmora
