#pragma once
// The one-line settings file that remembers the last directory across runs.
#include <QByteArray>
#include <QString>

namespace settings {

// The file's name: the configuration directory and "/yk32.ini".
QByteArray filePath(const QByteArray &configDirectory);

struct ReadResult {
    enum Status { NoFile, Unreadable, Ok } status = NoFile;
    QByteArray firstLine; // without its line break; may be empty
};

// A directory of that name counts as no file.
ReadResult read(const QByteArray &path);

// Replaces the file whole with directory + CR LF, through a temporary file and a rename, so a
// crash never leaves a truncated file. Creates the configuration directory when missing.
bool write(const QByteArray &path, const QByteArray &directory);

// The reports the program shows when the file cannot be read or written.
QString cannotOpenText(const QByteArray &path);
QString cannotCreateText(const QByteArray &path);

} // namespace settings
