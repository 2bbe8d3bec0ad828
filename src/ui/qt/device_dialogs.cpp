#include "ui/qt/device_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

QFont boldOf(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

QPushButton* button(QWidget* parent, const Text& text, const char* name) {
    auto* b = new QPushButton(toQ(text), parent);
    b->setObjectName(name);
    b->setMinimumWidth(96);
    return b;
}

}  // namespace

EndableDialog::EndableDialog(EndableDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    model_.setEndListener([this](int result) { done(result); });
}

EndableDialog::~EndableDialog() { model_.setEndListener({}); }

void EndableDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const int pending = model_.takePendingEnd(); pending != 0) {
        QTimer::singleShot(0, this, [this, pending] { done(pending); });
    }
}

// ---- ProgramDlg ----

ProgramDlg::ProgramDlg(ProgramDlgLogic& model, QWidget* parent) : EndableDialog(model, parent), model_(model) {
    setObjectName("ProgramDlg");
    setWindowTitle(toQ(model_.title()));

    auto* instructions = new QLabel(toQ(model_.controlText(ProgramDlgLogic::kIdInstructions)), this);
    instructions->setObjectName("instructions");
    instructions->setWordWrap(true);
    instructions->setFont(boldOf(this));
    instructions->setMinimumWidth(340);

    date_ = new QLabel(this);
    date_->setObjectName("date");
    time_ = new QLabel(this);
    time_->setObjectName("time");
    date_->setFont(boldOf(this));
    time_->setFont(boldOf(this));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(toQ(model_.controlText(ProgramDlgLogic::kIdDateCaption)), this), 0, 0);
    grid->addWidget(date_, 0, 1);
    grid->addWidget(new QLabel(toQ(model_.controlText(ProgramDlgLogic::kIdTimeCaption)), this), 1, 0);
    grid->addWidget(time_, 1, 1);
    grid->setColumnStretch(1, 1);

    auto* program = button(this, model_.controlText(ProgramDlgLogic::kIdProgram), "program");
    program->setDefault(true);
    auto* cancel = button(this, model_.controlText(kIdCancel), "cancel");
    connect(program, &QPushButton::clicked, this, [this] { done(kIdOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(program);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(instructions);
    layout->addSpacing(10);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    refreshClock();
    timer_ = new QTimer(this);
    timer_->setInterval(ProgramDlgLogic::kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &ProgramDlg::refreshClock);
    timer_->start();
}

void ProgramDlg::refreshClock() {
    date_->setText(toQ(model_.dateText()));
    time_->setText(toQ(model_.timeText()));
}

void ProgramDlg::done(int result) {
    if (timer_) timer_->stop();
    EndableDialog::done(result);
}

// ---- ProgrammingFinishedDlg ----

ProgrammingFinishedDlg::ProgrammingFinishedDlg(ProgrammingFinishedDlgLogic& model, QWidget* parent)
    : EndableDialog(model, parent) {
    setObjectName("ProgrammingFinishedDlg");
    setWindowTitle(toQ(model.title()));
    auto* result = new QLabel(toQ(model.controlText(ProgrammingFinishedDlgLogic::kIdResult)), this);
    result->setObjectName("result");
    result->setWordWrap(true);
    result->setFont(boldOf(this));
    result->setMinimumWidth(300);

    auto* report = button(this, model.controlText(ProgrammingFinishedDlgLogic::kIdReport), "report");
    auto* close = button(this, model.controlText(ProgrammingFinishedDlgLogic::kIdClose), "close");
    close->setDefault(true);
    connect(report, &QPushButton::clicked, this, [this] { done(ProgrammingFinishedDlgLogic::kIdReport); });
    connect(close, &QPushButton::clicked, this, [this] { done(kIdOk); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(report);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(result);
    layout->addSpacing(14);
    layout->addLayout(buttons);
}

// ---- WaitProgramDlg ----

WaitProgramDlg::WaitProgramDlg(WaitProgramDlgLogic& model, QWidget* parent) : EndableDialog(model, parent) {
    setObjectName("WaitProgramDlg");
    setWindowTitle(toQ(model.title()));
    auto* message = new QLabel(toQ(model.controlText(WaitProgramDlgLogic::kIdMessage)), this);
    message->setObjectName("message");
    message->setFont(boldOf(this));
    message->setMinimumWidth(260);
    auto* cancel = button(this, model.controlText(kIdCancel), "cancel");
    connect(cancel, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(message);
    layout->addSpacing(14);
    layout->addLayout(buttons);
}

}  // namespace velmora
