#include "platform/FileStatus.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<FileStatus> readFileStatus(const QByteArray &path) {
    if (path.isEmpty() || path.contains('\0'))
        return std::nullopt;
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return std::nullopt;
    if (S_ISREG(st.st_mode)) {
        // Opening proves the file is readable, as the status bar's caller expects; O_NONBLOCK
        // keeps us safe should the name turn into a FIFO between stat and open.
        int fd;
        do
            fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return std::nullopt;
        const int rc = ::fstat(fd, &st);
        ::close(fd);
        if (rc != 0)
            return std::nullopt;
    }
    FileStatus status;
    status.size = qint64(st.st_size);
    status.mtimeSec = qint64(st.st_mtim.tv_sec);
    return status;
}

FileKind fileKind(const QByteArray &path) {
    struct stat st;
    if (path.isEmpty() || path.contains('\0') || ::stat(path.constData(), &st) != 0)
        return FileKind::Missing;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Special;
}

} // namespace platform
