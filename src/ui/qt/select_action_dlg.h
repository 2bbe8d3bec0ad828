#pragma once
// The question shown when an attached reminder belongs to nobody.
#include "ui/logic/reminder/select_action_dlg_logic.h"
#include "ui/qt/device_dialogs.h"

namespace velmora {

// Ends with 1 (create or choose a user), 1000 (program without a user)
// or 2 (Esc, or ended from outside).
class SelectActionDlg : public EndableDialog {
    Q_OBJECT
public:
    explicit SelectActionDlg(SelectActionDlgLogic& model, QWidget* parent = nullptr);
};

}  // namespace velmora
