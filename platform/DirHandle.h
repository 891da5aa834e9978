#pragma once
// A directory held open from its listing until the next one, so that what is done to its
// entries happens in the directory that was listed, even after its path has come to name
// another directory (renamed, replaced, or a link put in its place).
#include <QByteArray>

namespace platform {

class DirectoryHandle {
public:
    DirectoryHandle() = default;
    // Opens the directory that path names now; isOpen() tells whether it could.
    explicit DirectoryHandle(const QByteArray &path);
    ~DirectoryHandle();
    DirectoryHandle(DirectoryHandle &&other) noexcept;
    DirectoryHandle &operator=(DirectoryHandle &&other) noexcept;
    DirectoryHandle(const DirectoryHandle &) = delete;
    DirectoryHandle &operator=(const DirectoryHandle &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Removes the entry name of this directory: a file, a link (never what it points to) or a
    // special file, never a directory. A name holding '/' is refused. False on any failure.
    bool removeEntry(const QByteArray &name) const;
    // The descriptor, for the platform's own readers; -1 when not open.
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace platform
