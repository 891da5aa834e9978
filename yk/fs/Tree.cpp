#include "fs/Tree.h"

#include "fs/AtomicFile.h"
#include "fs/DirFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace yk {

bool statAt(int dir, const std::string &name, struct stat &st, Error &error) {
    return systemCall((name.empty() ? ::fstat(dir, &st)
                                    : ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW)) == 0,
                      error);
}

bool pathState(const std::string &path, struct stat &st, Error &error, bool followLink) {
    return systemCall((followLink ? ::stat : ::lstat)(path.c_str(), &st) == 0, error);
}

int openDirAt(int dir, const std::string &name, Error &error) {
    const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return systemCall(fd >= 0, error) ? fd : -1;
}

int openPath(const std::vector<std::string> &parts, Error &error) {
    DirFd dir(openDirAt(AT_FDCWD, ".", error));
    for (std::size_t i = 0; i < parts.size() && dir.get() >= 0; ++i)
        dir.reset(openDirAt(dir.get(), parts[i], error));
    return dir.release();
}

bool makeDirAt(int dir, const std::string &name, mode_t mode, Error &error) {
    return systemCall(::mkdirat(dir, name.c_str(), mode) == 0, error);
}

bool removeAt(int dir, const std::string &name, Error &error) {
    return systemCall(::unlinkat(dir, name.c_str(), 0) == 0, error);
}

bool placeLink(int dir, const std::string &name, const std::string &to, bool replace,
               Error &error) {
    const std::string temp =
        replace ? temporaryPrefix(name) + std::to_string(getpid()) + "-link00" : name;
    if (replace)
        ::unlinkat(dir, temp.c_str(), 0);
    const bool placed =
        systemCall(::symlinkat(to.c_str(), dir, temp.c_str()) == 0 &&
                       (!replace || ::renameat(dir, temp.c_str(), dir, name.c_str()) == 0),
                   error);
    if (!placed && replace)
        ::unlinkat(dir, temp.c_str(), 0);
    return placed;
}

bool makeEmptyFile(int dir, const std::string &name, mode_t mode, const struct timespec *times,
                   Error &error) {
    const DirFd fd(
        ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    return systemCall(fd.get() >= 0, error) && setModeAndTimes(fd.get(), mode, times, error);
}

bool setModeAndTimes(int fd, mode_t mode, const struct timespec *times, Error &error) {
    if (times)
        ::futimens(fd, times);
    return systemCall(::fchmod(fd, mode) == 0, error);
}

bool realPath(const std::string &path, std::string &real, Error &error) {
    char buffer[PATH_MAX];
    const bool found = systemCall(::realpath(path.c_str(), buffer) != nullptr, error);
    real = found ? buffer : "";
    return found;
}

} // namespace yk
