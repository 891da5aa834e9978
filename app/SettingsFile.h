#pragma once
// The one-line settings file that remembers the last directory across runs.
#include <QByteArray>

namespace settings {

// The file's name: the configuration directory and "/yk32.ini".
QByteArray filePath(const QByteArray &configDirectory);

struct ReadResult {
    enum Status { NoFile, Unreadable, Ok } status = NoFile;
    QByteArray firstLine; // without its line break; may be empty
};

// A first line longer than this is no directory: it is ignored, and only this much is read.
inline constexpr qint64 FirstLineLimit = 65536;

// A directory of that name counts as no file. A first line over FirstLineLimit comes back
// empty, so it changes nothing.
ReadResult read(const QByteArray &path);

// Replaces the file whole with directory + CR LF, through a temporary file and a rename, so a
// crash never leaves a truncated file. Creates the configuration directory when missing.
// Through a link only into a regular file of our own user; false for any other link.
bool write(const QByteArray &path, const QByteArray &directory);

} // namespace settings
