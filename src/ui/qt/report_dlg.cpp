#include "ui/qt/report_dlg.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/logic/history_export.h"
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
}  // namespace

ReportDlg::ReportDlg(ReportDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("ReportDlg");
    setWindowTitle(toQ(model_.title()));

    // A row per line of the table: only the rows in sight are laid out.
    lines_ = new TextLinesModel(this);
    text_ = makeLinesView(lines_, "report", this);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QString::fromLatin1(ReportDlgLogic::kFontFamily));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(ReportDlgLogic::kFontHeight);
    text_->setFont(font);

    auto* showAll = new QPushButton(toQ(model_.controlText(ReportDlgLogic::kIdShowAll)), this);
    showAll->setObjectName("showAll");
    auto* showNeeding =
        new QPushButton(toQ(model_.controlText(ReportDlgLogic::kIdShowNeedingProgramming)), this);
    showNeeding->setObjectName("showNeedingProgramming");
    auto* open = new QPushButton(toQ(model_.controlText(ReportDlgLogic::kIdOpenInViewer)), this);
    open->setObjectName("openInViewer");
    auto* ok = new QPushButton(toQ(model_.controlText(kIdOk)), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    const StringSource& strings = model_.strings();
    auto* print = new QPushButton(toQ(strings.load(ids::kPrintEllipsis)), this);
    print->setObjectName("print");
    auto* pdf = new QPushButton(toQ(strings.load(ids::kSavePdf)), this);
    pdf->setObjectName("savePdf");
    auto* csv = new QPushButton(toQ(strings.load(ids::kSaveCsv)), this);
    csv->setObjectName("saveCsv");
    for (QPushButton* b : {showAll, showNeeding, open, print, pdf, csv}) b->setAutoDefault(false);
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
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);

    showReport();
    // Wide enough for a whole row of the table.
    const int rowWidth = QFontMetrics(font).horizontalAdvance(QString(101, QLatin1Char('M')));
    resize(rowWidth + 220, 460);
}

PrintableDocument ReportDlg::document() const {
    PrintableDocument doc;
    doc.title = toQ(model_.title());
    doc.html = toQ(textReportHtml(model_.title(), model_.reportText()));
    return doc;
}

void ReportDlg::showReport() { lines_->setLines(splitLines(model_.reportText()), text_->font()); }

}  // namespace velmora
