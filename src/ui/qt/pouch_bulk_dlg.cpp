#include "ui/qt/pouch_bulk_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {

PouchBulkDlg::PouchBulkDlg(PouchBulkDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("PouchBulkDlg");
    setWindowTitle(toQ(model_.title()));
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setRange(0, model_.count());
    list_ = new QListWidget(this);
    list_->setObjectName("list");
    list_->setMinimumHeight(160);
    // Long names and reasons wrap instead of running off to the right.
    list_->setWordWrap(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setResizeMode(QListView::Adjust);
    list_->hide();
    button_ = new QPushButton(this);
    button_->setObjectName("button");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(button_, &QPushButton::clicked, this, &PouchBulkDlg::reject);
    model_.setListener([this] { sync(); });
    sync();
    QTimer::singleShot(0, this, [this] { model_.start(); });
}

PouchBulkDlg::~PouchBulkDlg() { model_.setListener(nullptr); }

void PouchBulkDlg::reject() {
    if (const int result = model_.cancel()) done(result);
}

void PouchBulkDlg::sync() {
    status_->setText(toQ(model_.statusText()));
    progress_->setValue(model_.done());
    button_->setText(toQ(model_.buttonText()));
    if (!model_.finished()) return;
    progress_->hide();
    list_->clear();
    for (const Text& line : model_.resultLines()) list_->addItem(toQ(line));
    list_->setVisible(list_->count() > 0);
    adjustSize();
}

}  // namespace velmora
