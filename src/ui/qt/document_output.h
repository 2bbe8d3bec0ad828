#pragma once
// Printing through the print dialog and saving as PDF: a document of HTML
// (history_export.h) with images, laid out on pages by QTextDocument.
#include <QImage>
#include <QString>
#include <vector>

#include "core/interaction.h"

class QPagedPaintDevice;
class QTextDocument;
class QWidget;

namespace velmora {

struct PrintableDocument {
    QString title;  // also the PDF's title
    QString html;
    std::vector<QImage> images;  // "chart:0", "chart:1", ... in the HTML
};

// Lays `text` out on the device's pages with 2 cm margins; a heading that
// would stand alone at the foot of a page moves to the next one.
void layOutOnPages(QTextDocument& text, QPagedPaintDevice& device);
// Lays the document out on the device's pages, numbered.
void printOn(const PrintableDocument& doc, QPagedPaintDevice& device);
// Page `page` (from 0) of the document on A4 at `dpi`, as an image; blank
// past the last page.
QImage pageImage(const PrintableDocument& doc, int page, int dpi);
// The document as PDF file bytes, with its title in the metadata.
QByteArray pdfBytes(const PrintableDocument& doc);

// The print dialog, then the pages; false when cancelled.
bool printWithDialog(const PrintableDocument& doc, QWidget* parent);
// Asks where to save a file of the given kind (0 PDF, 1 CSV, the entries
// of ids::kExportFileTypes); empty when cancelled.
QString askExportFile(QWidget* parent, const StringSource& strings, int kind, const QString& suggestedName);
// Asks for a PDF file and writes the document there; the person is told
// when it cannot be written.
bool savePdfWithDialog(const PrintableDocument& doc, QWidget* parent, Interaction& person,
                       const StringSource& strings);
// Asks for a CSV file and writes `bytes` there, likewise.
bool saveCsvWithDialog(const std::string& bytes, const QString& suggestedName, QWidget* parent,
                       Interaction& person, const StringSource& strings);

}  // namespace velmora
