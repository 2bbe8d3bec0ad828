#include "ui/qt/profile_dlg.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QTreeWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {
bool isEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
}  // namespace

ProfileDlg::ProfileDlg(ProfileDlgLogic& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("ProfileDlg");
    setWindowTitle(toQ(model_.title()));

    auto* listFrame = boldFrame(toQ(model_.controlText(ProfileDlgLogic::kIdListFrame)), this);
    // Pharmacies keep hundreds of people: a search field that filters as
    // one types, the identity code in a column of its own (a long name
    // never hides it), and the stored order until a column header is
    // clicked.
    search_ = new QLineEdit(listFrame);
    search_->setObjectName("search");
    search_->setPlaceholderText(toQ(model_.controlText(ProfileDlgLogic::kIdSearch)));
    search_->setClearButtonEnabled(true);
    list_ = new QTreeWidget(listFrame);
    list_->setObjectName("list");
    list_->setAccessibleName(listFrame->title());
    list_->setColumnCount(2);
    list_->setHeaderLabels({toQ(model_.controlText(ProfileDlgLogic::kIdNameColumn)),
                            toQ(model_.controlText(ProfileDlgLogic::kIdSsnColumn))});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSortingEnabled(false);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(false);
    list_->setMinimumHeight(180);
    choose_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdChoose)), listFrame);
    choose_->setObjectName("choose");
    delete_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdDelete)), listFrame);
    delete_->setObjectName("delete");
    for (QWidget* w : std::initializer_list<QWidget*>{search_, list_, choose_, delete_})
        plainFont(w, this);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(choose_);
    listButtons->addWidget(delete_);
    listButtons->addStretch(1);
    auto* listLayout = new QVBoxLayout(listFrame);
    listLayout->addWidget(search_);
    listLayout->addWidget(list_);
    listLayout->addLayout(listButtons);

    auto* newFrame = boldFrame(toQ(model_.controlText(ProfileDlgLogic::kIdNewFrame)), this);
    name_ = new QLineEdit(newFrame);
    name_->setObjectName("name");
    ssn_ = new QLineEdit(newFrame);
    ssn_->setObjectName("ssn");
    phone_ = new QLineEdit(newFrame);
    phone_->setObjectName("phone");
    create_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdCreate)), newFrame);
    create_->setObjectName("create");
    save_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdSaveChanges)), newFrame);
    save_->setObjectName("saveChanges");
    save_->setAutoDefault(false);
    auto* nameCaption = new QLabel(toQ(model_.controlText(ProfileDlgLogic::kIdNameCaption)), newFrame);
    auto* ssnCaption = new QLabel(toQ(model_.controlText(ProfileDlgLogic::kIdSsnCaption)), newFrame);
    auto* phoneCaption =
        new QLabel(toQ(model_.controlText(ProfileDlgLogic::kIdPhoneCaption)), newFrame);
    for (QWidget* w : std::initializer_list<QWidget*>{name_, ssn_, phone_, create_, save_, nameCaption,
                                                      ssnCaption, phoneCaption})
        plainFont(w, this);
    nameCaption->setBuddy(name_);
    ssnCaption->setBuddy(ssn_);
    phoneCaption->setBuddy(phone_);
    auto* form = new QFormLayout;
    form->addRow(nameCaption, name_);
    form->addRow(ssnCaption, ssn_);
    form->addRow(phoneCaption, phone_);
    auto* createRow = new QHBoxLayout;
    if (model_.lookupOffered()) {
        lookup_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdLookup)), newFrame);
        lookup_->setObjectName("lookup");
        lookup_->setAutoDefault(false);
        plainFont(lookup_, this);
        createRow->addWidget(lookup_);
    }
    createRow->addStretch(1);
    createRow->addWidget(save_);
    createRow->addWidget(create_);
    auto* newLayout = new QVBoxLayout(newFrame);
    newLayout->addLayout(form);
    newLayout->addLayout(createRow);

    close_ = new QPushButton(toQ(model_.controlText(ProfileDlgLogic::kIdClose)), this);
    close_->setObjectName("close");
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listFrame, 1);
    layout->addWidget(newFrame);
    layout->addLayout(bottom);
    setMinimumWidth(380);

    // Enter in the list and in the fields is handled here, not by QDialog's
    // default button: in the list it chooses, in the name and ssn fields it
    // moves on, in the phone field it creates. The default button shows
    // which of the two Enter presses; a button that has the focus presses
    // itself.
    for (QWidget* w : std::initializer_list<QWidget*>{search_, list_, name_, ssn_, phone_})
        w->installEventFilter(this);

    // Only a really selected row counts: the list's focus outline (the
    // current row that Qt sets on focus) chooses nothing.
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> picked = list_->selectedItems();
        model_.select(picked.isEmpty() ? -1 : entryOf(picked.first()));
        // The picked user's details come into the fields, to be changed.
        if (model_.selection() >= 0) {
            model_.showSelected();
            name_->setText(toQ(model_.name));
            ssn_->setText(toQ(model_.ssn));
            phone_->setText(toQ(model_.phone));
        }
        updateButtons();
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        model_.select(entryOf(item));
        finishIf(model_.choose());
    });
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const bool again = sortColumn_ == column && order_ == Qt::AscendingOrder;
        sortColumn_ = column;
        order_ = again ? Qt::DescendingOrder : Qt::AscendingOrder;
        list_->header()->setSortIndicatorShown(true);
        list_->header()->setSortIndicator(sortColumn_, order_);
        list_->sortItems(sortColumn_, order_);
    });
    connect(search_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(choose_, &QPushButton::clicked, this, [this] { finishIf(model_.choose()); });
    connect(delete_, &QPushButton::clicked, this, [this] {
        model_.deleteSelected();
        fillList();
    });
    connect(create_, &QPushButton::clicked, this, [this] {
        model_.name = fromQ(name_->text());
        model_.ssn = fromQ(ssn_->text());
        model_.phone = fromQ(phone_->text());
        finishIf(model_.create());
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        model_.name = fromQ(name_->text());
        model_.ssn = fromQ(ssn_->text());
        model_.phone = fromQ(phone_->text());
        model_.saveChanges();
        fillList();
    });
    connect(close_, &QPushButton::clicked, this, [this] { done(model_.close()); });
    // The lookup's reply compares the identity code it was asked for with
    // the one in the field: the model follows the fields as they are typed.
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.name = fromQ(t); });
    connect(ssn_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.ssn = fromQ(t); });
    if (lookup_) {
        connect(lookup_, &QPushButton::clicked, this, [this] {
            model_.name = fromQ(name_->text());
            model_.ssn = fromQ(ssn_->text());
            model_.lookupName();
            lookupChanged();
        });
        model_.setLookupListener([this] {
            name_->setText(toQ(model_.name));
            ssn_->setText(toQ(model_.ssn));
            lookupChanged();
        });
    }
    // The application outlives the dialog and reports focus changes while
    // the dialog's children are being destroyed; the destructor ends this
    // connection before that happens.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget*, QWidget* now) { onFocusChanged(now); });

    fillList();
    list_->setFocus();
    onFocusChanged(list_);
}

