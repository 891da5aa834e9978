#include "fs/AtomicFile.h"

#include "fs/Names.h"
#include "fs/TempRecord.h"
#include "fs/Tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace yk {

namespace {

std::string directoryOf(const std::string &path) {
    const std::string d = dirName(path);
    return d.empty() ? "." : d;
}

// Six letters that differ from one call to the next; a clash only costs another attempt, as
// the file is created exclusively. Taken from the clock: setting up a random device for every
// file showed in the time of extracting many small files.
std::string uniqueSuffix(int attempt) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t v = (static_cast<std::uint64_t>(ts.tv_sec) * 1000000007u +
                       static_cast<std::uint64_t>(ts.tv_nsec)) *
                          0x9E3779B97F4A7C15ull +
                      static_cast<std::uint64_t>(attempt);
    std::string s;
    for (int i = 0; i < 6; ++i) {
        s += letters[v % (sizeof letters - 1)];
        v /= sizeof letters - 1;
    }
    return s;
}

} // namespace

std::string temporaryPrefix(const std::string &name) {
    // Long names are cut (at a UTF-8 character's start), so that the temporary name still fits
    // the usual limit of 255 bytes.
    constexpr std::size_t kKept = 200;
    std::size_t keep = std::min(name.size(), kKept);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + ".yktmp-";
}

pid_t temporaryOwner(const std::string &name, const std::string &entry) {
    const std::string prefix = temporaryPrefix(name);
    if (entry.compare(0, prefix.size(), prefix) != 0)
        return 0;
    long pid = 0;
    size_t i = prefix.size();
    for (; i < entry.size() && entry[i] >= '0' && entry[i] <= '9' && pid < (1L << 30); ++i)
        pid = pid * 10 + (entry[i] - '0');
    if (i == prefix.size() || i >= entry.size() || entry[i] != '-' || i + 7 != entry.size())
        return 0;
    return static_cast<pid_t>(pid);
}

namespace {

// Tries fresh temporary names beside `name` until `create` makes one (its name goes to `made`)
// or fails for another reason than the name being taken; errno then says why.
template <typename Create>
bool withFreshName(const std::string &name, Create create, std::string &made) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = temporaryPrefix(name) +
                                 std::to_string(static_cast<long>(getpid())) + "-" +
                                 uniqueSuffix(attempt);
        if (create(temp)) {
            made = temp;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    return false;
}

} // namespace

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

AtomicFile::~AtomicFile() {
    if (!tempName_.empty()) {
        ::unlinkat(dirFd_, tempName_.c_str(), 0);
        if (noted_ && fd_ >= 0)
            forgetTemporary(fd_);
    }
    if (fd_ >= 0)
        ::close(fd_);
}

bool AtomicFile::open(const std::string &target, Error &error) {
    ownDir_.reset(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return systemCall(ownDir_.get() >= 0, error) && openAt(ownDir_.get(), baseName(target), error);
}

bool AtomicFile::openAt(int dirFd, const std::string &name, Error &error) {
    dirFd_ = dirFd;
    name_ = name;
#ifdef O_TMPFILE
    fd_ = ::openat(dirFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0)
        return true;
#endif
    const auto create = [this](const std::string &temp) {
        fd_ = ::openat(dirFd_, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       0600);
        if (fd_ >= 0 && noted_)
            noteTemporary(dirFd_, temp, fd_); // a kill just before this leaves a file never removed
        return fd_ >= 0;
    };
    return systemCall(withFreshName(name_, create, tempName_), error);
}

bool AtomicFile::nameTemporary(Error &error) {
    if (!tempName_.empty())
        return true;
    // Give the unnamed file a name beside the target for the rename.
    const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
    const auto link = [this, &proc](const std::string &temp) {
        if (noted_)
            noteTemporary(dirFd_, temp, fd_);
        return linkat(AT_FDCWD, proc.c_str(), dirFd_, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    return systemCall(withFreshName(name_, link, tempName_), error);
}

mode_t AtomicFile::modeForTarget() const {
    struct stat old;
    if (fstatat(dirFd_, name_.c_str(), &old, 0) == 0)
        return old.st_mode & 07777;
    return 0666 & ~currentUmask();
}

namespace {

// Renames `from` to `to` in `dir` unless `to` exists (EEXIST then). File systems without
// RENAME_NOREPLACE get a link and an unlink, which fail the same way.
bool renameNoReplace(int dir, const std::string &from, const std::string &to) {
    if (renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (linkat(dir, from.c_str(), dir, to.c_str(), 0) != 0)
        return false;
    ::unlinkat(dir, from.c_str(), 0);
    return true;
}

} // namespace

bool AtomicFile::commit(mode_t mode, bool durable, Error &error, bool replace,
                        const struct timespec *times) {
    if (!setModeAndTimes(fd_, mode, times, error) ||
        !systemCall(!durable || fsync(fd_) == 0, error))
        return false;
    bool placed = false;
    if (!replace && tempName_.empty()) {
        // An unnamed file is linked straight under its name, which fails if anything is there.
        const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
        placed = linkat(AT_FDCWD, proc.c_str(), dirFd_, name_.c_str(), AT_SYMLINK_FOLLOW) == 0;
        if (!placed && errno == EEXIST) {
            error = Error{Fault::NameTaken};
            return false;
        }
    }
    if (!placed) {
        if (!nameTemporary(error))
            return false;
        const bool renamed = replace
                                 ? renameat(dirFd_, tempName_.c_str(), dirFd_, name_.c_str()) == 0
                                 : renameNoReplace(dirFd_, tempName_, name_);
        if (!renamed) {
            error = errno == EEXIST ? Error{Fault::NameTaken} : Error::system(errno);
            return false;
        }
        tempName_.clear();
        if (noted_)
            forgetTemporary(fd_);
    }
    ::close(fd_);
    fd_ = -1;
    // A directory open only as a path (one we may not list) cannot be flushed: EBADF.
    return systemCall(!durable || fsync(dirFd_) == 0 || errno == EINVAL || errno == EBADF, error);
}

std::vector<std::string> removeStaleTemporaries(int dirFd, const std::string &name) {
    const int copy = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR *d = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!d) {
        if (copy >= 0)
            ::close(copy);
        return {};
    }
    std::vector<std::string> stale, removed;
    while (const dirent *e = readdir(d)) {
        const pid_t owner = temporaryOwner(name, e->d_name);
        if (owner > 0 && owner != getpid() && kill(owner, 0) != 0 && errno == ESRCH &&
            temporaryIsOurs(dirFd, e->d_name))
            stale.push_back(e->d_name);
    }
    closedir(d);
    for (const std::string &t : stale) {
        forgetTemporaryAt(dirFd, t);
        if (::unlinkat(dirFd, t.c_str(), 0) == 0)
            removed.push_back(t);
    }
    return removed;
}

} // namespace yk
