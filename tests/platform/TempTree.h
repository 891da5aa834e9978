#pragma once
// A scratch directory for tests, removed with everything in it whatever the names' bytes, the
// modes or the depth (QDir would stumble on non-UTF-8 names and paths beyond PATH_MAX).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TempTree {
public:
    TempTree() {
        QByteArray tmpl = QFile::encodeName(QDir::tempPath()) + "/winyk-test-XXXXXX";
        if (::mkdtemp(tmpl.data()))
            path_ = tmpl;
    }
    ~TempTree() {
        if (!path_.isEmpty())
            removeTree(path_);
    }
    TempTree(const TempTree &) = delete;
    TempTree &operator=(const TempTree &) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    const QByteArray &path() const { return path_; }

    // A fresh, empty folder for one test case; removed again by removeTree.
    QByteArray makeCaseDirectory() const {
        const QByteArray dir = path_ + "/case";
        return ::mkdir(dir.constData(), 0755) == 0 ? dir : QByteArray();
    }

    static void removeTree(const QByteArray &path) {
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            ::chmod(path.constData(), 0700); // a test may have taken every permission away
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            ::unlink(path.constData());
            return;
        }
        removeContents(fd);
        ::close(fd);
        ::rmdir(path.constData());
    }

private:
    static void removeContents(int dirFd) {
        QList<QByteArray> names;
        if (DIR *d = ::fdopendir(::dup(dirFd))) {
            while (const dirent *e = ::readdir(d)) {
                const QByteArray n(e->d_name);
                if (n != "." && n != "..")
                    names << n;
            }
            ::closedir(d);
        }
        for (const QByteArray &n : names) {
            if (::unlinkat(dirFd, n.constData(), 0) == 0)
                continue;
            // A failure shows as the openat below failing.
            [[maybe_unused]] const int chmodded = ::fchmodat(dirFd, n.constData(), 0700, 0);
            const int sub =
                ::openat(dirFd, n.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0)
                continue;
            removeContents(sub);
            ::close(sub);
            ::unlinkat(dirFd, n.constData(), AT_REMOVEDIR);
        }
    }

    QByteArray path_;
};
