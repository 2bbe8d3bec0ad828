#include "ui/qt/alarm_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

using Picked = std::optional<SYSTEMTIME>;

Picked fromDate(const QDate& d) {
    if (!d.isValid()) return std::nullopt;
    return makeTime(d.year(), d.month(), d.day());
}
Picked fromTime(const QTime& t) {
    if (!t.isValid()) return std::nullopt;
    return makeTime(0, 0, 0, t.hour(), t.minute());
}
QDate toDate(const Picked& p) { return p ? QDate(p->wYear, p->wMonth, p->wDay) : QDate(); }
QTime toTime(const Picked& p) { return p ? QTime(p->wHour, p->wMinute) : QTime(); }

// The pickers use the dialog's font made bold and two points larger.
QFont pickerFont(const QWidget* dialog) {
    QFont f = dialog->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 2);
    return f;
}

template <class Picker>
Picker* picker(QWidget* parent, const char* name, const char* format, const QFont& font) {
    auto* p = new Picker(parent);
    p->setObjectName(name);
    p->setDisplayFormat(format);
    p->setFont(font);
    p->setMinimumWidth(format[0] == 'd' ? 130 : 80);
    return p;
}

}  // namespace

AlarmDlg::AlarmDlg(AlarmDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    using L = AlarmDlgLogic;
    setObjectName("AlarmDlg");
    setWindowTitle(toQ(model_.title()));
    const QFont big = pickerFont(this);

    auto* startFrame = boldFrame(toQ(model_.controlText(L::kIdStartFrame)), this);
    startDate_ = picker<QDateEdit>(startFrame, "startDate", L::kDateFormat, big);
    startDate_->setCalendarPopup(true);
    startTime_ = picker<QTimeEdit>(startFrame, "startTime", L::kTimeFormat, big);
    auto* repeatCaption = new QLabel(toQ(model_.controlText(L::kIdRepeatCaption)), startFrame);
    repeatCaption->setObjectName("repeatCaption");
    repeat_ = new QComboBox(startFrame);
    repeat_->setObjectName("repeatList");
    for (int i = 0; i < L::kRepeatEntries; ++i) repeat_->addItem(toQ(model_.repeatText(i)));
    repeatCaption->setBuddy(repeat_);
    for (QWidget* w : {static_cast<QWidget*>(repeatCaption), static_cast<QWidget*>(repeat_)})
        plainFont(w, this);
    auto* startGrid = new QGridLayout(startFrame);
    startGrid->addWidget(startDate_, 0, 0);
    startGrid->addWidget(startTime_, 0, 1);
    startGrid->addWidget(repeatCaption, 1, 0, Qt::AlignRight);
    startGrid->addWidget(repeat_, 1, 1);
    startGrid->setColumnStretch(2, 1);

    auto* endFrame = boldFrame(toQ(model_.controlText(L::kIdEndFrame)), this);
    endDate_ = picker<QDateEdit>(endFrame, "endDate", L::kDateFormat, big);
    endDate_->setCalendarPopup(true);
    endTime_ = picker<QTimeEdit>(endFrame, "endTime", L::kTimeFormat, big);
    foreverBox_ = new QCheckBox(toQ(model_.controlText(L::kIdForever)), endFrame);
    foreverBox_->setObjectName("forever");
    plainFont(foreverBox_, this);
    auto* endGrid = new QGridLayout(endFrame);
    endGrid->addWidget(endDate_, 0, 0);
    endGrid->addWidget(endTime_, 0, 1);
    endGrid->addWidget(foreverBox_, 1, 0, 1, 2);
    endGrid->setColumnStretch(2, 1);

    auto* descriptionFrame = boldFrame(toQ(model_.controlText(L::kIdDescriptionFrame)), this);
    description_ = new QPlainTextEdit(descriptionFrame);
    description_->setObjectName("description");
    description_->setTabChangesFocus(true);
    description_->setPlainText(toQ(model_.description));
    description_->setFixedHeight(std::max(72, 4 * description_->fontMetrics().lineSpacing() + 12));
    plainFont(description_, this);
    auto* descriptionLayout = new QVBoxLayout(descriptionFrame);
    descriptionLayout->addWidget(description_);

    auto* ok = new QPushButton(toQ(model_.controlText(kIdOk)), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(toQ(model_.controlText(kIdCancel)), this);
    cancel->setObjectName("cancel");
    for (QPushButton* b : {ok, cancel}) b->setMinimumWidth(88);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(startFrame);
    layout->addWidget(endFrame);
    layout->addWidget(descriptionFrame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showModel();

    connect(startDate_, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        model_.setStartDate(fromDate(d));
        showModel();
    });
    connect(startTime_, &QTimeEdit::timeChanged, this, [this](const QTime& t) {
        model_.setStartTime(fromTime(t));
        showModel();
    });
    connect(endDate_, &QDateEdit::dateChanged, this, [this](const QDate& d) { model_.setEndDate(fromDate(d)); });
    connect(endTime_, &QTimeEdit::timeChanged, this, [this](const QTime& t) { model_.setEndTime(fromTime(t)); });
    connect(repeat_, &QComboBox::activated, this, [this](int index) {
        model_.chooseRepeat(index);
        showModel();
    });
    connect(foreverBox_, &QCheckBox::clicked, this, [this](bool on) {
        model_.setRepeatsForever(on);
        showModel();
    });
    connect(ok, &QPushButton::clicked, this, &AlarmDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &AlarmDlg::reject);
}

void AlarmDlg::showModel() {
    const QSignalBlocker b1(startDate_), b2(startTime_), b3(endDate_), b4(endTime_), b5(repeat_);
    startDate_->setDate(toDate(model_.startDate()));
    startTime_->setTime(toTime(model_.startTime()));
    endDate_->setDate(toDate(model_.endDate()));
    endTime_->setTime(toTime(model_.endTime()));
    repeat_->setCurrentIndex(model_.repeatSelection());
    foreverBox_->setChecked(model_.repeatsForever());
    foreverBox_->setEnabled(model_.foreverEnabled());
    endDate_->setEnabled(model_.endEnabled());
    endTime_->setEnabled(model_.endEnabled());
}

void AlarmDlg::accept() {
    model_.description = fromQ(description_->toPlainText());
    if (model_.accept() == kIdOk) done(kIdOk);
}

}  // namespace velmora
