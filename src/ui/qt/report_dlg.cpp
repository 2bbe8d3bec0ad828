#include "ui/qt/report_dlg.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/logic/history/history_export.h"
#include "ui/qt/document_output.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/text_lines_model.h"

namespace velmora {

namespace {

// The wait cursor while the reminders of many users are read.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The report font: fixed pitch, so that the columns line up.
QFont reportFont() {
    QFont font(QString::fromLatin1(ReportDlgLogic::kFontFamily));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(ReportDlgLogic::kFontHeight);
    return font;
}

// A read-only, unwrapped text in the report font.
QPlainTextEdit* reportView(QWidget* parent) {
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName("report");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setFont(reportFont());
    return text;
}

QPushButton* button(const Text& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(toQ(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

ReportDlg::ReportDlg(ReportDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("ReportDlg");
    setWindowTitle(toQ(model_.title()));

    // A row per line of the table: only the rows in sight are laid out.
    lines_ = new TextLinesModel(this);
    text_ = makeLinesView(lines_, "report", this);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setFont(reportFont());
    const QFont font = text_->font();

    QPushButton* showAll = button(model_.controlText(ReportDlgLogic::kIdShowAll), "showAll", this);
    QPushButton* showNeeding = button(model_.controlText(ReportDlgLogic::kIdShowNeedingProgramming),
                                      "showNeedingProgramming", this);
    QPushButton* open = button(model_.controlText(ReportDlgLogic::kIdOpenInViewer), "openInViewer", this);
    auto* ok = new QPushButton(toQ(model_.controlText(kIdOk)), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    const StringSource& strings = model_.strings();
    QPushButton* print = button(strings.load(ids::kPrintEllipsis), "print", this);
    QPushButton* pdf = button(strings.load(ids::kSavePdf), "savePdf", this);
    QPushButton* csv = button(strings.load(ids::kSaveCsv), "saveCsv", this);
    connect(print, &QPushButton::clicked, this, [this] { printWithDialog(document(), this); });
    connect(pdf, &QPushButton::clicked, this,
            [this] { savePdfWithDialog(document(), this, model_.host(), model_.strings()); });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString file = askExportFile(this, model_.strings(), 1, toQ(model_.title()) + ".csv");
        if (!file.isEmpty()) model_.saveCsv(file.toStdString());
    });

    connect(showAll, &QPushButton::clicked, this, [this] {
        const WaitCursor wait;
        model_.showAll();
        showReport();
    });
    connect(showNeeding, &QPushButton::clicked, this, [this] {
        const WaitCursor wait;
        model_.showNeedingProgramming();
        showReport();
    });
    connect(open, &QPushButton::clicked, this, [this] { model_.openInViewer(); });
    connect(ok, &QPushButton::clicked, this, &ReportDlg::accept);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(showAll);
    buttons->addWidget(showNeeding);
    buttons->addWidget(open);
    buttons->addSpacing(8);
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addWidget(csv);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    list_ = new QLabel(this);
    list_->setObjectName("list");
    QFont bold = list_->font();
    bold.setBold(true);
    list_->setFont(bold);
    auto* shown = new QVBoxLayout;
    shown->addWidget(list_);
    shown->addWidget(text_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(shown, 1);
    layout->addLayout(buttons);

    showReport();
    // Wide enough for a whole row of the table.
    const int rowWidth = QFontMetrics(font).horizontalAdvance(QString(101, QLatin1Char('M')));
    resize(rowWidth + 220, 460);
}

PrintableDocument ReportDlg::document() const {
    PrintableDocument doc;
    doc.title = toQ(model_.title());
    doc.html = toQ(textReportHtml(model_.title() + " - " + model_.listCaption(), model_.reportText()));
    return doc;
}

void ReportDlg::showReport() {
    lines_->setLines(splitLines(model_.reportText()), text_->font());
    list_->setText(toQ(model_.listCaption()));
    text_->setAccessibleName(list_->text());  // what is shown names the report to screen readers
}

AlarmReportDlg::AlarmReportDlg(AlarmReportDlgLogic& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("AlarmReportDlg");
    setWindowTitle(toQ(model_.title()));
    QPlainTextEdit* text = reportView(this);
    text->setAccessibleName(windowTitle());
    text->setPlainText(toQ(model_.reportText()));
    const StringSource& strings = model_.strings();
    // A user whose reminder was never programmed here has no report.
    text->setPlaceholderText(toQ(strings.load(ids::kNoAlarmTimeReport)));
    QPushButton* print = button(strings.load(ids::kPrintEllipsis), "print", this);
    QPushButton* pdf = button(strings.load(ids::kSavePdf), "savePdf", this);
    auto* close = new QPushButton(toQ(strings.load(ids::kCloseButton)), this);
    close->setObjectName("close");
    close->setDefault(true);
    connect(print, &QPushButton::clicked, this, [this] { printWithDialog(document(), this); });
    connect(pdf, &QPushButton::clicked, this,
            [this] { savePdfWithDialog(document(), this, model_.host(), model_.strings()); });
    connect(close, &QPushButton::clicked, this, &AlarmReportDlg::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
    // Wide enough for the 80-character separator lines, with the scroll bar.
    resize(QFontMetrics(text->font()).horizontalAdvance(QString(80, QLatin1Char('M'))) + 80, 560);
}

PrintableDocument AlarmReportDlg::document() const {
    PrintableDocument doc;
    doc.title = toQ(model_.title());
    doc.html = toQ(textReportHtml(model_.title(), model_.reportText()));
    return doc;
}

}  // namespace velmora
