// velmora-manual: turns a user manual written in Markdown into a PDF with
// Qt's own PDF writer, or one of its pages into a PNG picture.
//   velmora-manual MANUAL.md OUT.pdf
//   velmora-manual --png PAGE MANUAL.md OUT.png      (PAGE counts from 1)
// Runs without a display (Qt's offscreen platform). The PDF is checked
// after writing: a file that does not start with "%PDF-" fails the build.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A manual is a few dozen kilobytes; anything far larger is a mistake.
constexpr qint64 kMaxManualBytes = 1 << 20;
// The PNG page: A4 at 96 dots per inch with the PDF's 2 cm margins.
constexpr int kPageWidthPx = 794;
constexpr int kPageHeightPx = 1123;
constexpr int kMarginPx = 76;

bool readManual(const char* path, QString* text) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "velmora-manual: cannot read %s\n", path);
        return false;
    }
    if (file.size() > kMaxManualBytes) {
        std::fprintf(stderr, "velmora-manual: %s is larger than %lld bytes\n", path,
                     static_cast<long long>(kMaxManualBytes));
        return false;
    }
    *text = QString::fromUtf8(file.read(kMaxManualBytes));
    return true;
}

void setUp(QTextDocument& doc, const QString& markdown) {
    // DejaVu Sans is the program's own font (fonts-dejavu-core).
    doc.setDefaultFont(QFont("DejaVu Sans", 10));
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    // The first heading names the document in the PDF's properties.
    doc.setMetaInformation(QTextDocument::DocumentTitle, doc.firstBlock().text());
}

bool startsAsPdf(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

int writePdf(const QString& markdown, const char* out) {
    QTextDocument doc;
    setUp(doc, markdown);
    {
        QPdfWriter writer(QString::fromLocal8Bit(out));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator("Velmora");
        // print() lays the text out in pages with 2 cm margins and numbers them.
        doc.print(&writer);
    }
    if (!startsAsPdf(out)) {
        std::fprintf(stderr, "velmora-manual: %s was not written as a PDF\n", out);
        // Gone, so that the next build writes it again.
        QFile::remove(QString::fromLocal8Bit(out));
        return 1;
    }
    return 0;
}

int writePng(const QString& markdown, int page, const char* out) {
    QTextDocument doc;
    setUp(doc, markdown);
    const QSizeF body(kPageWidthPx - 2 * kMarginPx, kPageHeightPx - 2 * kMarginPx);
    doc.setPageSize(body);
    if (page < 1 || page > doc.pageCount()) {
        std::fprintf(stderr, "velmora-manual: page %d not in 1..%d\n", page, doc.pageCount());
        return 1;
    }
    QImage image(kPageWidthPx, kPageHeightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double top = (page - 1) * body.height();
        painter.translate(kMarginPx, kMarginPx - top);
        doc.drawContents(&painter, QRectF(QPointF(0, top), body));
    }
    if (!image.save(QString::fromLocal8Bit(out), "PNG")) {
        std::fprintf(stderr, "velmora-manual: cannot write %s\n", out);
        return 1;
    }
    return 0;
}

// Only errors reach the build's output (Qt's notes on the offscreen
// platform, such as a missing XDG_RUNTIME_DIR, are noise here).
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "velmora-manual: %s\n", message.toLocal8Bit().constData());
}

int usage() {
    std::fprintf(stderr,
                 "usage: velmora-manual MANUAL.md OUT.pdf\n"
                 "       velmora-manual --png PAGE MANUAL.md OUT.png\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool png = argc == 5 && std::strcmp(argv[1], "--png") == 0;
    if (!png && argc != 3) return usage();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    QString markdown;
    if (!readManual(argv[png ? 3 : 1], &markdown)) return 1;
    if (png) return writePng(markdown, std::atoi(argv[2]), argv[4]);
    return writePdf(markdown, argv[2]);
}
