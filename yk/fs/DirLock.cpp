#include "fs/DirLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace yk {

bool DirLock::open(Error &error) {
    fd_.reset(::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A directory we may write in but not list still takes an archive; it cannot be locked.
    if (fd_.get() < 0 && errno == EACCES)
        fd_.reset(::open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return systemCall(fd_.get() >= 0, error);
}

DirLock::Result DirLock::tryLock(Error &error) {
    return take(LOCK_EX | LOCK_NB, error);
}

bool DirLock::wait(Error &error) {
    return take(LOCK_EX, error) == Locked;
}

DirLock::Result DirLock::take(int operation, Error &error) {
    for (;;) {
        if (flock(fd_.get(), operation) == 0)
            return Locked;
        if (errno == EWOULDBLOCK)
            return Busy;
        if (errno != EINTR) {
            error = Error::system(errno);
            return Failed;
        }
    }
}

} // namespace yk
