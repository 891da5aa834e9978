#include "platform/Files.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QByteArray joinPath(const QByteArray &dir, const QByteArray &name) {
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

QByteArray withoutTrailingSlash(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

std::optional<QByteArray> shortPathName(const QByteArray &path) {
    struct stat st;
    if (path.isEmpty() || path.contains('\0') || ::lstat(path.constData(), &st) != 0)
        return std::nullopt;
    return path;
}

bool deleteFile(const QByteArray &path) {
    struct stat st;
    if (path.isEmpty() || path.contains('\0') || ::lstat(path.constData(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return ::unlink(path.constData()) == 0;
}

} // namespace platform
