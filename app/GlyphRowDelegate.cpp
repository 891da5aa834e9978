#include "app/GlyphRowDelegate.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

GlyphRowDelegate::GlyphRowDelegate(TextPlacement placement, QObject *parent)
    : QStyledItemDelegate(parent), m_placement(placement) {}

void GlyphRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &pal = option.palette;
    painter->save();
    painter->fillRect(r, selected ? pal.highlight() : pal.base());

    const QVariant indentValue = index.data(rowroles::Indent);
    const int indent = indentValue.isValid() ? indentValue.toInt() : 2;
    const QPixmap glyph = GlyphRowDelegate::glyph(index);
    int textLeft = r.left() + 2;
    if (!glyph.isNull()) {
        const int height = qRound(glyph.deviceIndependentSize().height());
        const int y = r.top() + (r.height() - height) / 2;
        painter->drawPixmap(r.left() + indent, y, glyph);
        textLeft = r.left() + indent + GlyphWidth + GlyphGap;
    }
    painter->setFont(option.font);
    painter->setPen(selected ? pal.highlightedText().color() : pal.text().color());
    const QRect textRect(textLeft, r.top(), r.right() - textLeft + 1, r.height());
    const int vAlign = m_placement == TextPlacement::Top ? Qt::AlignTop : Qt::AlignVCenter;
    painter->drawText(textRect, Qt::AlignLeft | vAlign | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if ((option.state & QStyle::State_HasFocus)) {
        QPen pen(selected ? pal.highlightedText().color() : pal.text().color());
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize GlyphRowDelegate::sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const {
    const QVariant indentValue = index.data(rowroles::Indent);
    const int indent = indentValue.isValid() ? indentValue.toInt() : 2;
    const int textWidth =
        option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
    return {indent + GlyphWidth + GlyphGap + textWidth + 2, RowHeight};
}

QPixmap GlyphRowDelegate::glyph(const QModelIndex &index) {
    const QVariant value = index.data(Qt::DecorationRole);
    if (value.userType() == QMetaType::QIcon) {
        const QIcon icon = value.value<QIcon>();
        const QList<QSize> sizes = icon.availableSizes();
        if (sizes.isEmpty())
            return QPixmap();
        // Glyphs are GlyphWidth wide on the screen whatever the density of the picture behind.
        const QSize size = sizes.first();
        return icon.pixmap(QSize(GlyphWidth, size.height() * GlyphWidth / size.width()));
    }
    return value.value<QPixmap>();
}
