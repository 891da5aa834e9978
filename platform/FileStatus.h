#pragma once
// What the status bar needs to know of one file.
#include <QByteArray>
#include <optional>

namespace platform {

struct FileStatus {
    qint64 size = 0;     // bytes, 64-bit
    qint64 mtimeSec = 0; // last write, seconds since the epoch (UTC)
};

// Opens a regular file for reading (O_NONBLOCK, O_NOCTTY, O_CLOEXEC), takes its length and
// last-write time, closes it. Special files (FIFOs, sockets, devices) are only stat'ed, never
// opened, so nothing can block. A symbolic link reports its target. Empty optional when the
// file cannot be opened, does not exist, or is a directory.
std::optional<FileStatus> readFileStatus(const QByteArray &path);

// What a path names, from stat alone (links followed); nothing is opened.
enum class FileKind { Missing, Directory, Regular, Special };
FileKind fileKind(const QByteArray &path);

} // namespace platform
