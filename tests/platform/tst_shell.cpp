#include "platform/Shell.h"
#include "platform/WorkingDir.h"

#include "TempTree.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeFile(const QByteArray &path, const QByteArray &text, mode_t mode) {
    QFile f(QFile::decodeName(path));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return ::chmod(path.constData(), mode) == 0;
}

QByteArray readAll(const QByteArray &path) {
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool exists(const QByteArray &path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0;
}

} // namespace

// The opener used here records its arguments (NUL-separated) and what it found of its process:
// pid, session, parent, its three standard streams, and what the descriptor leakFd refers to.
// It waits for a file "go" first, so the caller can prove that shellOpen did not wait for it.
class TestShell : public QObject {
    Q_OBJECT
    TempTree tmp_;
    QByteArray out_;
    QByteArray opener_;
    int leakFd_ = -1;

    QByteArray script() const {
        return "#!/bin/sh\n"
               "out='" +
               out_ +
               "'\n"
               "i=0\n"
               "while [ ! -e \"$out/go\" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
               "printf '%s\\0' \"$@\" > \"$out/args.tmp\"\n"
               "sid=$(cut -d' ' -f6 /proc/$$/stat)\n"
               "ppid=$(cut -d' ' -f4 /proc/$$/stat)\n"
               "in=$(readlink /proc/$$/fd/0)\n"
               "o=$(readlink /proc/$$/fd/1)\n"
               "e=$(readlink /proc/$$/fd/2)\n"
               "leak=$(readlink /proc/$$/fd/" +
               QByteArray::number(leakFd_) +
               ")\n"
               "printf '%s\\n' \"$$\" \"$sid\" \"$ppid\" \"$in\" \"$o\" \"$e\" \"$leak\" > "
               "\"$out/info\"\n"
               "mv \"$out/args.tmp\" \"$out/args\"\n";
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        // A descriptor the program forgot to mark close-on-exec: the opener must not get it.
        const QByteArray marker = tmp_.path() + "/marker";
        leakFd_ = ::open(marker.constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(leakFd_ > 2);
    }
    void cleanupTestCase() {
        ::close(leakFd_);
        platform::setShellOpener(QByteArray());
    }
    void init() {
        out_ = tmp_.path() + "/out";
        QVERIFY(::mkdir(out_.constData(), 0755) == 0);
        opener_ = tmp_.path() + "/bin/test-opener";
        ::mkdir((tmp_.path() + "/bin").constData(), 0755);
        QVERIFY(writeFile(opener_, script(), 0755));
        platform::setShellOpener(opener_);
    }
    void cleanup() {
        TempTree::removeTree(out_);
        TempTree::removeTree(tmp_.path() + "/bin");
    }

    void passesTargetBytes_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("argument");
        QTest::newRow("absolute path")
            << QByteArray("/home/user/report.txt") << QByteArray("/home/user/report.txt");
        QTest::newRow("blanks and quotes") << QByteArray("/tmp/it's a \"file\" $HOME `x`")
                                           << QByteArray("/tmp/it's a \"file\" $HOME `x`");
        QTest::newRow("non-UTF-8")
            << QByteArray("/tmp/caf\xe9\xff.txt") << QByteArray("/tmp/caf\xe9\xff.txt");
        QTest::newRow("newline") << QByteArray("/tmp/a\nb") << QByteArray("/tmp/a\nb");
        QTest::newRow("address") << QByteArray("https://example.org/a?b=c&d=e")
                                 << QByteArray("https://example.org/a?b=c&d=e");
        QTest::newRow("leading dash") << QByteArray("-rf") << QByteArray("./-rf");
        QTest::newRow("absolute path with dash name")
            << QByteArray("/tmp/--help") << QByteArray("/tmp/--help");
    }
    void passesTargetBytes() {
        QFETCH(QByteArray, target);
        QVERIFY(writeFile(out_ + "/go", "", 0644));
        QVERIFY(platform::shellOpen(target));
        QTRY_VERIFY_WITH_TIMEOUT(exists(out_ + "/args"), 15000);
        QFETCH(QByteArray, argument);
        QCOMPARE(readAll(out_ + "/args"), argument + '\0');
    }

