#include "ui/qt/document_output.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

#include "resources/string_ids.h"
#include "ui/logic/reports/report_files.h"
#include "ui/qt/qt_host.h"

namespace velmora {

namespace {

// The pages' margins, as the printed documents always had them.
constexpr qreal kMarginCm = 2.0;
// The resolution QTextDocument's layout takes lengths in (a frame's
// margins, an image's size) before it scales them to the device.
constexpr qreal kLayoutDpi = 96.0;

int pageOf(qreal y, qreal pageHeight) { return static_cast<int>(y / pageHeight); }

}  // namespace

void layOutOnPages(QTextDocument& text, QPagedPaintDevice& device) {
    QAbstractTextDocumentLayout* layout = text.documentLayout();
    layout->setPaintDevice(&device);
    QTextFrameFormat frame = text.rootFrame()->frameFormat();
    frame.setMargin(kMarginCm / 2.54 * kLayoutDpi);
    text.rootFrame()->setFrameFormat(frame);
    text.setPageSize(QSizeF(device.width(), device.height()));
    // A heading whose content begins on a later page starts that page
    // itself. In document order: each move shifts what follows.
    const qreal pageHeight = text.pageSize().height();
    for (QTextBlock b = text.begin(); b.isValid(); b = b.next()) {
        const QTextBlock next = b.next();
        if (b.blockFormat().headingLevel() == 0 || !next.isValid() || next.layout()->lineCount() == 0) continue;
        const QRectF heading = layout->blockBoundingRect(b);
        const QRectF content = layout->blockBoundingRect(next);
        const qreal firstLineBottom = content.top() - next.layout()->boundingRect().top() +
                                      next.layout()->lineAt(0).rect().bottom();
        if (pageOf(firstLineBottom - 1, pageHeight) == pageOf(heading.top(), pageHeight)) continue;
        QTextBlockFormat f = b.blockFormat();
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(b).setBlockFormat(f);
    }
}

namespace {

// The document's text with its images, laid out on the device's pages.
void setUpText(QTextDocument& text, const PrintableDocument& doc, QPagedPaintDevice& device) {
    text.setMetaInformation(QTextDocument::DocumentTitle, doc.title);
    for (std::size_t i = 0; i < doc.images.size(); ++i)
        text.addResource(QTextDocument::ImageResource, QUrl(QString("chart:%1").arg(i)), doc.images[i]);
    text.setHtml(doc.html);
    layOutOnPages(text, device);
}

// Page `i` (from 0) of the laid-out text, numbered at the foot.
void drawPage(QPainter& p, QTextDocument& text, int i, const QPaintDevice& device) {
    const QSizeF page = text.pageSize();
    const qreal margin = text.rootFrame()->frameFormat().margin() * device.logicalDpiY() / kLayoutDpi;
    p.save();
    p.translate(0, -i * page.height());
    text.drawContents(&p, QRectF(QPointF(0, i * page.height()), page));
    p.restore();
    p.drawText(QRectF(0, page.height() - margin, page.width() - margin, margin / 2),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(i + 1));
}

}  // namespace

void printOn(const PrintableDocument& doc, QPagedPaintDevice& device) {
    QTextDocument text;
    setUpText(text, doc, device);
    QPainter p(&device);
    p.setFont(QFont(text.defaultFont(), &device));
    for (int i = 0; i < text.pageCount(); ++i) {
        if (i > 0) device.newPage();
        drawPage(p, text, i, device);
    }
}

QImage pageImage(const PrintableDocument& doc, int page, int dpi) {
    // Laid out for an A4 PDF of that resolution, drawn on an image of the
    // same size and resolution.
    QBuffer unused;
    unused.open(QIODevice::WriteOnly);
    QPdfWriter writer(&unused);
    writer.setResolution(dpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QTextDocument text;
    setUpText(text, doc, writer);
    QImage image(writer.width(), writer.height(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    if (page < 0 || page >= text.pageCount()) return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QFont(text.defaultFont(), &image));
    drawPage(p, text, page, image);
    return image;
}

QByteArray pdfBytes(const PrintableDocument& doc) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(doc.title);
        writer.setCreator("Velmora");
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        printOn(doc, writer);
    }
    return bytes;
}

bool printWithDialog(const PrintableDocument& doc, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc.title);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName("printDialog");
    if (dialog.exec() != QDialog::Accepted) return false;
    printOn(doc, printer);
    return true;
}

QString askExportFile(QWidget* parent, const StringSource& strings, int kind, const QString& suggestedName) {
    const QStringList filters = toQ(strings.load(ids::kExportFileTypes)).split('\t');
    const QString filter = filters.value(kind);
    const QString title = toQ(strings.load(kind == 0 ? ids::kSavePdf : ids::kSaveCsv)).remove("...");
    QString file = QFileDialog::getSaveFileName(parent, title, QDir::home().filePath(suggestedName), filter);
    const QString suffix = kind == 0 ? ".pdf" : ".csv";
    if (!file.isEmpty() && !file.endsWith(suffix, Qt::CaseInsensitive)) file += suffix;
    return file;
}

bool savePdfWithDialog(const PrintableDocument& doc, QWidget* parent, Interaction& person,
                       const StringSource& strings) {
    const QString file = askExportFile(parent, strings, 0, doc.title + ".pdf");
    if (file.isEmpty()) return false;
    const QByteArray bytes = pdfBytes(doc);
    return saveExportFile(person, strings, file.toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

bool saveCsvWithDialog(const std::string& bytes, const QString& suggestedName, QWidget* parent,
                       Interaction& person, const StringSource& strings) {
    const QString file = askExportFile(parent, strings, 1, suggestedName);
    if (file.isEmpty()) return false;
    return saveExportFile(person, strings, file.toStdString(), bytes);
}

}  // namespace velmora
