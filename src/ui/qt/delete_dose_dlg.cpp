#include "ui/qt/delete_dose_dlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/qt/qt_host.h"

namespace velmora {

DeleteDoseDlg::DeleteDoseDlg(DeleteDoseDlgLogic& model, QWidget* parent) : QDialog(parent) {
    setObjectName("DeleteDoseDlg");
    setWindowTitle(toQ(model.title()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(toQ(model.question()), this));
    auto* group = new QButtonGroup(this);
    for (DoseDeletion which :
         {DoseDeletion::ThisDose, DoseDeletion::ThisAndLater, DoseDeletion::WholeSeries}) {
        auto* choice = new QRadioButton(toQ(model.choiceText(which)), this);
        choice->setChecked(which == model.choice);
        group->addButton(choice, static_cast<int>(which));
        layout->addWidget(choice);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [&model](int id) { model.choice = static_cast<DoseDeletion>(id); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(toQ(model.strings().load(ids::kOk)));
    buttons->button(QDialogButtonBox::Cancel)->setText(toQ(model.strings().load(ids::kCancel)));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(kIdOk); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(kIdCancel); });
    layout->addWidget(buttons);
}

}  // namespace velmora
