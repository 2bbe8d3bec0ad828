#include "ui/qt/work_list_dock.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/qt/qt_host.h"

namespace velmora {

WorkListModel::WorkListModel(WorkListLogic& logic, QObject* parent) : QAbstractTableModel(parent), logic_(logic) {}

int WorkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(logic_.rows().size());
}

int WorkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : WorkListLogic::kColumnCount;
}

QVariant WorkListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return toQ(logic_.cellText(index.row(), index.column()));
}

QVariant WorkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return toQ(logic_.columnTitle(section));
}

void WorkListModel::sort(int column, Qt::SortOrder order) {
    logic_.sort(column, order == Qt::AscendingOrder);
}

void WorkListModel::rowsChanged() {
    beginResetModel();
    endResetModel();
}

WorkListDock::WorkListDock(WorkListLogic& logic, const StringSource& strings, QWidget* parent)
    : QDockWidget(toQ(strings.load(ids::kWorkListTitle)), parent), logic_(logic) {
    setObjectName("workListDock");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 4, 6, 6);
    auto* choices = new QHBoxLayout;
    auto spin = [&](const char* name, int textId, int value) {
        auto* box = new QSpinBox(body);
        box->setObjectName(name);
        box->setRange(WorkListOptions::kMinDays, WorkListOptions::kMaxDays);
        box->setValue(value);
        auto* label = new QLabel(toQ(strings.load(textId)), body);
        label->setBuddy(box);
        choices->addWidget(label);
        choices->addWidget(box);
        choices->addSpacing(12);
        return box;
    };
    runsOutDays_ = spin("workListRunsOutDays", ids::kWorkListRunsOutDays, logic_.options().runsOutDays);
    logDays_ = spin("workListLogDays", ids::kWorkListLogDays, logic_.options().logDays);
    choices->addStretch(1);
    layout->addLayout(choices);

    model_ = new WorkListModel(logic_, this);
    table_ = new QTableView(body);
    table_->setObjectName("workList");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Rows of one height: the view lays out only those in sight.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(WorkListLogic::kColumnName, 220);
    table_->setColumnWidth(WorkListLogic::kColumnSsn, 130);
    table_->setColumnWidth(WorkListLogic::kColumnRunsOut, 140);
    // The logic's order first: enabling sorting sorts by the indicator.
    showSortOrder();
    table_->setSortingEnabled(true);
    // A few rows stay in sight however small the window is.
    table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                             6 * table_->verticalHeader()->defaultSectionSize());
    layout->addWidget(table_, 1);
    setWidget(body);

    // Double click and Enter both activate the row.
    connect(table_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { logic_.choose(index.row()); });
    auto changed = [this] { logic_.setOptions({runsOutDays_->value(), logDays_->value()}); };
    connect(runsOutDays_, &QSpinBox::valueChanged, this, changed);
    connect(logDays_, &QSpinBox::valueChanged, this, changed);
    logic_.setListener([this] { sync(); });
    setVisible(logic_.visible());
}

WorkListDock::~WorkListDock() { logic_.setListener({}); }

void WorkListDock::showSortOrder() {
    QHeaderView* header = table_->horizontalHeader();
    const QSignalBlocker quiet(header);
    header->setSortIndicator(logic_.sortColumn(), logic_.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void WorkListDock::sync() {
    model_->rowsChanged();
    if (const int row = logic_.chosenRow(); row >= 0) table_->setCurrentIndex(model_->index(row, 0));
    showSortOrder();
    if (isVisible() == logic_.visible()) return;
    setVisible(logic_.visible());
    // The window grows rather than cutting the calendar and the panel.
    if (QWidget* w = window(); w != this && isVisible() && !w->isMaximized())
        w->resize(w->size().expandedTo(w->minimumSizeHint()));
}

void WorkListDock::keyPressEvent(QKeyEvent* event) {
    // Enter chose a row (or ended a day choice) and Escape has nothing to
    // end here: neither may reach the window, where they end the program.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: event->accept(); return;
        default: QDockWidget::keyPressEvent(event);
    }
}

void WorkListDock::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    logic_.setVisible(false);
}

}  // namespace velmora
