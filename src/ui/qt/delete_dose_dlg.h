#pragma once
// The question which doses of a repeating alarm are deleted.
#include <QDialog>

#include "ui/logic/calendar/delete_dose_dlg_logic.h"

namespace velmora {

// Ends with 1 (the model's choice holds the answer) or 2 (Esc, Cancel).
class DeleteDoseDlg : public QDialog {
    Q_OBJECT
public:
    DeleteDoseDlg(DeleteDoseDlgLogic& model, QWidget* parent = nullptr);
};

}  // namespace velmora
