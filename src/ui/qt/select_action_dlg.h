#pragma once
// The question shown when an attached reminder belongs to nobody.
#include <QDialog>

#include "ui/logic/select_action_dlg_logic.h"

namespace velmora {

class SelectActionDlg : public QDialog {
    Q_OBJECT
public:
    explicit SelectActionDlg(SelectActionDlgLogic& model, QWidget* parent = nullptr);
    ~SelectActionDlg() override;

    // Ends with 1 (create or choose a user), 1000 (program without a user)
    // or 2 (Esc, or ended from outside).
    void reject() override { done(kIdCancel); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    SelectActionDlgLogic& model_;
};

}  // namespace velmora
