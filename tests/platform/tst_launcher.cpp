// Starting a program from a command line: where it is found, what it receives, where it runs,
// and the console window of show mode 1. Also the single-file calls of the commands.
#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Launcher.h"
#include "platform/WorkingDir.h"
#include "platform/posix/ConsoleStart.h"

#include "TempTree.h"

#include <QDir>
#include <QMap>
#include <QScopeGuard>
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
    QByteArray bin_;   // a PATH directory
    QByteArray work_;  // the working directory handed to the launcher
    QByteArray out_;   // where stand-ins report
    QByteArray m_path; // PATH as the suite found it

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
        // Programs are found in bin_, never in the working directory.
        qputenv("PATH", bin_ + ':' + m_path);
    }
    void initTestCase() { m_path = qgetenv("PATH"); }
    void cleanupTestCase() {
        platform::setTerminalCandidates({});
        qputenv("PATH", m_path);
    }

    void findProgramOrder_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QStringList>("present"); // files made executable: dir/name
        QTest::addColumn<QByteArray>("pathList"); // "DIR" stands for the case's directory
        QTest::addColumn<QByteArray>("found");    // dir/name, or empty
        const QByteArray path = "/nonexistent:DIR/path";
        QTest::newRow("own directory first")
            << QByteArray("yk.exe") << QStringList{"own/yk", "cwd/yk", "path/yk"} << path
            << QByteArray("own/yk");
        QTest::newRow("never the working directory: PATH")
            << QByteArray("yk.exe") << QStringList{"cwd/yk", "path/yk"} << path
            << QByteArray("path/yk");
        QTest::newRow("never the working directory, even alone")
            << QByteArray("yk.exe") << QStringList{"cwd/yk", "cwd/yk.exe"} << path << QByteArray();
        QTest::newRow("an empty PATH entry is not the working directory")
            << QByteArray("yk.exe") << QStringList{"cwd/yk"} << QByteArray("::/nonexistent:")
            << QByteArray();
        QTest::newRow("relative PATH entries are skipped")
            << QByteArray("yk.exe") << QStringList{"cwd/yk", "cwd/bin/yk", "path/yk"}
            << QByteArray(".:bin:./bin:DIR/path") << QByteArray("path/yk");
        QTest::newRow("then PATH")
            << QByteArray("yk.exe") << QStringList{"path/yk"} << path << QByteArray("path/yk");
        QTest::newRow("full name before the one without .exe")
            << QByteArray("yk.exe") << QStringList{"own/yk", "own/yk.exe"} << path
            << QByteArray("own/yk.exe");
        QTest::newRow(".exe in any case")
            << QByteArray("YK.EXE") << QStringList{"path/YK"} << path << QByteArray("path/YK");
        QTest::newRow("no .exe: the name alone")
            << QByteArray("yk") << QStringList{"path/yk"} << path << QByteArray("path/yk");
        QTest::newRow("not found")
            << QByteArray("yk.exe") << QStringList{"path/other"} << path << QByteArray();
        QTest::newRow("a directory of that name is no program")
            << QByteArray("yk.exe") << QStringList{"own/yk/"} << path << QByteArray();
        QTest::newRow("a path is taken as it is")
            << QByteArray("sub/yk.exe") << QStringList{"cwd/sub/yk", "path/sub/yk"} << path
            << QByteArray("cwd/sub/yk");
    }
    void findProgramOrder() {
        QFETCH(QByteArray, name);
        QFETCH(QStringList, present);
        QFETCH(QByteArray, pathList);
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
        // Relative PATH entries would resolve against the process's directory: be there.
        const QByteArray here = platform::workingDirectory();
        QVERIFY(platform::setWorkingDirectory(dir_ + "/cwd"));
        const QByteArray result = platform::findProgram(name, dir_ + "/own", dir_ + "/cwd",
                                                        pathList.replace("DIR", dir_));
        QVERIFY(platform::setWorkingDirectory(here));
        QCOMPARE(result, found.isEmpty() ? QByteArray() : dir_ + '/' + found);
    }

    // Why nothing started: each reason the user is told, with the file or directory concerned.
    void launchFailureReasons_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QByteArray>("path"); // "DIR" stands for the case's directory
        QTest::addColumn<int>("mode");
        QTest::newRow("empty line") << QByteArray("  ") << int(platform::LaunchError::BadLine)
                                    << QByteArray() << int(platform::ShowHidden);
        QTest::newRow("not found")
            << QByteArray("no-such-program-here.exe x") << int(platform::LaunchError::NotFound)
            << QByteArray("no-such-program-here.exe") << int(platform::ShowHidden);
        QTest::newRow("in the working directory only: not found")
            << QByteArray("yk.exe l x") << int(platform::LaunchError::NotFound)
            << QByteArray("yk.exe") << int(platform::ShowHidden);
        QTest::newRow("not executable")
            << QByteArray("noexec.exe l x") << int(platform::LaunchError::NotExecutable)
            << QByteArray("DIR/bin/noexec") << int(platform::ShowHidden);
        QTest::newRow("not a program")
            << QByteArray("garbage l x") << int(platform::LaunchError::NotExecutable)
            << QByteArray("DIR/bin/garbage") << int(platform::ShowHidden);
        QTest::newRow("longer than the system allows")
            << QByteArray("true " + (QByteArray(200, 'n') + ' ').repeated(50000))
            << int(platform::LaunchError::TooLong) << QByteArray() << int(platform::ShowHidden);
        // The console windows are tried after winExec returns: the line is checked before.
        QTest::newRow("longer than the system allows, in a console")
            << QByteArray("true " + (QByteArray(200, 'n') + ' ').repeated(50000))
            << int(platform::LaunchError::TooLong) << QByteArray() << int(platform::ShowNormal);
    }
    void launchFailureReasons() {
        QFETCH(QByteArray, line);
        QFETCH(int, reason);
        QFETCH(QByteArray, path);
        QFETCH(int, mode);
        QVERIFY(writeFile(work_ + "/yk", recorder("never"), 0755));
        QVERIFY(writeFile(bin_ + "/noexec", recorder("never"), 0644));
        QVERIFY(writeFile(bin_ + "/garbage", QByteArray("\x01\x02\x03\x04", 4), 0755));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin_ + ":/usr/bin:/bin");
        platform::setTerminalCandidates({{"true"}});
        platform::LaunchError error;
        const bool started = platform::winExec(line, platform::ShowMode(mode), work_, &error);
        platform::setTerminalCandidates({});
        qputenv("PATH", oldPath);
        QVERIFY(!started);
        QCOMPARE(int(error.reason), reason);
        if (!path.isEmpty())
            QCOMPARE(error.path, path.replace("DIR", dir_));
        // winExec waits until the program has replaced the child or failed to: nothing ran.
        QVERIFY(!exists(out_ + "/never.args"));
    }

    void directoryThatCannotBeEntered() {
        QVERIFY(writeFile(bin_ + "/yk", recorder("never"), 0755));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin_);
        platform::setTerminalCandidates({{"true"}});
        for (const platform::ShowMode mode : {platform::ShowHidden, platform::ShowNormal}) {
            platform::LaunchError error;
            const bool started = platform::winExec("yk.exe l x", mode, dir_ + "/gone", &error);
            QVERIFY2(!started, QByteArray::number(mode));
            QCOMPARE(int(error.reason), int(platform::LaunchError::NoDirectory));
            QCOMPARE(error.path, dir_ + "/gone");
        }
        platform::setTerminalCandidates({});
        qputenv("PATH", oldPath);
        QVERIFY(!exists(out_ + "/never.args"));
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

    // What the programs we start run in turn (a terminal's own scripts, the opener's) searches
    // PATH in the directory the user browses: they get its absolute entries only.
    void childrenSearchOnlyAbsoluteDirectories_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("without a window") << int(platform::ShowHidden);
        QTest::newRow("in a terminal") << int(platform::ShowNormal);
    }
    void childrenSearchOnlyAbsoluteDirectories() {
        QFETCH(int, mode);
        QVERIFY(writeFile(bin_ + "/yk",
                          "#!/bin/sh\necho \"$PATH\" > '" + out_ + "/path.tmp'\nmv '" + out_ +
                              "/path.tmp' '" + out_ + "/path'\n",
                          0755));
        QVERIFY(writeFile(bin_ + "/term", "#!/bin/sh\nshift\nexec \"$@\" </dev/null >/dev/null\n",
                          0755));
        platform::setTerminalCandidates({{bin_ + "/term", "-e"}});
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin_ + ":.:rel::/usr/bin:/bin:");
        QVERIFY(platform::winExec("yk.exe l x.yk", platform::ShowMode(mode), work_));
        qputenv("PATH", path);
        QCOMPARE(waitFor(out_ + "/path"), bin_ + ":/usr/bin:/bin\n");
        // The terminal is the launcher's child, reaped on the event loop: leave none behind.
        siginfo_t info;
        QTRY_VERIFY_WITH_TIMEOUT(
            ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD, 20000);
    }

    void nothingStartedIsFalse() {
        QVERIFY(!platform::winExec("", platform::ShowHidden, work_));
        QVERIFY(!platform::winExec("no-such-program-here.exe x", platform::ShowHidden, work_));
        QVERIFY(writeFile(work_ + "/yk", recorder("never"), 0755));
        QVERIFY(!platform::winExec("yk.exe l x", platform::ShowHidden, dir_ + "/gone"));
        // winExec returns once the child has run the program or failed to: nothing ran.
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
        QVERIFY(writeFile(bin_ + "/slow", script, 0755));
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
        QVERIFY(writeFile(bin_ + "/yk", recorder("shown"), 0755));
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
                 (QList<QByteArray>{bin_ + "/yk", "l", "my archive.yk"}));
        QCOMPARE(splitNul(readAll(out_ + "/shown.args")),
                 (QList<QByteArray>{bin_ + "/yk", "l", "my archive.yk"}));
        QVERIFY2(output.contains("Enter"), output.constData());
    }

    // Terminal emulators tried in turn: one that fails before its window shows gives way to
    // the next; one that ends well may hand its window to a server that shows it later; one
    // that shows nothing in its time is given up and, should it show after all, runs nothing.
    // The program runs exactly once, in the window that showed, or without a window.
    void consoleFallback_data() {
        QTest::addColumn<QStringList>("terminals"); // kinds, tried in this order
        QTest::addColumn<QString>("ranIn");         // the kind that ran it, "" without window
        QTest::newRow("the first shows") << QStringList{"shows", "shows2"} << "shows";
        QTest::newRow("error before its window: the next")
            << QStringList{"fails", "shows"} << "shows";
        QTest::newRow("killed before its window: the next")
            << QStringList{"crashes", "shows"} << "shows";
        QTest::newRow("ends well, a server shows it later")
            << QStringList{"server", "shows"} << "server";
        QTest::newRow("ends well, shows nothing: the next in time")
            << QStringList{"silent", "shows"} << "shows";
        QTest::newRow("too slow: given up, runs nothing when it shows")
            << QStringList{"slow", "shows"} << "shows";
        QTest::newRow("none shows: without a window")
            << QStringList{"fails", "crashes", "silent"} << "";
    }
    void consoleFallback() {
        QFETCH(QStringList, terminals);
        QFETCH(QString, ranIn);
        // The program: counts its runs and says in which window it ran.
        QVERIFY(writeFile(bin_ + "/yk",
                          "#!/bin/sh\necho \"${TAG:-none} $*\" >> '" + out_ + "/runs'\n", 0755));
        // Each stand-in terminal takes "-e" and the wrapper after it, as the real ones do.
        const QMap<QString, QByteArray> bodies{
            {"shows", "shift; echo | \"$@\""},
            {"shows2", "shift; echo | \"$@\""},
            {"fails", "echo 'no session bus' >&2; exit 1"},
            {"crashes", "kill -SEGV $$"},
            {"server",
             "shift; (sleep 0.3; echo | \"$@\"; touch '" + out_ + "/server.done') & exit 0"},
            {"silent", "exit 0"},
            // Shows only after its try is over, then says it is done.
            {"slow", "shift; sleep 4; echo | \"$@\"; touch '" + out_ + "/slow.done'"},
        };
        QList<QList<QByteArray>> candidates;
        for (const QString &kind : terminals) {
            const QByteArray path = bin_ + '/' + kind.toUtf8();
            QVERIFY(writeFile(
                path, "#!/bin/sh\nexport TAG=" + kind.toUtf8() + "\n" + bodies[kind] + "\n", 0755));
            candidates.append({path, "-e"});
        }
        platform::setTerminalCandidates(candidates);
        platform::setConsoleTryTime(2000);
        QVERIFY(platform::winExec("yk.exe l \"a b.yk\"", platform::ShowNormal, work_));
        const QByteArray expected = (ranIn.isEmpty() ? "none" : ranIn.toUtf8()) + " l a b.yk\n";
        QTRY_COMPARE_WITH_TIMEOUT(readAll(out_ + "/runs"), expected, 20000);
        if (terminals.contains("slow"))
            QTRY_VERIFY_WITH_TIMEOUT(exists(out_ + "/slow.done"), 20000);
        // Whatever shows late has had its chance: still one run.
        if (terminals.contains("server"))
            QTRY_VERIFY_WITH_TIMEOUT(exists(out_ + "/server.done"), 20000);
        QCOMPARE(readAll(out_ + "/runs"), expected);
        platform::setConsoleTryTime(0);
        // Every terminal started has been reaped: no zombie is left.
        QTRY_VERIFY_WITH_TIMEOUT(
            [] {
                errno = 0;
                return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
            }(),
            10000);
    }

    // The program ends while its console window is on the way. One that has not claimed the
    // run by then is given up: should it show later it runs nothing, and the program runs once
    // without a window instead. One that has claimed it keeps it. No claim directory stays.
    void consoleWhenTheProgramEnds_data() {
        QTest::addColumn<bool>("claimedBefore");
        QTest::addColumn<QString>("ranIn");
        QTest::newRow("the window shows after the end") << false << "none";
        QTest::newRow("the window showed before the end") << true << "term";
    }
    void consoleWhenTheProgramEnds() {
        QFETCH(bool, claimedBefore);
        QFETCH(QString, ranIn);
        QVERIFY(writeFile(bin_ + "/yk",
                          "#!/bin/sh\necho \"${TAG:-none} $*\" >> '" + out_ + "/runs'\n", 0755));
        // Says it has started, then shows its window (runs the wrapper) before or after "go".
        const QByteArray waitGo = "while [ ! -e '" + out_ + "/go' ]; do sleep 0.05; done\n";
        const QByteArray show = "echo | \"$@\"\n";
        QVERIFY(writeFile(bin_ + "/term",
                          "#!/bin/sh\nexport TAG=term\necho $$ > '" + out_ + "/pid.tmp'\nmv '" +
                              out_ + "/pid.tmp' '" + out_ + "/pid'\nshift\n" +
                              (claimedBefore ? show + waitGo : waitGo + show) + "touch '" + out_ +
                              "/done'\n",
                          0755));
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), run = dir_ + "/run";
        QCOMPARE(::mkdir(run.constData(), 0700), 0);
        qputenv("XDG_RUNTIME_DIR", run);
        const auto restore = qScopeGuard([&runtime] {
            if (runtime.isNull())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", runtime);
        });
        {
            QObject program; // owns the tries as the application does, and ends
            auto *start = new platform::posix::ConsoleStart(
                {{bin_ + "/term", {"-e"}}}, {bin_ + "/yk", "l", "a b.yk"}, work_,
                {"PATH=" + qgetenv("PATH")}, 60000, &program);
            QVERIFY(start->begin());
            QVERIFY(!waitFor(out_ + "/pid").isEmpty());
            // Without an event loop meanwhile: the claim is there, unseen, when it ends.
            for (int i = 0; claimedBefore && i < 400 && readAll(out_ + "/runs").isEmpty(); ++i)
                QTest::qSleep(25);
            QVERIFY(!claimedBefore || !readAll(out_ + "/runs").isEmpty());
        }
        QVERIFY(writeFile(out_ + "/go", ""));
        waitFor(out_ + "/done");
        QVERIFY(exists(out_ + "/done"));
        const pid_t pid = pid_t(readAll(out_ + "/pid").trimmed().toInt());
        QVERIFY(pid > 0);
        QCOMPARE(::waitpid(pid, nullptr, 0), pid);
        const QByteArray expected = ranIn.toUtf8() + " l a b.yk\n";
        QTRY_COMPARE_WITH_TIMEOUT(readAll(out_ + "/runs"), expected, 20000);
        QCOMPARE(
            QDir(QFile::decodeName(run))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
            QStringList());
    }

    // $TERMINAL is the user's choice: before the system's x-terminal-emulator; our own console
    // window comes last. Each takes the option its kind needs.
    void terminalOrder() {
        for (const char *name : {"x-terminal-emulator", "xterm", "gnome-terminal", "kitty",
                                 "myterm", platform::OwnConsoleName})
            QVERIFY(writeFile(bin_ + '/' + name, "#!/bin/sh\n", 0755));
        const QByteArray path = qgetenv("PATH"), display = qgetenv("DISPLAY"),
                         terminal = qgetenv("TERMINAL");
        // A terminal in a relative PATH entry is in the directory the user browses: never run.
        QVERIFY(::mkdir((dir_ + "/rel").constData(), 0755) == 0 &&
                writeFile(dir_ + "/rel/lxterminal", "#!/bin/sh\n", 0755));
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFile::decodeName(dir_)));
        qputenv("PATH", "/nonexistent:rel:" + bin_);
        qputenv("DISPLAY", ":99");
        platform::setTerminalCandidates({});
        auto order = [] {
            QList<QByteArray> seen;
            for (const platform::Terminal &t : platform::findTerminals())
                seen.append(t.program.mid(t.program.lastIndexOf('/') + 1) + ' ' +
                            t.execOptions.join(' '));
            return seen;
        };
        qputenv("TERMINAL", "myterm");
        const QList<QByteArray> withChoice = order();
        qputenv("TERMINAL", bin_ + "/kitty");
        const QList<QByteArray> withKitty = order();
        qunsetenv("TERMINAL");
        const QList<QByteArray> without = order();
        QDir::setCurrent(cwd);
        qputenv("PATH", path);
        qputenv("DISPLAY", display);
        if (terminal.isNull())
            qunsetenv("TERMINAL");
        else
            qputenv("TERMINAL", terminal);
        platform::setTerminalCandidates({{}});
        const QList<QByteArray> usual{"x-terminal-emulator -e", "xterm -e", "gnome-terminal --",
                                      "kitty ", "yk32-console -e"};
        QCOMPARE(without, usual);
        QCOMPARE(withChoice, QList<QByteArray>{"myterm -e"} + usual);
        QCOMPARE(withKitty.first(), QByteArray("kitty "));
        QCOMPARE(withKitty.mid(1), usual);
    }

    // The console's locale: when the one the environment chooses for characters is missing or
    // not UTF-8, C.UTF-8 is set for everything, so that Russian shows as Russian.
    void consoleEnvironmentIsUtf8_data() {
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QStringList>("expected");
        const QStringList base{"HOME=/h", "PATH=/bin"};
        const QString fix = "LC_ALL=C.UTF-8";
        QTest::newRow("nothing set") << base << base + QStringList{fix};
        QTest::newRow("LC_ALL=C") << base + QStringList{"LC_ALL=C"} << base + QStringList{fix};
        QTest::newRow("LANG=C") << base + QStringList{"LANG=C"}
                                << base + QStringList{"LANG=C", fix};
        QTest::newRow("LC_ALL=C over a UTF-8 LANG")
            << QStringList{"LANG=C.UTF-8", "LC_ALL=C"} << QStringList{"LANG=C.UTF-8", fix};
        QTest::newRow("LANG=C.UTF-8")
            << base + QStringList{"LANG=C.UTF-8"} << base + QStringList{"LANG=C.UTF-8"};
        QTest::newRow("LC_ALL=C.utf8")
            << QStringList{"LC_ALL=C.utf8"} << QStringList{"LC_ALL=C.utf8"};
        QTest::newRow("LC_CTYPE decides before LANG") << QStringList{"LANG=C", "LC_CTYPE=C.UTF-8"}
                                                      << QStringList{"LANG=C", "LC_CTYPE=C.UTF-8"};
        QTest::newRow("empty LC_ALL is not set")
            << QStringList{"LC_ALL=", "LANG=C.UTF-8"} << QStringList{"LC_ALL=", "LANG=C.UTF-8"};
        QTest::newRow("a UTF-8 locale that is not installed")
            << QStringList{"LANG=xx_YY.UTF-8"} << QStringList{"LANG=xx_YY.UTF-8", fix};
    }
    void consoleEnvironmentIsUtf8() {
        QFETCH(QStringList, env);
        QFETCH(QStringList, expected);
        QList<QByteArray> in;
        for (const QString &e : env)
            in.append(e.toUtf8());
        QStringList out;
        for (const QByteArray &e : platform::consoleEnvironment(in))
            out.append(QString::fromUtf8(e));
        QCOMPARE(out, expected);
    }

    void normalModeWithoutTerminalRunsWithoutWindow() {
        QVERIFY(writeFile(bin_ + "/yk", recorder("bare"), 0755));
        platform::setTerminalCandidates({{"no-such-terminal", "-e"}});
        QVERIFY(platform::winExec("yk.exe t x.yk", platform::ShowNormal, work_));
        QCOMPARE(splitNul(waitFor(out_ + "/bare.args")),
                 (QList<QByteArray>{bin_ + "/yk", "t", "x.yk"}));
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
