#pragma once
// User management window: shows a ProfileDlgLogic and hands it the
// person's clicks and keys.
#include <QDialog>

#include "ui/logic/users/profile_dlg_logic.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

namespace velmora {

class ProfileDlg : public QDialog {
    Q_OBJECT
public:
    explicit ProfileDlg(ProfileDlgLogic& model, QWidget* parent = nullptr);
    ~ProfileDlg() override;

    // Ends with the model's results: kIdCreate created,
    // kIdChoose chosen, kIdCancel closed.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList();
    void applyFilter();
    // The model's entry index of a row; -1 for none.
    static int entryOf(const QTreeWidgetItem* item);
    void updateButtons();
    void onFocusChanged(QWidget* now);
    void finishIf(int result);
    void lookupChanged();

    ProfileDlgLogic& model_;
    QLineEdit* search_ = nullptr;
    QTreeWidget* list_ = nullptr;
    int sortColumn_ = -1;  // the stored order until a header is clicked
    Qt::SortOrder order_ = Qt::AscendingOrder;
    QPushButton* choose_ = nullptr;
    QPushButton* delete_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* ssn_ = nullptr;
    QLineEdit* phone_ = nullptr;
    QPushButton* create_ = nullptr;
    QPushButton* save_ = nullptr;  // the selected user's changed details
    QPushButton* lookup_ = nullptr;  // when the service is at hand
    QPushButton* close_ = nullptr;
    QMetaObject::Connection focusWatch_;
};

}  // namespace velmora
