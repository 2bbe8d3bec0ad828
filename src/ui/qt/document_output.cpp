#include "ui/qt/document_output.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

#include "resources/string_ids.h"
#include "ui/logic/report_files.h"
#include "ui/qt/qt_host.h"

namespace velmora {

void printOn(const PrintableDocument& doc, QPagedPaintDevice& device) {
    QTextDocument text;
    text.setMetaInformation(QTextDocument::DocumentTitle, doc.title);
    for (std::size_t i = 0; i < doc.images.size(); ++i)
        text.addResource(QTextDocument::ImageResource, QUrl(QString("chart:%1").arg(i)), doc.images[i]);
    text.setHtml(doc.html);
    text.print(&device);
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
