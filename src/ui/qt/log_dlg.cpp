#include "ui/qt/log_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "resources/string_ids.h"
#include "ui/logic/history/history_export.h"
#include "ui/qt/chronology_view.h"
#include "ui/qt/document_output.h"
#include "ui/qt/qt_host.h"
#include "ui/qt/text_lines_model.h"

namespace velmora {

namespace {
// Chart rows per printed image: a page holds one such share.
constexpr int kPrintedRowsPerImage = 50;
constexpr int kPrintedChartWidth = 640;
}  // namespace

LogDlg::LogDlg(LogDlgLogic& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("LogDlg");
    setWindowTitle(toQ(model_.title()));
    const StringSource& strings = model_.strings();

    lines_ = new TextLinesModel(this);
    QListView* list = makeLinesView(lines_, "history", this);
    list_ = list;

    // The adherence page: the table of doses and the other figures.
    auto* adherencePage = new QWidget(this);
    adherence_ = new QTableWidget(adherencePage);
    adherence_->setObjectName("adherence");
    adherence_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    adherence_->setSelectionMode(QAbstractItemView::NoSelection);
    adherence_->verticalHeader()->hide();
    summary_ = new QGridLayout;
    auto* adherenceLayout = new QVBoxLayout(adherencePage);
    adherenceLayout->addWidget(adherence_, 1);
    adherenceLayout->addLayout(summary_);

    chart_ = new ChronologyView(strings, this);
    auto* chartPage = new QWidget(this);
    chartScroll_ = new QScrollArea(chartPage);
    chartScroll_->setObjectName("chronologyScroll");
    chartScroll_->setWidgetResizable(true);
    chartScroll_->setWidget(chart_);
    auto* chartLayout = new QVBoxLayout(chartPage);
    chartLayout->addWidget(new ChronologyLegend(strings, chartPage));
    chartLayout->addWidget(chartScroll_, 1);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("pages");
    pages_->addTab(list, toQ(strings.load(ids::kHistoryListTab)));
    pages_->addTab(adherencePage, toQ(strings.load(ids::kAdherenceTab)));
    pages_->addTab(chartPage, toQ(strings.load(ids::kChronologyTab)));
    // Screen readers name each page's view by its tab.
    list->setAccessibleName(pages_->tabText(0));
    adherence_->setAccessibleName(pages_->tabText(1));
    chartScroll_->setAccessibleName(pages_->tabText(2));

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
        auto* value = new QLabel(totals);
        totals_.push_back({row.value, value});
        value->setObjectName(row.name);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(48);
        grid->addWidget(caption, r, 0);
        grid->addWidget(value, r, 1);
        ++r;
    }
    grid->setColumnStretch(0, 1);

    auto* period = new QComboBox(this);
    period->setObjectName("period");
    for (const Text& name : model_.periodNames()) period->addItem(toQ(name));
    period->setCurrentIndex(static_cast<int>(model_.period()));
    connect(period, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.setPeriod(static_cast<AdherencePeriod>(index));
        showPeriod();
    });

    auto button = [this](int textId, const char* name) {
        auto* b = new QPushButton(toQ(model_.strings().load(textId)), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* print = button(ids::kPrintEllipsis, "print");
    QPushButton* pdf = button(ids::kSavePdf, "savePdf");
    QPushButton* csv = button(ids::kSaveCsv, "saveCsv");
    connect(print, &QPushButton::clicked, this, [this] { printWithDialog(document(), this); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString file = askExportFile(this, model_.strings(), 0, toQ(model_.userName()) + ".pdf");
        if (!file.isEmpty()) {
            const QByteArray bytes = pdfBytes(document());
            model_.saveExport(file.toStdString(), std::string_view(bytes.constData(), bytes.size()));
        }
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString file = askExportFile(this, model_.strings(), 1, toQ(model_.userName()) + ".csv");
        if (!file.isEmpty()) model_.saveExport(file.toStdString(), historyCsv(model_, model_.strings()));
    });

    auto* close = new QPushButton(toQ(model_.controlText(LogDlgLogic::kIdClose)), this);
    close->setObjectName("close");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &LogDlg::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(totals);
    side->addWidget(new QLabel(toQ(strings.load(ids::kHistoryPeriod)), this));
    side->addWidget(period);
    side->addSpacing(8);
    side->addWidget(print);
    side->addWidget(pdf);
    side->addWidget(csv);
    side->addStretch(1);
    side->addWidget(close);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(side);
    pages_->setMinimumWidth(380);
    showPeriod();
    resize(820, 520);
}

void LogDlg::showPeriod() {
    lines_->setLines(model_.lines(), list_->font());
    // The newest entries are the ones looked for: they are in view at once.
    // Once laid out, when the scroll range is known.
    QTimer::singleShot(0, list_, [list = list_] { list->scrollToBottom(); });
    for (const auto& [id, label] : totals_) label->setText(toQ(model_.numberText(id)));
    const auto table = model_.adherenceTable();
    // Columns fitted to their contents once, after the table is filled,
    // rather than again for every header and cell set.
    QHeaderView* header = adherence_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    adherence_->setRowCount(static_cast<int>(table.size()) - 1);
    adherence_->setColumnCount(static_cast<int>(table.front().size()));
    for (std::size_t c = 0; c < table.front().size(); ++c)
        adherence_->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(toQ(table.front()[c])));
    for (std::size_t r = 1; r < table.size(); ++r) {
        for (std::size_t c = 0; c < table[r].size(); ++c) {
            auto* item = new QTableWidgetItem(toQ(table[r][c]));
            if (c) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            adherence_->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    while (QLayoutItem* item = summary_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int row = 0;
    for (const auto& [caption, value] : model_.adherenceSummary()) {
        summary_->addWidget(new QLabel(toQ(caption)), row, 0);
        auto* v = new QLabel(toQ(value));
        v->setObjectName(QString("summary%1").arg(row));
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summary_->addWidget(v, row++, 1);
    }
    summary_->setColumnStretch(0, 1);
    chart_->setChart(ChronologyChart(model_.history(), model_.periodDays()));
    // The chart opens at its newest data, once laid out.
    QTimer::singleShot(0, chartScroll_, [this] {
        const ChronologyChart& chart = *chart_->chart();
        chartScroll_->ensureVisible(0, chart.rowCentre(chart.newestRow()), 0, 2 * ChronologyChart::kRowHeight);
    });
}

PrintableDocument LogDlg::document() const {
    ChronologyChart chart(model_.history(), model_.periodDays());
    chart.setWidth(kPrintedChartWidth);
    // Printed on white whatever the desktop's colours.
    const CalendarPalette palette = CalendarPalette::from(QPalette(Qt::white));
    PrintableDocument doc;
    for (int first = 0; first < chart.rows(); first += kPrintedRowsPerImage)
        doc.images.push_back(chronologyImage(chart, palette, first, first + kPrintedRowsPerImage));
    doc.title = toQ(model_.title() + " - " + model_.userName());
    doc.html = toQ(historyHtml(model_, model_.strings(), static_cast<int>(doc.images.size())));
    return doc;
}

}  // namespace velmora