    void detachedAndQuiet() {
        QVERIFY(platform::shellOpen("/tmp/x"));
        // Back before the opener has done anything: it waits for "go".
        QVERIFY(!exists(out_ + "/args"));
        // The middle process is reaped and the opener is not our child: nothing to wait for.
        errno = 0;
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), pid_t(-1));
        QCOMPARE(errno, ECHILD);

        QVERIFY(writeFile(out_ + "/go", "", 0644));
        QTRY_VERIFY_WITH_TIMEOUT(exists(out_ + "/args"), 15000);
        const QList<QByteArray> info = readAll(out_ + "/info").split('\n');
        QVERIFY(info.size() >= 7);
        QCOMPARE(info[1], info[0]); // leads a session of its own
        QVERIFY(info[2] != QByteArray::number(::getpid()));
        QCOMPARE(info[3], QByteArray("/dev/null"));
        QCOMPARE(info[4], QByteArray("/dev/null"));
        QCOMPARE(info[5], QByteArray("/dev/null"));
        QVERIFY2(!info[6].endsWith("/marker"), info[6].constData());
    }

    void foundInPath() {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", "/nonexistent:" + tmp_.path() + "/bin:" + oldPath);
        platform::setShellOpener("test-opener");
        QVERIFY(writeFile(out_ + "/go", "", 0644));
        const bool started = platform::shellOpen("/tmp/y");
        qputenv("PATH", oldPath);
        QVERIFY(started);
        QTRY_VERIFY_WITH_TIMEOUT(exists(out_ + "/args"), 15000);
        QCOMPARE(readAll(out_ + "/args"), QByteArray("/tmp/y\0", 7));
    }

    void cannotStart_data() {
        QTest::addColumn<QByteArray>("opener"); // below the scratch directory when relative
        QTest::newRow("missing path") << QByteArray("/nonexistent/opener");
        QTest::newRow("name not in PATH") << QByteArray("winyk-no-such-opener-here");
        QTest::newRow("directory") << QByteArray("bin");
        QTest::newRow("not executable") << QByteArray("bin/plain");
        QTest::newRow("executable but no program") << QByteArray("bin/garbage");
        // The shown directory is the working directory: never searched, whatever PATH says.
        QTest::newRow("only in the working directory") << QByteArray("cwd-opener");
    }
    void cannotStart() {
        QFETCH(QByteArray, opener);
        QVERIFY(writeFile(tmp_.path() + "/bin/plain", "#!/bin/sh\n", 0644));
        QVERIFY(writeFile(tmp_.path() + "/bin/garbage", QByteArray("\x01\x02\x03\x04", 4), 0755));
        QVERIFY(writeFile(tmp_.path() + "/bin/cwd-opener", script(), 0755));
        if (opener.startsWith("bin"))
            opener = tmp_.path() + '/' + opener;
        platform::setShellOpener(opener);
        const QByteArray oldPath = qgetenv("PATH");
        const QByteArray oldDir = platform::workingDirectory();
        qputenv("PATH", "::.:bin");
        QVERIFY(platform::setWorkingDirectory(tmp_.path() + "/bin"));
        const bool started = platform::shellOpen("/tmp/z");
        QVERIFY(platform::setWorkingDirectory(oldDir));
        qputenv("PATH", oldPath);
        QVERIFY(!started);
        errno = 0;
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    }

    void emptyTargetStartsNothing() {
        QVERIFY(writeFile(out_ + "/go", "", 0644));
        QVERIFY(!platform::shellOpen(QByteArray()));
        // False means nothing was started: no opener can be running to write its record.
        QVERIFY(!exists(out_ + "/args"));
    }
};

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
