#include "ColourKey.h"

#include <QBitmap>

bool hasColour(const QImage &image, QRgb key) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb want = key | 0xff000000u;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if ((line[x] | 0xff000000u) == want)
                return true;
    }
    return false;
}

QRegion regionWithoutColour(const QImage &image, QRgb key) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QImage mask(rgb.size(), QImage::Format_Mono);
    mask.fill(0);
    const QRgb want = key | 0xff000000u;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if ((line[x] | 0xff000000u) != want)
                mask.setPixel(x, y, 1);
    }
    return QRegion(QBitmap::fromImage(mask));
}
