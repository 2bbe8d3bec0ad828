#pragma once
// The about box: program name, version and the maker's home page.
#include <QDialog>

#include "ui/logic/about_dlg_logic.h"

namespace velmora {

class AboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit AboutDlg(AboutDlgLogic& model, QWidget* parent = nullptr);
    // OK ends with 1, Esc with 2.
    void accept() override { done(kIdOk); }
    void reject() override { done(kIdCancel); }
};

}  // namespace velmora
