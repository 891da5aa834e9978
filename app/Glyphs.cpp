#include "app/Glyphs.h"

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
    return QPixmap(QString::fromLatin1(name));
}
