// The history's chart page follows the period and tells what a mark is;
// the history as PDF is a real PDF file whose title metadata names the person.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QComboBox>
#include <QPdfWriter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QHelpEvent>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "core/datetime.h"
#include "resources/resource_module.h"
#include "ui/qt/chronology_view.h"
#include "ui/qt/document_output.h"
#include "ui/qt/log_dlg.h"

namespace velmora {
namespace {

// How a PDF string spells a text: Qt writes the document information as
// UTF-16 big-endian, the XMP metadata as UTF-8; either will do.
bool pdfHolds(const QByteArray& pdf, const QString& text) {
    QByteArray utf16;
    for (QChar c : text) {
        utf16 += static_cast<char>(c.unicode() >> 8);
        utf16 += static_cast<char>(c.unicode() & 0xFF);
    }
    return pdf.contains(text.toUtf8()) || pdf.contains(utf16);
}

TEST(HistoryChart, FollowsThePeriodAndHoveringAMarkShowsItsLine) {
    CurrentUser user;
    const TimeValue t = toTimeValue(makeTime(2026, 3, 4, 8, 0));
    user.history[t] = LogEntry{t, t + 40 * 60, kStatusAcknowledgedLate};
    LogDlgLogic model(user, ResourceModule::builtIn(), t + 3600);
    LogDlg dlg(model);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.findChild<QTabWidget*>("pages")->setCurrentIndex(2);
    auto* view = dlg.findChild<ChronologyView*>("chronology");
    EXPECT_EQ(view->chart()->rows(), 30);
    dlg.findChild<QComboBox*>("period")->setCurrentIndex(1);
    const ChronologyChart& chart = *view->chart();
    ASSERT_EQ(chart.rows(), 90);
    QApplication::processEvents();
    auto* scroll = dlg.findChild<QScrollArea*>("chronologyScroll");
    const int top = scroll->verticalScrollBar()->value();
    EXPECT_TRUE(top > 0 && chart.rowCentre(chart.newestRow()) < top + scroll->viewport()->height())
        << "the chart opens at its newest day";
    const ChartMark& m = chart.marks().at(0);
    const QPoint at(chart.xOf(m.daySecond), chart.rowCentre(m.row));
    QHelpEvent hover(QEvent::ToolTip, at, view->mapToGlobal(at));
    QApplication::sendEvent(view, &hover);
    EXPECT_EQ(QToolTip::text(), QString::fromStdString(LogDlgLogic::formatLine(user.history[t], ResourceModule::builtIn())));
    QToolTip::hideText();
}

TEST(HistoryPdf, IsAPdfThatNamesThePerson) {
    CurrentUser user;
    user.name = "Äino Virtanen";
    const TimeValue t = toTimeValue(makeTime(2026, 3, 4, 8, 0));
    for (int d = 0; d < 60; ++d)
        user.history[t - d * 86400] = LogEntry{t - d * 86400, t - d * 86400 + 300, kStatusAcknowledged};
    LogDlgLogic model(user, ResourceModule::builtIn(), t + 3600);
    model.setPeriod(AdherencePeriod::Last90Days);
    LogDlg dlg(model);
    const PrintableDocument doc = dlg.document();
    ASSERT_EQ(doc.images.size(), 2u);  // 90 days in two shares
    const QByteArray pdf = pdfBytes(doc);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdfHolds(pdf, "Äino Virtanen"));
}

// However much text comes before it, a heading never ends a page alone:
// it goes where its first line (here a chart image, then one word) goes.
TEST(HistoryPdf, HeadingsStayWithTheirContent) {
    QImage chart(640, 720, QImage::Format_RGB32);
    chart.fill(Qt::white);
    for (int lines = 40; lines < 90; lines += 2) {
        QTextDocument text;
        text.addResource(QTextDocument::ImageResource, QUrl("chart:0"), chart);
        text.setHtml(QString("<p>%1</p><h3>Kronologia</h3><p><img src=\"chart:0\"></p><h3>Lista</h3><p>x</p>")
                         .arg(QString("rivi<br>").repeated(lines)));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        layOutOnPages(text, writer);
        const qreal page = text.pageSize().height();
        for (QTextBlock b = text.begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() == 0) continue;
            const QRectF heading = text.documentLayout()->blockBoundingRect(b);
            const QRectF content = text.documentLayout()->blockBoundingRect(b.next());
            EXPECT_EQ(int(heading.top() / page), int((content.bottom() - 1) / page)) << lines << " lines before";
        }
    }
}

}  // namespace
}  // namespace velmora
