#include "app/DriveRows.h"

#include "app/NameRules.h"

namespace drives {

QString rowText(const platform::Volume &volume) {
    const QString root = names::displayName(volume.root);
    const QString bracketed = QLatin1Char('[') + volume.label.toUpper() + QLatin1Char(']');
    switch (volume.type) {
    case platform::DriveType::Removable:
        return root;
    case platform::DriveType::Remote:
        if (!volume.remoteName.isEmpty())
            return root + QLatin1Char(' ') + volume.remoteName.toUpper();
        return root + QLatin1Char(' ') + bracketed;
    default:
        return root + QLatin1Char(' ') + bracketed;
    }
}

Glyph rowGlyph(platform::DriveType type) {
    switch (type) {
    case platform::DriveType::Removable:
        return Glyph::Floppy;
    case platform::DriveType::Remote:
        return Glyph::Network;
    case platform::DriveType::CdRom:
        return Glyph::CdRom;
    case platform::DriveType::RamDisk:
        return Glyph::Ram;
    case platform::DriveType::Fixed:
        break;
    }
    return Glyph::Hard;
}

} // namespace drives
