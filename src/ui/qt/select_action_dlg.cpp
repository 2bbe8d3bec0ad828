#include "ui/qt/select_action_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {

SelectActionDlg::SelectActionDlg(SelectActionDlgLogic& model, QWidget* parent)
    : EndableDialog(model, parent) {
    setObjectName("SelectActionDlg");
    setWindowTitle(toQ(model.title()));

    auto* message = new QLabel(toQ(model.controlText(SelectActionDlgLogic::kIdMessage)), this);
    message->setWordWrap(true);
    message->setMinimumWidth(320);

    auto* create =
        new QPushButton(toQ(model.controlText(SelectActionDlgLogic::kIdCreateOrChoose)), this);
    create->setObjectName("createOrChoose");
    create->setDefault(true);
    auto* withoutUser =
        new QPushButton(toQ(model.controlText(SelectActionDlgLogic::kIdProgramWithoutUser)), this);
    withoutUser->setObjectName("programWithoutUser");
    connect(create, &QPushButton::clicked, this,
            [this] { done(SelectActionDlgLogic::resultOf(SelectActionDlgLogic::kIdCreateOrChoose)); });
    connect(withoutUser, &QPushButton::clicked, this, [this] {
        done(SelectActionDlgLogic::resultOf(SelectActionDlgLogic::kIdProgramWithoutUser));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(create);
    buttons->addWidget(withoutUser);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

}  // namespace velmora
