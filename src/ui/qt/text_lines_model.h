#pragma once
// Long texts shown a line per row in a list view with uniform rows: the
// view lays out only the rows in sight, so a history of ten thousand
// entries or a report of fifty thousand users opens as fast as a short
// one. The lines are views into text that the model's owner keeps.
#include <QAbstractListModel>
#include <QFont>
#include <QSize>
#include <string_view>
#include <vector>

#include "core/types.h"

class QListView;

namespace velmora {

class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TextLinesModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Shows `lines` (each a view into text that outlives the model or the
    // next call); every row is as wide as the longest line in `font`.
    void setLines(std::vector<std::string_view> lines, const QFont& font);
    void setLines(const std::vector<Text>& lines, const QFont& font);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string_view> lines_;
    QSize rowSize_;
};

// The lines of `text`, split at LF (a CR before it is dropped); a last
// line without a line end counts too.
std::vector<std::string_view> splitLines(std::string_view text);

// A list view for a TextLinesModel: uniform rows, no wrapping, single
// selection.
QListView* makeLinesView(TextLinesModel* model, const char* objectName, QWidget* parent);

}  // namespace velmora
