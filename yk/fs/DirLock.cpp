#include "fs/DirLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace yk {

DirLock::~DirLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool DirLock::open(Error &error) {
    fd_ = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A directory we may write in but not list still takes an archive; it cannot be locked.
    if (fd_ < 0 && errno == EACCES)
        fd_ = ::open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        error = Error::system(errno);
    return fd_ >= 0;
}

DirLock::Result DirLock::tryLock(Error &error) {
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return Locked;
        if (errno == EWOULDBLOCK)
            return Busy;
        if (errno != EINTR) {
            error = Error::system(errno);
            return Failed;
        }
    }
}

bool DirLock::wait(Error &error) {
    for (;;) {
        if (flock(fd_, LOCK_EX) == 0)
            return true;
        if (errno != EINTR) {
            error = Error::system(errno);
            return false;
        }
    }
}

} // namespace yk
