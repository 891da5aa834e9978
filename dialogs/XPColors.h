#pragma once
// Colour arithmetic of the flat look: tints of the system colours, the menu gradient and the
// image treatments. Pure functions, no widgets.
#include <QColor>
#include <QImage>

namespace xp {

// Moves each channel percent % of the way toward white (fractions dropped); alpha is kept.
QColor lighten(const QColor &c, int percent);
// Moves each channel percent % of the way toward black (fractions dropped); alpha is kept.
QColor darken(const QColor &c, int percent);

// How far toward white the menu background's pixel column x lies, in percentage points over
// the icon column's colour: 1 at the first column, 3 more for each of the next iconWidth + 4
// columns, then 1 more per column, never more than 96.
int gradientPercent(int column, int iconWidth);

// The colours the look draws with, from three system colours.
struct Colours {
    QColor iconColumn;      // the icon column of menu items
    QColor plainBackground; // menu background without the gradient
    QColor selection;       // fill of the item or button under the pointer
    QColor frame;           // frame of the item or button under the pointer
    QColor pressed;         // fill of a pressed toolbar button
    QColor disabledText;    // text of a disabled menu item
    QColor separator;       // line of a menu separator
    QColor imageShadow;     // shadow under the image under the pointer
    bool gradient = true;   // the per-column gradient is drawn
};

// buttonFace, highlight and buttonShadow are the system's colours; depth is the display's
// bits per pixel. At 15 bits or fewer there is no gradient and no tint: white background and
// selection, the icon column in the button-face colour.
Colours colours(const QColor &buttonFace, const QColor &highlight, const QColor &buttonShadow,
                int depth, bool gradient);

// The menu background colour of pixel column x of an item.
QColor menuColumnColour(const Colours &c, int column, int iconWidth);

// An image not under the pointer: every pixel lightened percent % toward white.
QImage dimmed(const QImage &image, int percent);
// A disabled image: each pixel grey (mean of its channels plus grayLevel, at most 240), then
// lightened 40 %.
QImage greyed(const QImage &image, int grayLevel);
// The image under the pointer: drawn one pixel up and to the left over the silhouette of its
// opaque pixels in shadowColour, two pixels to the right and down. Same size as the image.
QImage raisedWithShadow(const QImage &image, const QColor &shadowColour);

} // namespace xp
