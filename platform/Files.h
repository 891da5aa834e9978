#pragma once
// Paths, names and removal of single files.
#include <QByteArray>
#include <optional>

namespace platform {

// The directory, a '/' and the name; no second '/' after a directory that ends in one.
QByteArray joinPath(const QByteArray &dir, const QByteArray &name);
// The path without its trailing '/'s; "/" stays.
QByteArray withoutTrailingSlash(QByteArray path);

// The short (8.3) form of a path. POSIX volumes have no short names, so it is the path itself,
// as on a volume without them; empty optional when nothing of that name exists (a dangling
// link counts as existing).
std::optional<QByteArray> shortPathName(const QByteArray &path);

// Removes a file, a link or a special file, never a directory. False on any failure.
bool deleteFile(const QByteArray &path);

} // namespace platform
