#pragma once
// The work list as a dock of the main window: the two day choices above a
// sortable table of the users WorkListLogic lists. Double click or Enter
// on a row chooses that person.
#include <QAbstractTableModel>
#include <QDockWidget>

#include "core/interaction.h"
#include "ui/logic/worklist/work_list.h"

class QSpinBox;
class QTableView;

namespace velmora {

// The logic's rows as a table; sorting goes to the logic.
class WorkListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit WorkListModel(WorkListLogic& logic, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // The logic's rows changed.
    void rowsChanged();

private:
    WorkListLogic& logic_;
};

class WorkListDock : public QDockWidget {
    Q_OBJECT
public:
    WorkListDock(WorkListLogic& logic, const StringSource& strings, QWidget* parent = nullptr);
    ~WorkListDock() override;
    QTableView* table() const { return table_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void sync();
    // The header's indicator shows the logic's sort column and order.
    void showSortOrder();

    WorkListLogic& logic_;
    WorkListModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QSpinBox* runsOutDays_ = nullptr;
    QSpinBox* logDays_ = nullptr;
};

}  // namespace velmora
