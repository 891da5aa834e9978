#include "platform/DirReader.h"

#include "TempTree.h"

#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using platform::DirEntry;

namespace {

void createFile(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    ::close(fd);
}

QMap<QByteArray, bool> asMap(const std::vector<DirEntry> &entries) {
    QMap<QByteArray, bool> map;
    for (const DirEntry &e : entries)
        map.insert(e.name, e.isDirectory);
    return map;
}

} // namespace

class TestDirReader : public QObject {
    Q_OBJECT
    TempTree tmp_;
    QByteArray dir_;

private slots:
    void init() {
        QVERIFY(tmp_.isValid());
        dir_ = tmp_.makeCaseDirectory();
        QVERIFY(!dir_.isEmpty());
    }
    void cleanup() { TempTree::removeTree(dir_); }

    void exactBytes_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("non-UTF-8") << QByteArray("caf\xe9 \xff\xfe.txt");
        QTest::newRow("blanks") << QByteArray("  two  blanks ");
        QTest::newRow("quotes") << QByteArray("it's \"quoted\"");
        QTest::newRow("leading dash") << QByteArray("-rf");
        QTest::newRow("newline") << QByteArray("line\nbreak");
        QTest::newRow("backslash") << QByteArray("a\\b");
        QTest::newRow("Cyrillic") << QByteArray("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82");
        QTest::newRow("hidden") << QByteArray(".profile");
        QTest::newRow("three dots") << QByteArray("...");
        QTest::newRow("255 bytes") << QByteArray(255, 'x');
    }
    void exactBytes() {
        QFETCH(QByteArray, name);
        createFile(dir_ + '/' + name);
        std::vector<DirEntry> entries;
        QVERIFY(platform::readDirectory(dir_, entries));
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0].name, name);
        QVERIFY(!entries[0].isDirectory);
    }

    void kinds() {
        createFile(dir_ + "/file");
        QVERIFY(::mkdir((dir_ + "/sub").constData(), 0755) == 0);
        QVERIFY(::symlink("sub", (dir_ + "/link to dir").constData()) == 0);
        QVERIFY(::symlink("file", (dir_ + "/link to file").constData()) == 0);
        QVERIFY(::symlink("nowhere", (dir_ + "/dangling").constData()) == 0);
        QVERIFY(::symlink("loop", (dir_ + "/loop").constData()) == 0);
        QVERIFY(::mkfifo((dir_ + "/fifo").constData(), 0644) == 0);

        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(s >= 0);
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        const QByteArray sockPath = dir_ + "/socket";
        QVERIFY(size_t(sockPath.size()) < sizeof addr.sun_path);
        qstrcpy(addr.sun_path, sockPath.constData());
        const bool bound = ::bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
        ::close(s);
        QVERIFY(bound);

        std::vector<DirEntry> entries;
        QVERIFY(platform::readDirectory(dir_, entries));
        const QMap<QByteArray, bool> expected{
            {"file", false},     {"sub", true},   {"link to dir", true}, {"link to file", false},
            {"dangling", false}, {"loop", false}, {"fifo", false},       {"socket", false}};
        QCOMPARE(entries.size(), size_t(expected.size()));
        QCOMPARE(asMap(entries), expected);
    }

    void emptyDirectory() {
        std::vector<DirEntry> entries{{"stale", true}};
        QVERIFY(platform::readDirectory(dir_, entries));
        QVERIFY(entries.empty());
    }

    void unreadableDirectory() {
        createFile(dir_ + "/inside");
        QVERIFY(::chmod(dir_.constData(), 0) == 0);
        const int probe = ::open(dir_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (probe >= 0) {
            ::close(probe);
            QSKIP("this process reads directories whatever their mode (root or CAP_DAC_OVERRIDE)");
        }
        std::vector<DirEntry> entries;
        errno = 0;
        QVERIFY(!platform::readDirectory(dir_, entries));
        QCOMPARE(errno, EACCES);
        QVERIFY(entries.empty());
    }

    void vanishedDirectory() {
        QVERIFY(::rmdir(dir_.constData()) == 0);
        std::vector<DirEntry> entries;
        errno = 0;
        QVERIFY(!platform::readDirectory(dir_, entries));
        QCOMPARE(errno, ENOENT);
    }

    void notADirectory() {
        createFile(dir_ + "/file");
        std::vector<DirEntry> entries;
        errno = 0;
        QVERIFY(!platform::readDirectory(dir_ + "/file", entries));
        QCOMPARE(errno, ENOTDIR);
    }

    void fifoGivenAsDirectoryDoesNotBlock() {
        QVERIFY(::mkfifo((dir_ + "/fifo").constData(), 0644) == 0);
        std::vector<DirEntry> entries;
        errno = 0;
        QVERIFY(!platform::readDirectory(dir_ + "/fifo", entries));
        QCOMPARE(errno, ENOTDIR);
    }

    void symlinkToDirectoryAsDirectory() {
        QVERIFY(::mkdir((dir_ + "/real").constData(), 0755) == 0);
        createFile(dir_ + "/real/inside");
        QVERIFY(::symlink("real", (dir_ + "/alias").constData()) == 0);
        std::vector<DirEntry> entries;
        QVERIFY(platform::readDirectory(dir_ + "/alias", entries));
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0].name, QByteArray("inside"));
    }

    void hundredThousandEntries() {
        const int count = 100000;
        char name[32];
        const int dirFd = ::open(dir_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(dirFd >= 0);
        for (int i = 0; i < count; ++i) {
            std::snprintf(name, sizeof name, "file%06d.dat", i);
            const int fd = ::openat(dirFd, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QVERIFY(::mkdirat(dirFd, "one directory", 0755) == 0);
        ::close(dirFd);

        std::vector<DirEntry> entries;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(platform::readDirectory(dir_, entries));
        qInfo("read %zu entries in %lld ms", entries.size(), timer.elapsed());
        QCOMPARE(entries.size(), size_t(count + 1));
        int directories = 0;
        QSet<QByteArray> names;
        for (const DirEntry &e : entries) {
            directories += e.isDirectory;
            names.insert(e.name);
        }
        QCOMPARE(directories, 1);
        QCOMPARE(names.size(), count + 1);
        QVERIFY(names.contains("file099999.dat"));
    }
};

QTEST_GUILESS_MAIN(TestDirReader)
#include "tst_dirreader.moc"
