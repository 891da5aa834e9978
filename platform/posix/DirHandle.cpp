#include "platform/DirHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

DirectoryHandle::DirectoryHandle(const QByteArray &path) {
    if (path.isEmpty() || path.contains('\0'))
        return;
    // O_DIRECTORY: a FIFO or device given by mistake fails at once instead of blocking.
    m_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
}

DirectoryHandle::~DirectoryHandle() {
    if (m_fd >= 0)
        ::close(m_fd);
}

DirectoryHandle::DirectoryHandle(DirectoryHandle &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

DirectoryHandle &DirectoryHandle::operator=(DirectoryHandle &&other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool DirectoryHandle::removeEntry(const QByteArray &name) const {
    if (m_fd < 0 || name.isEmpty() || name.contains('\0') || name.contains('/') || name == "." ||
        name == "..") {
        errno = EINVAL;
        return false;
    }
    struct stat st;
    if (::fstatat(m_fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    // Without AT_REMOVEDIR, unlinkat never removes a directory, whatever came in meanwhile.
    return ::unlinkat(m_fd, name.constData(), 0) == 0;
}

} // namespace platform
