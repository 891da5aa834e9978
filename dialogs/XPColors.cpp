#include "XPColors.h"

#include <QPainter>
#include <algorithm>

namespace xp {

namespace {
int towardWhite(int channel, int percent) {
    return channel + (255 - channel) * percent / 100;
}
constexpr int DisabledLightening = 40;
constexpr int MaxGrey = 240;
constexpr int GradientStart = 1;
constexpr int GradientSteepStep = 3;
constexpr int GradientMax = 96;

// The image in ARGB32, each pixel replaced by colour(pixel).
template <typename Colour> QImage eachPixel(const QImage &image, Colour colour) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = colour(line[x]);
    }
    return out;
}
} // namespace

QColor lighten(const QColor &c, int percent) {
    return QColor(towardWhite(c.red(), percent), towardWhite(c.green(), percent),
                  towardWhite(c.blue(), percent), c.alpha());
}

QColor darken(const QColor &c, int percent) {
    const auto down = [percent](int ch) { return ch * (100 - percent) / 100; };
    return QColor(down(c.red()), down(c.green()), down(c.blue()), c.alpha());
}

int gradientPercent(int column, int iconWidth) {
    if (column <= 0)
        return GradientStart;
    const int steep = iconWidth + 4;
    const int p = column <= steep ? GradientStart + GradientSteepStep * column
                                  : GradientStart + GradientSteepStep * steep + (column - steep);
    return std::min(p, GradientMax);
}

Colours colours(const QColor &buttonFace, const QColor &highlight, const QColor &buttonShadow,
                int depth, bool gradient) {
    Colours c;
    c.frame = highlight;
    c.disabledText = lighten(buttonShadow, 10);
    c.separator = lighten(buttonShadow, 25);
    if (depth <= 15) {
        c.iconColumn = buttonFace;
        c.plainBackground = Qt::white;
        c.selection = Qt::white;
        c.pressed = Qt::white;
        c.imageShadow = buttonShadow;
        c.gradient = false;
        return c;
    }
    c.iconColumn = lighten(buttonFace, 16);
    c.plainBackground = lighten(buttonFace, 86);
    c.selection = lighten(highlight, 68);
    c.pressed = lighten(highlight, 50);
    c.imageShadow = darken(c.selection, 25);
    c.gradient = gradient;
    return c;
}

QColor menuColumnColour(const Colours &c, int column, int iconWidth) {
    if (!c.gradient)
        return column < iconWidth ? c.iconColumn : c.plainBackground;
    return lighten(c.iconColumn, gradientPercent(column, iconWidth));
}

QImage dimmed(const QImage &image, int percent) {
    return eachPixel(image, [percent](QRgb p) {
        return qRgba(towardWhite(qRed(p), percent), towardWhite(qGreen(p), percent),
                     towardWhite(qBlue(p), percent), qAlpha(p));
    });
}

QImage greyed(const QImage &image, int grayLevel) {
    return eachPixel(image, [grayLevel](QRgb p) {
        const int grey = std::min((qRed(p) + qGreen(p) + qBlue(p)) / 3 + grayLevel, MaxGrey);
        const int g = towardWhite(grey, DisabledLightening);
        return qRgba(g, g, g, qAlpha(p));
    });
}

QImage raisedWithShadow(const QImage &image, const QColor &shadowColour) {
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb shade = shadowColour.rgb();
    const QImage shadow = eachPixel(src, [shade](QRgb p) {
        return qAlpha(p) ? qRgba(qRed(shade), qGreen(shade), qBlue(shade), qAlpha(p)) : 0u;
    });
    QImage out(src.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(1, 1, shadow);
    p.drawImage(-1, -1, src);
    return out;
}

} // namespace xp
