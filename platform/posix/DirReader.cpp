#include "platform/DirReader.h"

#include "platform/DirHandle.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool isDotOrDotDot(const char *n) {
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

// Only for entries whose type readdir left open. Returns false when the entry has vanished.
bool probeIsDirectory(int dirFd, const char *name, bool &isDir) {
    struct stat st;
    if (::fstatat(dirFd, name, &st, 0) == 0) {
        isDir = S_ISDIR(st.st_mode);
        return true;
    }
    // A dangling link, or a name we may not search: listed as a file. Gone: not listed.
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        isDir = S_ISDIR(st.st_mode);
        return true;
    }
    isDir = false;
    return errno != ENOENT;
}

} // namespace

namespace {

// Reads the directory open on fd, which it takes over.
bool readOpened(int fd, std::vector<DirEntry> &out,
                const std::function<void(const DirEntry &)> &onEntry) {
    DIR *d = ::fdopendir(fd);
    if (!d) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return false;
    }
    ::rewinddir(d);
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(d);
        if (!e)
            break;
        if (isDotOrDotDot(e->d_name))
            continue;
        DirEntry entry;
        switch (e->d_type) {
        case DT_DIR:
            entry.isDirectory = true;
            break;
        case DT_UNKNOWN:
        case DT_LNK:
            if (!probeIsDirectory(fd, e->d_name, entry.isDirectory))
                continue;
            break;
        default:
            break;
        }
        entry.name = QByteArray(e->d_name, int(std::strlen(e->d_name)));
        out.push_back(std::move(entry));
        if (onEntry)
            onEntry(out.back());
    }
    const int readError = errno;
    ::closedir(d);
    errno = readError;
    return readError == 0;
}

} // namespace

bool readDirectory(const QByteArray &dir, std::vector<DirEntry> &out,
                   const std::function<void(const DirEntry &)> &onEntry) {
    out.clear();
    if (dir.contains('\0')) {
        errno = ENOENT;
        return false;
    }
    // O_DIRECTORY: a FIFO or device given by mistake fails at once instead of blocking.
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    return readOpened(fd, out, onEntry);
}

bool readDirectory(const DirectoryHandle &dir, std::vector<DirEntry> &out,
                   const std::function<void(const DirEntry &)> &onEntry) {
    out.clear();
    if (!dir.isOpen()) {
        errno = EBADF;
        return false;
    }
    // A descriptor of its own: the handle stays open for what is done after the reading.
    const int fd = ::fcntl(dir.descriptor(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return false;
    return readOpened(fd, out, onEntry);
}

} // namespace platform
