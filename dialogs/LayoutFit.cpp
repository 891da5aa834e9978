#include "LayoutFit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

namespace layoutfit {

QStyleOptionGroupBox groupOption(const QGroupBox *group) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame;
    if (!group->title().isEmpty())
        option.subControls |= QStyle::SC_GroupBoxLabel;
    if (group->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (group->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    option.activeSubControls = QStyle::SC_None;
    option.textColor = group->palette().color(QPalette::WindowText);
    return option;
}

FrameLines groupFrameLines(const QStyle *style, const QStyleOptionGroupBox &option,
                           const QWidget *widget) {
    const QRect whole = option.rect;
    QStyleOptionFrame frame;
    frame.QStyleOption::operator=(option);
    frame.features = option.features;
    frame.lineWidth = option.lineWidth;
    frame.midLineWidth = option.midLineWidth;
    frame.rect =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, widget);
    FrameLines lines{frame.rect.top(), frame.rect.bottom()};
    if (whole.isEmpty())
        return lines;
    // Some styles place the line inside the rectangle they are given (below the caption), so
    // the frame is painted alone and its first and last rows are looked for. Only the middle
    // column is read, so only it is painted: this runs on every paint of a group.
    QImage image(1, whole.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(-(whole.left() + whole.width() / 2), -whole.top());
        style->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, widget);
    }
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        if (qAlpha(reinterpret_cast<const QRgb *>(image.constScanLine(y))[0]) > 0) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    if (top >= 0)
        lines = {whole.top() + top, whole.top() + bottom};
    return lines;
}

void placeGroupItems(QGroupBox *group) {
    QStyleOptionGroupBox option = groupOption(group);
    option.rect = group->rect();
    const FrameLines lines = groupFrameLines(group->style(), option, group);
    QList<QWidget *> items = group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    if (items.isEmpty())
        return;
    std::sort(items.begin(), items.end(),
              [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    // Rows free for items: between the lines, one clear row from each.
    const int first = lines.top + 2;
    const int last = lines.bottom - 2;
    const bool inside = std::all_of(items.begin(), items.end(), [&](const QWidget *w) {
        return w->geometry().top() >= first && w->geometry().bottom() <= last;
    });
    if (inside)
        return;
    const int space = last - first + 1;
    const int count = int(items.size());
    const int step = std::max(1, space / count);
    const int top = first + (space - step * count) / 2;
    for (int i = 0; i < count; ++i) {
        QWidget *w = items[i];
        const int height = std::min(w->height(), step);
        w->setGeometry(w->x(), top + i * step + (step - height) / 2, w->width(), height);
    }
}

void widenToCaptions(QWidget *window) {
    QList<QAbstractButton *> boxes;
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        boxes << box;
    for (QRadioButton *radio : window->findChildren<QRadioButton *>())
        boxes << radio;
    for (QAbstractButton *box : boxes) {
        if (box->window() != window)
            continue; // a dialog owned by this window fits itself
        // One pixel more than the caption's advance: glyphs such as ")" reach a little past it
        // when drawn at a fractional or doubled scale.
        const int wanted = box->sizeHint().width() + 1;
        if (wanted <= box->width())
            continue;
        const QWidget *parent = box->parentWidget();
        const int room = parent ? parent->width() - box->x() : wanted;
        box->resize(std::max(box->width(), std::min(wanted, room)), box->height());
    }
}

} // namespace layoutfit
