// Starting a program from a command line: where it is found, what it receives, where it runs,
// and the console window of show mode 1. Also the single-file calls of the commands.
#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Launcher.h"

#include "TempTree.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// POSIX calls: the names may hold any bytes.
bool writeFile(const QByteArray &path, const QByteArray &text, mode_t mode = 0644) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    return ::close(fd) == 0 && ok && ::chmod(path.constData(), mode) == 0;
}

QByteArray readAll(const QByteArray &path) {
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Waits up to 10 s for a file that a started program writes.
QByteArray waitFor(const QByteArray &path) {
    for (int i = 0; i < 400 && !exists(path); ++i)
        QTest::qSleep(25);
    return readAll(path);
}

QList<QByteArray> splitNul(const QByteArray &data) {
    QList<QByteArray> parts = data.split('\0');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
    TempTree tmp_;
    QByteArray dir_;
    QByteArray bin_;  // a PATH directory
    QByteArray work_; // the working directory handed to the launcher
    QByteArray out_;  // where stand-ins report

    // A stand-in that records its arguments (NUL-separated, its own path first) and its working
    // directory, then renames the record into place so that a reader sees it whole.
    QByteArray recorder(const QByteArray &tag) const {
        return "#!/bin/sh\n"
               "printf '%s\\0' \"$0\" \"$@\" > '" +
               out_ + "/" + tag + ".tmp'\n" + "pwd -P > '" + out_ + "/" + tag +
               ".cwd'\n"
               "mv '" +
               out_ + "/" + tag + ".tmp' '" + out_ + "/" + tag + ".args'\n";
    }

private slots:
    void init() {
        QVERIFY(tmp_.isValid());
        TempTree::removeTree(tmp_.path() + "/case");
        dir_ = tmp_.makeCaseDirectory();
        QVERIFY(!dir_.isEmpty());
        bin_ = dir_ + "/bin";
        work_ = dir_ + "/work dir \"quoted\"";
        out_ = dir_ + "/out";
        for (const QByteArray &d : {bin_, work_, out_})
            QCOMPARE(::mkdir(d.constData(), 0755), 0);
        platform::setTerminalCandidates({{}}); // no terminal unless a test names one
    }
    void cleanupTestCase() { platform::setTerminalCandidates({}); }

    void findProgramOrder_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QStringList>("present"); // files made executable: dir/name
        QTest::addColumn<QByteArray>("found");    // dir/name, or empty
        QTest::newRow("own directory first")
            << QByteArray("yk.exe") << QStringList{"own/yk", "cwd/yk", "path/yk"}
            << QByteArray("own/yk");
        QTest::newRow("working directory second")
            << QByteArray("yk.exe") << QStringList{"cwd/yk", "path/yk"} << QByteArray("cwd/yk");
        QTest::newRow("then PATH")
            << QByteArray("yk.exe") << QStringList{"path/yk"} << QByteArray("path/yk");
        QTest::newRow("full name before the one without .exe")
            << QByteArray("yk.exe") << QStringList{"cwd/yk", "cwd/yk.exe"}
            << QByteArray("cwd/yk.exe");
        QTest::newRow(".exe in any case")
            << QByteArray("YK.EXE") << QStringList{"path/YK"} << QByteArray("path/YK");
        QTest::newRow("no .exe: the name alone")
            << QByteArray("yk") << QStringList{"path/yk"} << QByteArray("path/yk");
        QTest::newRow("not found")
            << QByteArray("yk.exe") << QStringList{"path/other"} << QByteArray();
        QTest::newRow("a directory of that name is no program")
            << QByteArray("yk.exe") << QStringList{"own/yk/"} << QByteArray();
        QTest::newRow("a path is taken as it is")
            << QByteArray("sub/yk.exe") << QStringList{"cwd/sub/yk", "path/sub/yk"}
            << QByteArray("cwd/sub/yk");
    }
    void findProgramOrder() {
        QFETCH(QByteArray, name);
        QFETCH(QStringList, present);
        QFETCH(QByteArray, found);
        for (const char *d : {"own", "cwd", "path"})
            QCOMPARE(::mkdir((dir_ + '/' + d).constData(), 0755), 0);
        for (const QString &p : present) {
            const QByteArray path = dir_ + '/' + p.toUtf8();
            if (path.endsWith('/')) {
                QCOMPARE(::mkdir(path.chopped(1).constData(), 0755), 0);
                continue;
            }
            ::mkdir(path.left(path.lastIndexOf('/')).constData(), 0755);
            QVERIFY(writeFile(path, "#!/bin/sh\n", 0755));
        }
        const QByteArray result = platform::findProgram(name, dir_ + "/own", dir_ + "/cwd",
                                                        "/nonexistent:" + dir_ + "/path");
        QCOMPARE(result, found.isEmpty() ? QByteArray() : dir_ + '/' + found);
    }

    // Every byte of every argument arrives, in the working directory given, hidden: no shell
    // parses the line, and the program is found without its ".exe".
    void argumentsAndDirectoryArriveExactly() {
        QVERIFY(writeFile(bin_ + "/yk", recorder("hidden"), 0755));
        const QList<QByteArray> names = {
            "a b.txt", "it's \"q\".txt", "back\\slash\\", "-x", "$(touch pwned)",
            ";",       "caf\xe9.txt",    "*.*",           "\t"};
        QByteArray line = "yk.exe a1";
        for (const QByteArray &n : names)
            line += ' ' + platform::quoteArgument(n);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin_ + ':' + path);
        QVERIFY(platform::winExec(line, platform::ShowHidden, work_));
        qputenv("PATH", path);
        const QList<QByteArray> args = splitNul(waitFor(out_ + "/hidden.args"));
        QCOMPARE(args, (QList<QByteArray>{bin_ + "/yk", "a1"} + names));
        QCOMPARE(readAll(out_ + "/hidden.cwd"), work_ + '\n');
        QVERIFY(!exists(work_ + "/pwned"));
        QVERIFY(!exists(dir_ + "/pwned"));
    }

    void nothingStartedIsFalse() {
        QVERIFY(!platform::winExec("", platform::ShowHidden, work_));
        QVERIFY(!platform::winExec("no-such-program-here.exe x", platform::ShowHidden, work_));
        QVERIFY(writeFile(work_ + "/yk", recorder("never"), 0755));
        QVERIFY(!platform::winExec("yk.exe l x", platform::ShowHidden, dir_ + "/gone"));
        QTest::qWait(200);
        QVERIFY(!exists(out_ + "/never.args"));
    }

    // The launcher does not wait and leaves no child of ours behind (no zombie); the program
    // runs in a session of its own with /dev/null for its standard streams and none of our
    // descriptors, but with our environment.
    void detachedWithoutZombie() {
        const int leak = ::open("/dev/zero", O_RDONLY); // no close-on-exec on purpose
        QVERIFY(leak > 2);
        const QByteArray script = "#!/bin/sh\nsleep 1\nout='" + out_ +
                                  "'\n"
                                  "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
                                  "{ cut -d' ' -f6 /proc/$$/stat; echo $$; echo \"$streams\";\n"
                                  "  [ -e /proc/$$/fd/" +
                                  QByteArray::number(leak) +
                                  " ] && echo leaked; echo \"$WINYK_MARK\"; } > \"$out/x.tmp\"\n"
                                  "mv \"$out/x.tmp\" \"$out/slept\"\n";
        QVERIFY(writeFile(work_ + "/slow", script, 0755));
        qputenv("WINYK_MARK", "inherited");
        QElapsedTimer t;
        t.start();
        QVERIFY(platform::winExec("slow", platform::ShowHidden, work_));
        QVERIFY(t.elapsed() < 900);
        ::close(leak);
        errno = 0;
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
        const QList<QByteArray> seen = waitFor(out_ + "/slept").split('\n');
        QCOMPARE(seen.size(), 7);   // the last line ends with a line break
        QCOMPARE(seen[0], seen[1]); // session id: its own pid
        QCOMPARE(seen.mid(2, 3), QList<QByteArray>(3, "/dev/null"));
        QCOMPARE(seen[5], QByteArray("inherited"));
    }

    // Show mode 1 goes through the terminal emulator, which is handed the program under the
    // wrapper that waits for Enter; the stand-in terminal runs it with our answer on stdin.
    void normalModeRunsInTerminalUntilEnter() {
        QVERIFY(writeFile(work_ + "/yk", recorder("shown"), 0755));
        const QByteArray term = bin_ + "/term";
        QVERIFY(writeFile(term,
                          "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + out_ +
                              "/term.args'\nshift\n"
                              "echo | \"$@\" > '" +
                              out_ + "/term.tmp' 2>&1\nmv '" + out_ + "/term.tmp' '" + out_ +
                              "/term.out'\n",
                          0755));
        platform::setTerminalCandidates({{"no-such-terminal", "-e"}, {term, "-e"}});
        QVERIFY(platform::winExec("yk.exe l \"my archive.yk\"", platform::ShowNormal, work_));
        const QByteArray output = waitFor(out_ + "/term.out");
        const QList<QByteArray> termArgs = splitNul(readAll(out_ + "/term.args"));
        QCOMPARE(termArgs.first(), QByteArray("-e"));
        QCOMPARE(termArgs.mid(termArgs.size() - 3),
                 (QList<QByteArray>{work_ + "/yk", "l", "my archive.yk"}));
        QCOMPARE(splitNul(readAll(out_ + "/shown.args")),
                 (QList<QByteArray>{work_ + "/yk", "l", "my archive.yk"}));
        QVERIFY2(output.contains("Enter"), output.constData());
    }

    void normalModeWithoutTerminalRunsWithoutWindow() {
        QVERIFY(writeFile(work_ + "/yk", recorder("bare"), 0755));
        platform::setTerminalCandidates({{"no-such-terminal", "-e"}});
        QVERIFY(platform::winExec("yk.exe t x.yk", platform::ShowNormal, work_));
        QCOMPARE(splitNul(waitFor(out_ + "/bare.args")),
                 (QList<QByteArray>{work_ + "/yk", "t", "x.yk"}));
    }

    void consoleArgumentsKeepTheProgramApart() {
        const platform::Terminal t{"/usr/bin/xterm", {"-e"}};
        const QList<QByteArray> args =
            platform::consoleArguments(t, "/run/c d/0", {"/p/yk", "l", "a b"});
        QCOMPARE(args.mid(0, 4), (QList<QByteArray>{"/usr/bin/xterm", "-e", "/bin/sh", "-c"}));
        // The wrapper is fixed text; the claim, the program and its arguments follow it
        // untouched.
        QCOMPARE(args.mid(args.size() - 4), (QList<QByteArray>{"/run/c d/0", "/p/yk", "l", "a b"}));
        QVERIFY(args.at(4).contains("\"$@\""));
    }

    void shortPathIsThePathItself() {
        const QByteArray file = work_ + "/quarterly report.html";
        QVERIFY(writeFile(file, "x"));
        QCOMPARE(platform::shortPathName(file), std::optional<QByteArray>(file));
        QCOMPARE(platform::shortPathName(work_ + "/vanished.yk"), std::nullopt);
        QCOMPARE(::symlink("nowhere", (work_ + "/dangling").constData()), 0);
        QVERIFY(platform::shortPathName(work_ + "/dangling").has_value());
    }

    void deleteFileNeverADirectory() {
        const QByteArray file = work_ + "/-x \xe9";
        QVERIFY(writeFile(file, "x"));
        QVERIFY(platform::deleteFile(file));
        QVERIFY(!exists(file));
        QVERIFY(!platform::deleteFile(file)); // already gone
        QCOMPARE(::mkdir((work_ + "/sub").constData(), 0755), 0);
        QVERIFY(!platform::deleteFile(work_ + "/sub"));
        QVERIFY(exists(work_ + "/sub"));
        // A link goes, its target stays; a FIFO goes without being opened.
        QVERIFY(writeFile(work_ + "/target", "t"));
        QCOMPARE(::symlink("target", (work_ + "/link").constData()), 0);
        QVERIFY(platform::deleteFile(work_ + "/link"));
        QVERIFY(exists(work_ + "/target"));
        QCOMPARE(::mkfifo((work_ + "/fifo").constData(), 0644), 0);
        QVERIFY(platform::deleteFile(work_ + "/fifo"));
        // A file in a directory we may not write stays, and that is a failure.
        if (::geteuid() != 0) {
            QVERIFY(writeFile(work_ + "/sub/kept", "k"));
            QCOMPARE(::chmod((work_ + "/sub").constData(), 0555), 0);
            QVERIFY(!platform::deleteFile(work_ + "/sub/kept"));
            QCOMPARE(::chmod((work_ + "/sub").constData(), 0755), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
