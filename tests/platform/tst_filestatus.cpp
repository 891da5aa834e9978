#include "platform/FileStatus.h"

#include "TempTree.h"

#include <QTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestFileStatus : public QObject {
    Q_OBJECT
    TempTree tmp_;
    QByteArray dir_;

    QByteArray makeFile(const QByteArray &name, qint64 size) {
        const QByteArray path = dir_ + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return QByteArray();
        const bool ok = ::ftruncate(fd, off_t(size)) == 0;
        ::close(fd);
        return ok ? path : QByteArray();
    }

private slots:
    void init() {
        QVERIFY(tmp_.isValid());
        dir_ = tmp_.makeCaseDirectory();
        QVERIFY(!dir_.isEmpty());
    }
    void cleanup() { TempTree::removeTree(dir_); }

    void size_data() {
        QTest::addColumn<qint64>("size");
        QTest::newRow("empty") << qint64(0);
        QTest::newRow("one byte") << qint64(1);
        QTest::newRow("1023 bytes") << qint64(1023);
        QTest::newRow("1 MiB") << qint64(1048576);
        QTest::newRow("2 GiB - 1") << qint64(0x7fffffff);
        QTest::newRow("2 GiB") << qint64(0x80000000);
        QTest::newRow("5 GiB sparse") << qint64(5) * 1024 * 1024 * 1024;
    }
    void size() {
        QFETCH(qint64, size);
        const QByteArray path = makeFile("data.bin", size);
        QVERIFY(!path.isEmpty());
        const auto status = platform::readFileStatus(path);
        QVERIFY(status);
        QCOMPARE(status->size, size);
    }

    void mtime_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("odd second") << qint64(1234567891);
        QTest::newRow("before 1980") << qint64(315532799);
        QTest::newRow("epoch") << qint64(0);
        QTest::newRow("before the epoch") << qint64(-86400);
        QTest::newRow("after 2107") << qint64(4500000000);
    }
    void mtime() {
        QFETCH(qint64, seconds);
        const QByteArray path = makeFile("dated", 10);
        QVERIFY(!path.isEmpty());
        timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), 999999999}};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        const auto status = platform::readFileStatus(path);
        QVERIFY(status);
        QCOMPARE(status->mtimeSec, seconds);
    }

    void absent_data() {
        QTest::addColumn<QByteArray>("relative"); // below the case directory; "" for none
        QTest::newRow("missing file") << QByteArray("/missing");
        QTest::newRow("missing directory on the way") << QByteArray("/nowhere/file");
        QTest::newRow("directory") << QByteArray("");
        QTest::newRow("dangling link") << QByteArray("/dangling");
    }
    void absent() {
        QFETCH(QByteArray, relative);
        QVERIFY(::symlink("nothing", (dir_ + "/dangling").constData()) == 0);
        QVERIFY(!platform::readFileStatus(dir_ + relative));
    }

    void emptyPath() { QVERIFY(!platform::readFileStatus(QByteArray())); }

    void nonUtf8Name() {
        const QByteArray path = makeFile("caf\xe9 \"x\" -y", 42);
        QVERIFY(!path.isEmpty());
        const auto status = platform::readFileStatus(path);
        QVERIFY(status);
        QCOMPARE(status->size, qint64(42));
    }

    void symlinkReportsTarget() {
        const QByteArray target = makeFile("target", 777);
        QVERIFY(!target.isEmpty());
        timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
        QVERIFY(::utimensat(AT_FDCWD, target.constData(), times, 0) == 0);
        QVERIFY(::symlink("target", (dir_ + "/link").constData()) == 0);
        const auto status = platform::readFileStatus(dir_ + "/link");
        QVERIFY(status);
        QCOMPARE(status->size, qint64(777));
        QCOMPARE(status->mtimeSec, qint64(1000000000));
    }

    // Opening a FIFO for reading would wait for a writer; the call must come back at once.
    void fifoWithoutWriterReturns() {
        const QByteArray path = dir_ + "/fifo";
        QVERIFY(::mkfifo(path.constData(), 0644) == 0);
        timespec times[2] = {{0, UTIME_OMIT}, {1500000000, 0}};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        const auto status = platform::readFileStatus(path);
        QVERIFY(status);
        QCOMPARE(status->size, qint64(0));
        QCOMPARE(status->mtimeSec, qint64(1500000000));
    }

    void socketIsOnlyStated() {
        const QByteArray path = dir_ + "/socket";
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(s >= 0);
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        qstrcpy(addr.sun_path, path.constData());
        const bool bound = ::bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
        ::close(s);
        QVERIFY(bound);
        QVERIFY(platform::readFileStatus(path));
    }

    void characterDevice() {
        const auto status = platform::readFileStatus("/dev/null");
        QVERIFY(status);
        QCOMPARE(status->size, qint64(0));
    }

    void kinds() {
        const QByteArray file = dir_ + "/file";
        const QByteArray fifo = dir_ + "/fifo";
        QVERIFY(::close(::open(file.constData(), O_WRONLY | O_CREAT, 0644)) == 0);
        QVERIFY(::mkfifo(fifo.constData(), 0644) == 0);
        QVERIFY(::symlink("file", (dir_ + "/link").constData()) == 0);
        QCOMPARE(platform::fileKind(file), platform::FileKind::Regular);
        QCOMPARE(platform::fileKind(dir_ + "/link"), platform::FileKind::Regular);
        QCOMPARE(platform::fileKind(fifo), platform::FileKind::Special);
        QCOMPARE(platform::fileKind("/dev/null"), platform::FileKind::Special);
        QCOMPARE(platform::fileKind(dir_), platform::FileKind::Directory);
        QCOMPARE(platform::fileKind(dir_ + "/missing"), platform::FileKind::Missing);
        QCOMPARE(platform::fileKind(QByteArray()), platform::FileKind::Missing);
    }

    void unreadableFile() {
        const QByteArray path = makeFile("secret", 5);
        QVERIFY(!path.isEmpty());
        QVERIFY(::chmod(path.constData(), 0) == 0);
        const int probe = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (probe >= 0) {
            ::close(probe);
            QSKIP("this process opens files whatever their mode (root or CAP_DAC_OVERRIDE)");
        }
        QVERIFY(!platform::readFileStatus(path));
    }
};

QTEST_GUILESS_MAIN(TestFileStatus)
#include "tst_filestatus.moc"
