#pragma once
// What the drive box shows for a volume.
#include "app/Glyphs.h"
#include "platform/Volumes.h"

#include <QString>

namespace drives {

// Removable: the mount point alone. Network: the mount point, a blank and the upper-cased
// source (the bracketed label when there is none). Others: the mount point, a blank and the
// upper-cased label in brackets, "[]" when it has none.
QString rowText(const platform::Volume &volume);
Glyph rowGlyph(platform::DriveType type);

} // namespace drives
