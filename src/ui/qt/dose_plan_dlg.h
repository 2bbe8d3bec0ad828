#pragma once
// The dose plan dialog: weeks and the pharmacy's note, then the plan on
// paper, as PDF or as CSV.
#include <QDialog>

#include "ui/logic/plan/dose_plan_dlg_logic.h"
#include "ui/qt/document_output.h"

namespace velmora {

class DosePlanDlg : public QDialog {
    Q_OBJECT
public:
    explicit DosePlanDlg(DosePlanDlgLogic& model, QWidget* parent = nullptr);

    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }

    // The plan as printed and saved as PDF.
    PrintableDocument document() const;

private:
    DosePlanDlgLogic& model_;
};

}  // namespace velmora
