#include "fs/SourceFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace yk {

namespace {
bool sameTime(const struct timespec &a, const struct timespec &b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
// The same file in the same state: reading it changes none of these.
bool sameState(const struct stat &a, const struct stat &b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
           sameTime(a.st_mtim, b.st_mtim) && sameTime(a.st_ctim, b.st_ctim);
}
} // namespace

bool listDir(const std::string &dir, std::vector<std::string> &names, Error &error) {
    DIR *d = opendir(dir.empty() ? "." : dir.c_str());
    if (!systemCall(d != nullptr, error))
        return false;
    while (const dirent *e = readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..")
            names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return true;
}

bool readLink(const std::string &path, off_t size, std::string &target, Error &error) {
    target.assign(static_cast<std::size_t>(size) + 1, '\0');
    const ssize_t n = readlink(path.c_str(), &target[0], target.size());
    target.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return systemCall(n >= 0, error);
}

Removal removeIfUnchanged(const std::string &path, const struct stat &seen, Error &error) {
    struct stat now;
    if (lstat(path.c_str(), &now) != 0)
        return Removal::Gone;
    if (!sameState(seen, now))
        return Removal::Changed;
    return systemCall(::unlink(path.c_str()) == 0, error) ? Removal::Removed : Removal::Failed;
}

bool SourceFile::open(const std::string &path, const FileId &id, Error &error) {
    fd_.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (fd_.get() >= 0 && fstat(fd_.get(), &st_) == 0 && S_ISREG(st_.st_mode) &&
        FileId{st_.st_dev, st_.st_ino} == id)
        return true;
    error = Error::system(fd_.get() < 0 ? errno : ENOENT); // ENOENT: something else is there
    return false;
}

ssize_t SourceFile::read(void *to, std::size_t size, Error &error) {
    ssize_t n;
    while ((n = ::read(fd_.get(), to, size)) < 0 && errno == EINTR) {
    }
    systemCall(n >= 0, error);
    return n;
}

bool SourceFile::unchanged() const {
    struct stat now;
    return fstat(fd_.get(), &now) == 0 && sameState(st_, now);
}

} // namespace yk
