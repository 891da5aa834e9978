#include "app/Glyphs.h"

#include <QGuiApplication>
#include <iterator>

namespace {
// The pictures' names, in the order of Glyph.
constexpr const char *GlyphNames[] = {
    "drive_floppy",    "drive_hard",     "drive_network", "drive_cdrom", "drive_ram", // drives
    "folder_open",     "folder_current", "folder_closed", // directory list
    "file_executable", "file_unknown"};                   // file list
static_assert(std::size(GlyphNames) == size_t(Glyph::UnknownFile) + 1);
} // namespace

QPixmap glyphPixmap(Glyph glyph) {
    // QPixmap keeps loaded files in its cache, so this is cheap on every paint.
    const QString file = QStringLiteral(":/images/") + QLatin1String(GlyphNames[int(glyph)]);
    // On a screen of two device pixels per pixel the glyph drawn at twice the size is shown, so
    // that it stays crisp instead of being scaled up.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QPixmap large(file + QStringLiteral("@2x.png"));
        if (!large.isNull()) {
            large.setDevicePixelRatio(2.0);
            return large;
        }
    }
    return QPixmap(file + QStringLiteral(".png"));
}
