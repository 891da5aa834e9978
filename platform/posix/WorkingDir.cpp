#include "platform/WorkingDir.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// chdir refuses paths of PATH_MAX bytes and more; walk such a path in pieces, each cut at a
// '/', and go back where we were if a piece fails.
bool chdirInPieces(const QByteArray &dir) {
    const int back = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int pos = 0;
    bool ok = true;
    if (dir.startsWith('/')) {
        ok = ::chdir("/") == 0;
        pos = 1;
    }
    while (ok && pos < dir.size()) {
        if (dir[pos] == '/') {
            ++pos;
            continue;
        }
        int end = pos + (PATH_MAX - 1);
        if (end >= dir.size()) {
            end = int(dir.size());
        } else {
            end = int(dir.lastIndexOf('/', end));
            if (end <= pos) {
                errno = ENAMETOOLONG; // one component longer than any file system allows
                ok = false;
                break;
            }
        }
        const QByteArray piece = dir.mid(pos, end - pos);
        ok = ::chdir(piece.constData()) == 0;
        pos = end + 1;
    }
    if (!ok && back >= 0) {
        const int saved = errno;
        if (::fchdir(back) != 0) {
            // Nothing better to do: the old directory went away meanwhile.
        }
        errno = saved;
    }
    if (back >= 0)
        ::close(back);
    return ok;
}

} // namespace

bool setWorkingDirectory(const QByteArray &dir) {
    if (dir.isEmpty() || dir.contains('\0')) {
        errno = ENOENT;
        return false;
    }
    if (::chdir(dir.constData()) == 0)
        return true;
    if (errno != ENAMETOOLONG)
        return false;
    return chdirInPieces(dir);
}

QByteArray workingDirectory() {
    std::vector<char> buf(PATH_MAX);
    for (;;) {
        if (::getcwd(buf.data(), buf.size()))
            return QByteArray(buf.data());
        if (errno != ERANGE)
            return QByteArray();
        buf.resize(buf.size() * 2);
    }
}

} // namespace platform