ProfileDlg::~ProfileDlg() {
    disconnect(focusWatch_);
    model_.setLookupListener(nullptr);
}

void ProfileDlg::lookupChanged() {
    const bool pending = model_.lookupPending();
    lookup_->setEnabled(!pending);
    if (pending) setCursor(Qt::WaitCursor);
    else unsetCursor();
}

int ProfileDlg::entryOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void ProfileDlg::fillList() {
    const QSignalBlocker block(list_);
    list_->clear();
    QTreeWidgetItem* selected = nullptr;
    for (int i = 0; i < model_.count(); ++i) {
        const Profile& p = model_.profileAt(i);
        auto* item = new QTreeWidgetItem(list_, {toQ(p.name), toQ(p.ssn)});
        item->setData(0, Qt::UserRole, i);
        item->setToolTip(0, toQ(model_.entryText(i)));
        if (i == model_.selection()) selected = item;
    }
    if (sortColumn_ >= 0) list_->sortItems(sortColumn_, order_);
    list_->setCurrentItem(selected);
    if (selected) list_->scrollToItem(selected);
    applyFilter();
    updateButtons();
}

void ProfileDlg::applyFilter() {
    const QString wanted = search_->text().trimmed();
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        const bool shown = wanted.isEmpty() || item->text(0).contains(wanted, Qt::CaseInsensitive) ||
                           item->text(1).contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        // A hidden entry cannot stay chosen: nobody sees what Enter would do.
        if (!shown && item->isSelected()) {
            list_->clearSelection();
            model_.select(-1);
            updateButtons();
        }
    }
}

void ProfileDlg::updateButtons() {
    const bool on = model_.listButtonsEnabled();
    choose_->setEnabled(on);
    delete_->setEnabled(on);
    save_->setEnabled(on);
}

void ProfileDlg::onFocusChanged(QWidget* now) {
    if (now == list_) {
        model_.focusChanged(ProfileDlgLogic::Focus::List);
    } else if (now == name_) {
        model_.focusChanged(ProfileDlgLogic::Focus::Name);
    } else if (now == ssn_) {
        model_.focusChanged(ProfileDlgLogic::Focus::Ssn);
    } else if (now == phone_) {
        model_.focusChanged(ProfileDlgLogic::Focus::Phone);
    } else {
        return;
    }
    choose_->setDefault(model_.defaultButton() == ProfileDlgLogic::kIdChoose);
    create_->setDefault(model_.defaultButton() == ProfileDlgLogic::kIdCreate);
}

bool ProfileDlg::eventFilter(QObject* watched, QEvent* event) {
    if (!isEnter(event)) return QDialog::eventFilter(watched, event);
    if (watched == search_) {
        list_->setFocus();  // Enter in the search field chooses nothing
    } else if (watched == list_) {
        finishIf(model_.choose());
    } else if (watched == name_) {
        ssn_->setFocus();
    } else if (watched == ssn_) {
        phone_->setFocus();
    } else if (watched == phone_) {
        create_->click();
    } else {
        return QDialog::eventFilter(watched, event);
    }
    return true;
}

void ProfileDlg::finishIf(int result) {
    if (result != 0) {
        done(result);
    } else {
        // The model may have changed the list (a user that vanished).
        fillList();
    }
}

void ProfileDlg::reject() { done(model_.close()); }

}  // namespace velmora
