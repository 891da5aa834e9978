#include "ColourKey.h"

#include <QList>

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
    const QRgb want = key | 0xff000000u;
    // Runs of pixels of other colours, row by row.
    QList<QRect> runs;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        int start = -1;
        for (int x = 0; x <= rgb.width(); ++x) {
            const bool kept = x < rgb.width() && (line[x] | 0xff000000u) != want;
            if (kept && start < 0)
                start = x;
            else if (!kept && start >= 0) {
                runs.append(QRect(start, y, x - start, 1));
                start = -1;
            }
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}
