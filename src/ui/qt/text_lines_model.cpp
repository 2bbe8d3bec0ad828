#include "ui/qt/text_lines_model.h"

#include <QFontMetrics>
#include <QListView>

namespace velmora {

namespace {
std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}
}  // namespace

void TextLinesModel::setLines(std::vector<std::string_view> lines, const QFont& font) {
    beginResetModel();
    lines_ = std::move(lines);
    // The widest line by its characters, measured once in the font (the
    // texts shown this way are tables of fixed columns and dated lines).
    std::string_view widest;
    std::size_t most = 0;
    for (std::string_view line : lines_) {
        const std::size_t n = characterCount(line);
        if (n > most) most = n, widest = line;
    }
    const QFontMetrics metrics(font);
    const QString sample = QString::fromUtf8(widest.data(), static_cast<qsizetype>(widest.size()));
    rowSize_ = QSize(metrics.horizontalAdvance(sample) + 2 * metrics.averageCharWidth(), metrics.height() + 2);
    endResetModel();
}

void TextLinesModel::setLines(const std::vector<Text>& lines, const QFont& font) {
    std::vector<std::string_view> views(lines.begin(), lines.end());
    setLines(std::move(views), font);
}

int TextLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
    if (role == Qt::SizeHintRole) return rowSize_;
    if (role != Qt::DisplayRole) return {};
    const std::string_view line = lines_[static_cast<std::size_t>(index.row())];
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

QListView* makeLinesView(TextLinesModel* model, const char* objectName, QWidget* parent) {
    auto* view = new QListView(parent);
    view->setObjectName(objectName);
    view->setUniformItemSizes(true);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setModel(model);
    return view;
}

}  // namespace velmora
