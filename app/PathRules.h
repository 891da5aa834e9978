#pragma once
// Pure rules on directory paths for the directory list.
#include <QByteArray>
#include <QList>

namespace paths {

// Makes path absolute against base and removes ".", ".." and repeated '/'. Bytes are kept.
QByteArray absoluteClean(const QByteArray &path, const QByteArray &base);

// The directory part of a clean absolute path ("/a/b" gives "/a", "/a" gives "/").
QByteArray parentOf(const QByteArray &path);

// The path rows of a clean absolute directory: "/" first, then each component.
QList<QByteArray> components(const QByteArray &path);

// The path of path row i: "/" for row 0, else the directory cut after that row's component.
QByteArray pathOfRow(const QByteArray &path, int row);

// Indent of path row i, and of every subdirectory row under the directory path.
int pathRowIndent(int row);
int subdirectoryIndent(const QByteArray &path);

} // namespace paths
