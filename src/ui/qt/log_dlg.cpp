#include "ui/qt/log_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

namespace velmora {

LogDlg::LogDlg(LogDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("LogDlg");
    setWindowTitle(toQ(model_.title()));

    auto* list = new QListWidget(this);
    list->setObjectName("history");
    list->setSortingEnabled(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const Text& line : model_.lines()) list->addItem(toQ(line));
    // The newest entries are the ones looked for: they are in view at once.
    // Once laid out, when the scroll range is known.
    QTimer::singleShot(0, list, [list] { list->scrollToBottom(); });

    auto* totals = new QGroupBox(toQ(model_.controlText(LogDlgLogic::kIdTotalsFrame)), this);
    auto* grid = new QGridLayout(totals);
    struct Row {
        int caption;
        int value;
        const char* name;
    };
    const Row rows[] = {
        {LogDlgLogic::kIdTotalCaption, LogDlgLogic::kIdTotal, "total"},
        {LogDlgLogic::kIdAcknowledgedCaption, LogDlgLogic::kIdAcknowledged, "acknowledged"},
        {LogDlgLogic::kIdLateCaption, LogDlgLogic::kIdLate, "late"},
        {LogDlgLogic::kIdForgottenCaption, LogDlgLogic::kIdForgotten, "forgotten"},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* caption = new QLabel(toQ(model_.controlText(row.caption)), totals);
        auto* value = new QLabel(toQ(model_.numberText(row.value)), totals);
        value->setObjectName(row.name);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(48);
        grid->addWidget(caption, r, 0);
        grid->addWidget(value, r, 1);
        ++r;
    }
    grid->setColumnStretch(0, 1);

    auto* close = new QPushButton(toQ(model_.controlText(LogDlgLogic::kIdClose)), this);
    close->setObjectName("close");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &LogDlg::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(totals);
    side->addStretch(1);
    side->addWidget(close);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addLayout(side);
    list->setMinimumWidth(380);
    resize(620, 380);
}

}  // namespace velmora
