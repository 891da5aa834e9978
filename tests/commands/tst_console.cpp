// The console window of our own: what it shows of a terminal's bytes (pure rules), and the
// window running the real archiver on a pseudo-terminal, answered from the keyboard.
#include "commands/ConsoleScreen.h"
#include "commands/ConsoleWindow.h"
#include "platform/Console.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

QList<QByteArray> environmentWith(const QList<QByteArray> &extra) {
    QList<QByteArray> env;
    for (const QString &e : QProcess::systemEnvironment())
        if (!e.startsWith("LANG=") && !e.startsWith("LC_"))
            env.append(e.toUtf8());
    return env + extra;
}

// The archiver under the wrapper that the launcher gives every console window.
QList<QByteArray> wrapped(const QByteArray &claim, const QList<QByteArray> &argv) {
    return platform::consoleArguments({"unused", {}}, claim, argv).mid(1);
}

bool writeText(const QString &path, const QByteArray &text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

} // namespace

class TestConsole : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;

private slots:
    void screen_data() {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QStringList>("lines"); // finished lines, then the current one
        using L = QList<QByteArray>;
        const QByteArray word = "Нажмите"; // 2 bytes per letter
        QTest::newRow("lines as the terminal sends them")
            << L{"one\r\ntwo\r\nthr"} << QStringList{"one", "two", "thr"};
        QTest::newRow("a character cut between reads")
            << L{word.left(3), word.mid(3, 6), word.mid(9)} << QStringList{"Нажмите"};
        QTest::newRow("four bytes cut three times")
            << L{"a\xf0", "\x9f", "\x98", "\x80z"}
            << QStringList{QString::fromUtf8("a\xf0\x9f\x98\x80z")};
        QTest::newRow("bytes that are not UTF-8")
            << L{"caf\xe9 \xff\xfe!"} << QStringList{"caf\uFFFD \uFFFD\uFFFD!"};
        QTest::newRow("a character cut short by the end") << L{"ok\xd0"} << QStringList{"ok\uFFFD"};
        QTest::newRow("progress redrawn on one line, then the result")
            << L{"\r\x1b[KДобавление  10%", "\r\x1b[KДобавление  55%", "\r\x1b[KДобавлено: 1\r\n"}
            << QStringList{"Добавлено: 1", ""};
        QTest::newRow("carriage return writes over") << L{"abcdef\rXY"} << QStringList{"XYcdef"};
        QTest::newRow("erase to the end of the line")
            << L{"abcdef\r", "ab\x1b[K"} << QStringList{"ab"};
        QTest::newRow("an escape cut between reads")
            << L{"abc\r\x1b", "[", "Kx"} << QStringList{"x"};
        QTest::newRow("the terminal's echo of a rubout") << L{"ab\b \b"} << QStringList{"a "};
        QTest::newRow("tab to the next stop") << L{"a\tb"} << QStringList{"a       b"};
        QTest::newRow("bell is silent") << L{"a\ab"} << QStringList{"ab"};
        QTest::newRow("other controls shown, not obeyed")
            << L{"x\x01y\x7fz\x0c"} << QStringList{"x\u2401y\u2421z\u240c"};
        QTest::newRow("C1 controls shown") << L{"a\xc2\x9b"
                                                "2Jb"}
                                           << QStringList{"a\uFFFD2Jb"};
        QTest::newRow("colours dropped") << L{"\x1b[1;31mred\x1b[0m"} << QStringList{"red"};
        QTest::newRow("title sequence dropped") << L{"\x1b]0;pwned\x07ok"} << QStringList{"ok"};
        QTest::newRow("screen clear dropped") << L{"keep\x1b[2J\x1b[H"} << QStringList{"keep"};
        QTest::newRow("bidi override shown as a sign")
            << L{"a\u202Etxt.exe"} << QStringList{"a\uFFFDtxt.exe"};
    }
    void screen() {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QStringList, lines);
        commands::ConsoleScreen s;
        for (const QByteArray &r : reads)
            s.feed(r);
        s.finish();
        QCOMPARE(s.takeFinishedLines() << s.currentLine(), lines);
        QVERIFY(s.takeFinishedLines().isEmpty());
    }

    // The real archiver in the window, with no locale set: the listing in Russian, an
    // overwrite question answered from the keyboard, the closing line, and Enter closes it.
    void archiverInTheWindow() {
        const QString dir = tmp_.path();
        const QByteArray yk = YK_DIR "/yk";
        QVERIFY(writeText(dir + "/Отчёт.txt", "old"));
        QProcess add;
        add.setWorkingDirectory(dir);
        add.start(QFile::decodeName(yk), {"aq1", "arc", "Отчёт.txt"});
        QVERIFY(add.waitForFinished(30000) && add.exitCode() == 0);
        QVERIFY(writeText(dir + "/Отчёт.txt", "changed"));

        commands::ConsoleWindow w;
        QSignalSpy done(&w, &commands::ConsoleWindow::done);
        const QByteArray claim = QFile::encodeName(dir) + "/claim";
        QVERIFY(w.start(wrapped(claim, {yk, "x", QFile::encodeName(dir) + "/arc.yk"}),
                        environmentWith({"LC_ALL=C", "TERM=dumb"}), QFile::encodeName(dir)));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(w.toPlainText().contains("Заменить?"), 20000);
        QVERIFY2(w.toPlainText().contains("Отчёт.txt"), qPrintable(w.toPlainText()));
        QTest::keyClicks(&w, "y");
        QTest::keyClick(&w, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.toPlainText().contains("Нажмите Enter, чтобы закрыть окно."),
                                 20000);
        QFile f(dir + "/Отчёт.txt");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QVERIFY(QFile::exists(dir + "/claim"));
        QVERIFY(w.isVisible());
        QCOMPARE(done.count(), 0);
        QTest::keyClick(&w, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
        QVERIFY(!w.isVisible());
    }

    // Closing the window while the program runs hangs it up, as closing a terminal does: the
    // program and what it started end, nothing is left running.
    void closedWhileRunning() {
        const QString pidFile = tmp_.path() + "/pid";
        commands::ConsoleWindow w;
        QSignalSpy done(&w, &commands::ConsoleWindow::done);
        QVERIFY(w.start({"/bin/sh", "-c", "sleep 600 & echo $! > \"$0\"; echo started; wait",
                         QFile::encodeName(pidFile)},
                        environmentWith({})));
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.toPlainText().contains("started"), 20000);
        bool ok = false;
        QFile f(pidFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const pid_t sleeper = f.readAll().trimmed().toInt(&ok);
        QVERIFY(ok && sleeper > 0);
        QVERIFY(::kill(sleeper, 0) == 0);
        w.close();
        QVERIFY(!w.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(sleeper, 0) != 0, 10000);
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
