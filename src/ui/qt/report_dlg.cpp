#include "ui/qt/report_dlg.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/qt/qt_host.h"

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

    text_ = new QPlainTextEdit(this);
    text_->setObjectName("report");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
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
    for (QPushButton* b : {showAll, showNeeding, open}) b->setAutoDefault(false);

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

void ReportDlg::showReport() {
    // The report's lines end in CR LF (the file form); the editor wants LF.
    QString shown = toQ(model_.reportText());
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text_->setPlainText(shown);
}

}  // namespace velmora
