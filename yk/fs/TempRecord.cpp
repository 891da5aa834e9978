#include "fs/TempRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace yk {

namespace {

// Makes each missing directory of `path` (mode 0700), as mkdir -p.
bool makeDirectories(const std::string &path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// The notes' directory, made when missing; "" when there is none that only this user can
// write in.
std::string notesDirectory() {
    std::string base;
    if (const char *state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        base = state;
    else if (const char *home = std::getenv("HOME"); home && home[0] == '/')
        base = std::string(home) + "/.local/state";
    else
        return std::string();
    const std::string dir = base + "/yk/temporaries";
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0 && !makeDirectories(dir))
        return std::string();
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & 022) != 0)
        return std::string();
    return dir;
}

std::string noteName(const struct stat &st) {
    return std::to_string(static_cast<unsigned long long>(st.st_dev)) + "-" +
           std::to_string(static_cast<unsigned long long>(st.st_ino));
}

// What a note says: the directory's identity, then the name.
std::string noteText(const struct stat &dir, const std::string &name) {
    return noteName(dir) + " " + name;
}

} // namespace

bool noteTemporary(int dirFd, const std::string &name, int fd) {
    const std::string dir = notesDirectory();
    struct stat st, d;
    if (dir.empty() || fstat(fd, &st) != 0 || fstat(dirFd, &d) != 0)
        return false;
    const std::string text = noteText(d, name);
    const std::string path = dir + "/" + noteName(st);
    const int out =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return false;
    const bool written =
        ::write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(out);
    if (!written)
        ::unlink(path.c_str());
    return written;
}

void forgetTemporary(int fd) {
    const std::string dir = notesDirectory();
    struct stat st;
    if (!dir.empty() && fstat(fd, &st) == 0)
        ::unlink((dir + "/" + noteName(st)).c_str());
}

bool temporaryIsOurs(int dirFd, const std::string &name) {
    const std::string dir = notesDirectory();
    struct stat st, d;
    if (dir.empty() || fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode) || st.st_uid != geteuid() || fstat(dirFd, &d) != 0)
        return false;
    const int in = ::open((dir + "/" + noteName(st)).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const std::string expected = noteText(d, name);
    std::string text(expected.size() + 1, '\0');
    const ssize_t n = ::read(in, text.data(), text.size());
    ::close(in);
    return n == static_cast<ssize_t>(expected.size()) &&
           text.compare(0, expected.size(), expected) == 0;
}

void forgetTemporaryAt(int dirFd, const std::string &name) {
    const std::string dir = notesDirectory();
    struct stat st;
    if (!dir.empty() && fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        ::unlink((dir + "/" + noteName(st)).c_str());
}

} // namespace yk
