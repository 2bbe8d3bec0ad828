#include "ui/qt/dose_plan_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/qt/qt_host.h"

namespace velmora {

DosePlanDlg::DosePlanDlg(DosePlanDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("DosePlanDlg");
    const StringSource& strings = model_.strings();
    setWindowTitle(toQ(strings.load(ids::kDosePlanTitle)));

    auto* weeks = new QSpinBox(this);
    weeks->setObjectName("weeks");
    weeks->setRange(kMinPlanWeeks, kMaxPlanWeeks);
    weeks->setValue(model_.weeks());
    connect(weeks, &QSpinBox::valueChanged, this, [this](int value) { model_.setWeeks(value); });

    auto* note = new QPlainTextEdit(toQ(model_.note()), this);
    note->setObjectName("note");
    note->setTabChangesFocus(true);
    // The note is kept as the logic bounds it; what is typed past the bound
    // is taken back at once.
    connect(note, &QPlainTextEdit::textChanged, this, [this, note] {
        const Text typed = fromQ(note->toPlainText());
        model_.setNote(typed);
        if (model_.note() != typed) {
            const QSignalBlocker block(note);
            note->setPlainText(toQ(model_.note()));
            note->moveCursor(QTextCursor::End);
        }
    });

    auto* form = new QFormLayout;
    auto* person = new QLabel(toQ(model_.documentTitle()), this);
    person->setObjectName("person");
    form->addRow(person);
    form->addRow(toQ(strings.load(ids::kDosePlanWeeks)), weeks);
    form->addRow(toQ(strings.load(ids::kDosePlanNote)), note);

    const auto button = [this](const Text& text, const char* name) {
        auto* b = new QPushButton(toQ(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* print = button(strings.load(ids::kPrintEllipsis), "print");
    QPushButton* pdf = button(strings.load(ids::kSavePdf), "savePdf");
    QPushButton* csv = button(strings.load(ids::kSaveCsv), "saveCsv");
    QPushButton* close = button(strings.load(ids::kCloseButton), "close");
    close->setDefault(true);
    connect(print, &QPushButton::clicked, this, [this] { printWithDialog(document(), this); });
    connect(pdf, &QPushButton::clicked, this,
            [this] { savePdfWithDialog(document(), this, model_.host(), model_.strings()); });
    connect(csv, &QPushButton::clicked, this, [this] {
        saveCsvWithDialog(model_.csv(), toQ(model_.documentTitle()) + ".csv", this, model_.host(), model_.strings());
    });
    connect(close, &QPushButton::clicked, this, &DosePlanDlg::accept);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {print, pdf, csv}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(560, 320)));
}

PrintableDocument DosePlanDlg::document() const {
    PrintableDocument doc;
    doc.title = toQ(model_.documentTitle());
    doc.html = toQ(model_.html());
    return doc;
}

}  // namespace velmora
