#include "app/SettingsFile.h"

#include "platform/FileStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {

QByteArray filePath(const QByteArray &configDirectory) {
    return configDirectory + "/yk32.ini";
}

ReadResult read(const QByteArray &path) {
    ReadResult result;
    const platform::FileKind kind = platform::fileKind(path);
    if (kind == platform::FileKind::Missing || kind == platform::FileKind::Directory)
        return result;
    // Only a regular file is read: opening a FIFO or a device could block or have effects.
    if (kind != platform::FileKind::Regular) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    // Only the start is read: a first line longer than any path is no directory, and reading
    // a huge one whole would cost time and memory for nothing.
    QByteArray head = file.read(FirstLineLimit + 1);
    if (file.error() != QFile::NoError) {
        result.status = ReadResult::Unreadable;
        return result;
    }
    result.status = ReadResult::Ok;
    const qsizetype end = head.indexOf('\n');
    if (end < 0 && head.size() > FirstLineLimit)
        return result;
    QByteArray line = end < 0 ? head : head.left(end);
    while (line.endsWith('\r'))
        line.chop(1);
    result.firstLine = line;
    return result;
}

namespace {

// Where the file is written: its own path, or the file a link there points to when that is a
// regular file of ours. Empty for a link to anything else: writing through it could replace a
// file of another user (the program run by root on a user's settings, say).
QByteArray writeTarget(const QByteArray &path) {
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return {};
    const QByteArray target(real);
    ::free(real);
    if (::stat(target.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    return target;
}

} // namespace

bool write(const QByteArray &path, const QByteArray &directory) {
    if (path.isEmpty() || path.contains('\0'))
        return false;
    QDir().mkpath(QFileInfo(QFile::decodeName(path)).absolutePath());
    const QByteArray target = writeTarget(path);
    if (target.isEmpty())
        return false;
    const QString name = QFile::decodeName(target);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(directory + "\r\n");
    return file.commit();
}

} // namespace settings
