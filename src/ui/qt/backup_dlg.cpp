#include "ui/qt/backup_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {

BackupDlg::BackupDlg(BackupDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("BackupDlg");
    setWindowTitle(toQ(model_.title()));

    auto* caption = new QLabel(toQ(model_.controlText(BackupDlgLogic::kIdLatestCaption)), this);
    caption->setObjectName("latestBackupCaption");
    latest_ = new QLabel(this);
    latest_->setObjectName("latestBackup");
    QFont bold = latest_->font();
    bold.setBold(true);
    latest_->setFont(bold);

    backup_ = new QPushButton(toQ(model_.controlText(BackupDlgLogic::kIdBackup)), this);
    backup_->setObjectName("backup");
    restore_ = new QPushButton(toQ(model_.controlText(BackupDlgLogic::kIdRestore)), this);
    restore_->setObjectName("restore");
    auto* close = new QPushButton(toQ(model_.controlText(kIdOk)), this);
    close->setObjectName("close");
    close->setDefault(true);
    for (QPushButton* b : {backup_, restore_}) b->setAutoDefault(false);

    connect(backup_, &QPushButton::clicked, this, [this] { model_.backup(); });
    connect(restore_, &QPushButton::clicked, this, [this] { model_.restore(); });
    connect(close, &QPushButton::clicked, this, &BackupDlg::accept);

    auto* date = new QHBoxLayout;
    date->addWidget(caption);
    date->addWidget(latest_, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(backup_);
    actions->addWidget(restore_);
    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    closing->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(date);
    layout->addSpacing(10);
    layout->addLayout(actions);
    layout->addSpacing(10);
    layout->addLayout(closing);
    setMinimumWidth(360);

    model_.setChangeListener([this] { showState(); });
    model_.initialise();
    showState();
}

BackupDlg::~BackupDlg() {
    model_.setChangeListener(nullptr);
    model_.close();
}

void BackupDlg::showState() {
    latest_->setText(toQ(model_.latestBackup()));
    backup_->setEnabled(model_.backupEnabled());
    restore_->setEnabled(model_.restoreEnabled());
    if (model_.waiting()) setCursor(Qt::WaitCursor);
    else unsetCursor();
}

}  // namespace velmora
