#include "app/Glyphs.h"

#include <QGuiApplication>

QPixmap glyphPixmap(Glyph glyph) {
    const char *name = "";
    switch (glyph) {
    case Glyph::Floppy:
        name = ":/images/drive_floppy.png";
        break;
    case Glyph::Hard:
        name = ":/images/drive_hard.png";
        break;
    case Glyph::Network:
        name = ":/images/drive_network.png";
        break;
    case Glyph::CdRom:
        name = ":/images/drive_cdrom.png";
        break;
    case Glyph::Ram:
        name = ":/images/drive_ram.png";
        break;
    case Glyph::OpenFolder:
        name = ":/images/folder_open.png";
        break;
    case Glyph::CurrentFolder:
        name = ":/images/folder_current.png";
        break;
    case Glyph::ClosedFolder:
        name = ":/images/folder_closed.png";
        break;
    case Glyph::Executable:
        name = ":/images/file_executable.png";
        break;
    case Glyph::UnknownFile:
        name = ":/images/file_unknown.png";
        break;
    }
    // QPixmap keeps loaded files in its cache, so this is cheap on every paint.
    const QString file = QString::fromLatin1(name);
    // On a screen of two device pixels per pixel the glyph drawn at twice the size is shown, so
    // that it stays crisp instead of being scaled up.
    if (!file.isEmpty() && qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QPixmap large(file.chopped(4) + QStringLiteral("@2x.png"));
        if (!large.isNull()) {
            large.setDevicePixelRatio(2.0);
            return large;
        }
    }
    return QPixmap(file);
}
