#include "AtomicFile.h"

#include "Messages.h"
#include "Names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace yk {

namespace {

std::string directoryOf(const std::string &path) {
    const std::string d = dirName(path);
    return d.empty() ? "." : d;
}

mode_t defaultMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool syncDirectory(const std::string &dir) {
    const int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d < 0)
        return false;
    const bool ok = fsync(d) == 0 || errno == EINVAL;
    ::close(d);
    return ok;
}

} // namespace

AtomicFile::~AtomicFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

bool AtomicFile::open(const std::string &target, std::string &error) {
    target_ = target;
    const std::string dir = directoryOf(target);
#ifdef O_TMPFILE
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        return true;
#endif
    std::string pattern = joinPath(dir, "." + baseName(target) + ".XXXXXX");
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = mkostemp(buf.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error = msg::errnoText(errno);
        return false;
    }
    tempPath_ = buf.data();
    return true;
}

bool AtomicFile::commit(std::string &error) {
    struct stat old;
    const mode_t mode = stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : defaultMode();
    if (fchmod(fd_, mode) != 0 || fsync(fd_) != 0) {
        error = msg::errnoText(errno);
        return false;
    }
    if (tempPath_.empty()) {
        // Give the unnamed file a name beside the target, then move it over the target.
        const std::string named =
            joinPath(directoryOf(target_), "." + baseName(target_) + ".new" +
                                               std::to_string(static_cast<long>(getpid())));
        ::unlink(named.c_str());
        const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
        if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            error = msg::errnoText(errno);
            return false;
        }
        tempPath_ = named;
    }
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        error = msg::errnoText(errno);
        return false;
    }
    tempPath_.clear();
    ::close(fd_);
    fd_ = -1;
    if (!syncDirectory(directoryOf(target_))) {
        error = msg::errnoText(errno);
        return false;
    }
    return true;
}

} // namespace yk
