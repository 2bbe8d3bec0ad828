#include "ui/qt/select_action_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {
QString q(const Text& t) { return QString::fromStdString(t); }
}  // namespace

SelectActionDlg::SelectActionDlg(SelectActionDlgLogic& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("SelectActionDlg");
    setWindowTitle(q(model_.title()));

    auto* message = new QLabel(q(model_.controlText(SelectActionDlgLogic::kIdMessage)), this);
    message->setWordWrap(true);
    message->setMinimumWidth(320);

    auto* create =
        new QPushButton(q(model_.controlText(SelectActionDlgLogic::kIdCreateOrChoose)), this);
    create->setObjectName("createOrChoose");
    create->setDefault(true);
    auto* withoutUser =
        new QPushButton(q(model_.controlText(SelectActionDlgLogic::kIdProgramWithoutUser)), this);
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

    // The main window may end this dialog when the reminder goes away.
    model_.setEndListener([this](int result) { done(result); });
}

SelectActionDlg::~SelectActionDlg() { model_.setEndListener({}); }

void SelectActionDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const int pending = model_.takePendingEnd(); pending != 0) {
        // Ended before it was shown: close as soon as the loop runs.
        QTimer::singleShot(0, this, [this, pending] { done(pending); });
    }
}

}  // namespace velmora
