#pragma once
// The small pictures of the drive box, the directory list and the file list.
#include <QPixmap>

enum class Glyph {
    Floppy,
    Hard,
    Network,
    CdRom,
    Ram, // drives, 16 x 11
    OpenFolder,
    CurrentFolder,
    ClosedFolder, // directory list, 16 x 15
    Executable,
    UnknownFile // file list, 16 x 15
};

QPixmap glyphPixmap(Glyph glyph);
