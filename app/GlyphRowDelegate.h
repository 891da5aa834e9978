#pragma once
// Draws the rows of the file widgets: background (highlight when selected), a 16-pixel glyph,
// then the text 4 pixels after it. Rows are 16 pixels high.
#include <QStyledItemDelegate>

namespace rowroles {
// Left edge of the glyph within the row, in pixels (an int; 2 when not set).
constexpr int Indent = Qt::UserRole + 1;
// The row's exact bytes (a name or a full path).
constexpr int RawBytes = Qt::UserRole + 2;
} // namespace rowroles

class GlyphRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class TextPlacement { Top, VCentre };
    explicit GlyphRowDelegate(TextPlacement placement, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The row's glyph, whether the model holds it as a pixmap (the lists) or as an icon (the
    // drive box); null when the row has none.
    static QPixmap glyph(const QModelIndex &index);

    static constexpr int RowHeight = 16;
    static constexpr int GlyphWidth = 16;
    static constexpr int GlyphGap = 4;

private:
    TextPlacement m_placement;
};
