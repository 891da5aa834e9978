#pragma once
// Fits the fixed layouts to the faces and the style they are shown with: group items between
// their frame's lines, below the caption, and captions that are not cut.
#include <QStyleOptionGroupBox>

class QGroupBox;
class QStyle;
class QWidget;

namespace layoutfit {

// The group box's style option, as the group paints itself.
QStyleOptionGroupBox groupOption(const QGroupBox *group);

// The rows, in the group's own coordinates, of the top and bottom lines of the frame that style
// draws for a group box (found in a painting of the frame alone, so that it holds for any style).
struct FrameLines {
    int top = 0;
    int bottom = 0;
};
FrameLines groupFrameLines(const QStyle *style, const QStyleOptionGroupBox &option,
                           const QWidget *widget);

// Moves the group's items, in their order from top to bottom, between its frame's lines with
// a clear row on each side, spread evenly, when the layout does not already place them there.
void placeGroupItems(QGroupBox *group);

// Widens each check box and radio button of window whose caption is wider than the box, never
// past its parent's right edge.
void widenToCaptions(QWidget *window);

} // namespace layoutfit
