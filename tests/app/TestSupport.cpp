#include "TestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool makeFile(const QByteArray &path, qint64 size) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray data(int(size), 'x');
    const bool ok = ::write(fd, data.constData(), size_t(data.size())) == data.size();
    ::close(fd);
    return ok;
}

bool makeDir(const QByteArray &path) {
    return ::mkdir(path.constData(), 0755) == 0;
}

bool makeCaseDir(const QByteArray &dir) {
    const QByteArray config = dir + "/config";
    if (!makeDir(dir) || !makeDir(config))
        return false;
    qputenv("XDG_CONFIG_HOME", config);
    return true;
}

QByteArray readAll(const QByteArray &path) {
    QByteArray result;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        result.append(buffer, int(n));
    ::close(fd);
    return result;
}
