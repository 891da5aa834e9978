// The main window driving real programs through the platform launcher: the archiver yk (add,
// then list, test and extract what was added, with names that need quoting, in a directory
// whose name needs it too), and a stand-in that records its arguments and working directory.
#include "TestSupport.h"
#include "app/Unit1.h"
#include "commands/Unit2.h"
#include "platform/Console.h"
#include "platform/Launcher.h"
#include "platform/WorkingDir.h"
#include "ui_Unit1.h"

#include <QCheckBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

bool makeScript(const QByteArray &path, const QByteArray &text) {
    return makeFile(path) && ::truncate(path.constData(), 0) == 0 && [&] {
        FILE *f = ::fopen(path.constData(), "w");
        const bool ok =
            f && ::fwrite(text.constData(), 1, size_t(text.size()), f) == size_t(text.size());
        return f && ::fclose(f) == 0 && ok;
    }() && ::chmod(path.constData(), 0755) == 0;
}

QList<QByteArray> splitNul(const QByteArray &data) {
    QList<QByteArray> parts = data.split('\0');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

// Names that a shell or a naive split would mangle, one of them not UTF-8.
const QList<QByteArray> awkwardNames = {
    "notes", "quarterly report.html", "it's \"q\".txt", "back\\slash", "-x", "$(touch pwned)",
    ";",     "caf\xe9 menu.txt"};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    QByteArray m_root;
    QByteArray m_dir;
    QByteArray m_bin;
    QByteArray m_log;
    QByteArray m_path;
    RecordingMessenger m_messenger;
    std::unique_ptr<TForm1> m_form;
    TForm2 *m_options = nullptr;

    Ui::TForm1 *ui() const { return m_form->form(); }
    FileListBox *list() const { return ui()->FileLB1; }
    QByteArray path(const QByteArray &name) const { return m_dir + "/" + name; }
    int rowOf(const QByteArray &name) const {
        for (int i = 0; i < list()->count(); ++i)
            if (list()->rowName(i) == name)
                return i;
        return -1;
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        const QRect r = list()->visualRect(list()->model()->index(row, 0));
        list()->scrollTo(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, mods,
                          list()->visualRect(list()->model()->index(row, 0)).center());
        Q_UNUSED(r);
    }
    void selectOnly(const QList<QByteArray> &names) {
        list()->setAllSelected(false);
        for (const QByteArray &n : names) {
            QVERIFY2(rowOf(n) >= 0, n.constData());
            clickRow(rowOf(n), Qt::ControlModifier);
        }
    }
    // Timer1's re-read comes two seconds after the launch whether or not the archiver has
    // ended, and on a busy machine it may come first. Once the archiver has ended and Timer1
    // has passed, the list is re-read as the user would (a double click on the directory)
    // when the tick came too early to show the new file.
    void listedOnceEnded(const QByteArray &name) {
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->timer1()->isActive(), 20000);
        if (rowOf(name) < 0)
            list()->refresh();
        QVERIFY2(rowOf(name) >= 0, name.constData());
    }
    // The real archiver behind a wrapper that marks each run's end: "done.N" holds run N's
    // exit status, so a test can wait for the end instead of sleeping.
    void wrapArchiver() {
        QVERIFY(makeScript(m_bin + "/yk", "#!/bin/sh\n'" + QByteArray(YK_DIR) +
                                              "/yk' \"$@\"\nrc=$?\nn=1\nwhile [ -e '" + m_root +
                                              "/done.'$n ]; do n=$((n+1)); done\necho $rc > '" +
                                              m_root + "/done.tmp'\nmv '" + m_root +
                                              "/done.tmp' '" + m_root + "/done.'$n\n"));
        qputenv("PATH", m_bin + ':' + m_path);
    }
    QByteArray ended(int run) const { return m_root + "/done." + QByteArray::number(run); }
    // The names stored in an archive, by the real archiver's listing.
    QByteArray listing(const QByteArray &archive) const {
        QProcess yk;
        yk.setWorkingDirectory(QFile::decodeName(m_dir));
        yk.start(QString::fromUtf8(YK_DIR) + "/yk", {"l", QFile::decodeName(archive)});
        yk.closeWriteChannel();
        if (!yk.waitForFinished(60000))
            return {};
        return yk.readAllStandardOutput();
    }
    void start() {
        QVERIFY(platform::setWorkingDirectory(m_dir));
        m_form = std::make_unique<TForm1>(m_messenger);
        m_options = new TForm2(m_form.get());
        m_form->setDialogs(m_options, nullptr, nullptr);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

private slots:
    void initTestCase() {
        m_root = QFile::encodeName(m_tmp.path());
        m_bin = m_root + "/bin";
        m_log = m_root + "/console.log";
        QVERIFY(makeDir(m_bin));
        // A console stand-in: runs what it is given as a terminal would, with Enter typed
        // after the program ends, and keeps what the window showed.
        QVERIFY(makeScript(m_root + "/console", "#!/bin/sh\nshift\necho | \"$@\" >> '" + m_log +
                                                    "' 2>&1\n"
                                                    "echo '--' >> '" +
                                                    m_log + "'\n"));
        platform::setTerminalCandidates({{m_root + "/console", "-e"}});
        m_path = qgetenv("PATH");
    }
    void init() {
        static int n = 0;
        for (int run = 1; exists(ended(run)); ++run)
            ::unlink(ended(run).constData());
        m_dir = m_root + "/work dir \"" + QByteArray::number(++n) + "\"";
        QVERIFY(makeCaseDir(m_dir));
        ::unlink(m_log.constData());
        ::unlink((m_root + "/argv").constData());
        ::unlink((m_root + "/status").constData());
        m_messenger = RecordingMessenger();
    }
    void cleanup() {
        m_form.reset();
        qputenv("PATH", m_path);
    }
    void cleanupTestCase() {
        platform::setTerminalCandidates({});
        // QTemporaryDir cannot remove names that are not UTF-8.
        ::nftw(
            m_root.constData(),
            [](const char *p, const struct stat *, int, struct FTW *) { return ::remove(p); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }

    // Add by Enter, list and test in the console, delete the sources, extract them back.
    void archiverRoundTrip() {
        qputenv("PATH", QByteArray(YK_DIR) + ':' + m_path);
        for (const QByteArray &n : awkwardNames)
            QVERIFY(makeFile(path(n), 100 + n.size()));
        start();
        selectOnly(awkwardNames);
        ui()->Edit1->setText("my arc");
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(exists(path("my arc.yk")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(readAll(m_log).contains("--"), 20000);
        listedOnceEnded("my arc.yk");

        clickRow(rowOf("my arc.yk"));
        ::unlink(m_log.constData());
        QTest::mouseClick(ui()->ToolButton3, Qt::LeftButton);
        // The listing's own rules are dashes too: wait for the window's last words.
        QTRY_VERIFY_WITH_TIMEOUT(readAll(m_log).contains("Enter"), 20000);
        const QByteArray listing = readAll(m_log);
        if (qEnvironmentVariableIsSet("SHOW_CONSOLE"))
            qDebug().noquote() << listing;
        for (const QByteArray &n : awkwardNames)
            QVERIFY2(listing.contains(n), listing.constData());
        QVERIFY(listing.contains("Enter")); // the window waited for the key

        clickRow(rowOf("my arc.yk"));
        ::unlink(m_log.constData());
        QTest::mouseClick(ui()->ToolButton4, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(readAll(m_log).contains("--"), 20000);

        // Delete the sources with the program's own delete, then extract them back, quietly.
        selectOnly(awkwardNames);
        ui()->ToolButton5->click();
        QVERIFY(m_messenger.messages.isEmpty());
        for (const QByteArray &n : awkwardNames)
            QVERIFY(!exists(path(n)));
        QTRY_VERIFY_WITH_TIMEOUT(rowOf("my arc.yk") >= 0 && list()->count() == 1, 20000);
        m_options->checkBox(8)->setChecked(true);
        clickRow(rowOf("my arc.yk"));
        QTest::mouseClick(ui()->ToolButton2, Qt::LeftButton);
        for (const QByteArray &n : awkwardNames) {
            QTRY_VERIFY_WITH_TIMEOUT(exists(path(n)), 20000);
            QTRY_COMPARE_WITH_TIMEOUT(readAll(path(n)).size(), 100 + n.size(), 20000);
        }
        QVERIFY(!exists(path("pwned")) && !exists(m_root + "/pwned"));
        QVERIFY(m_messenger.messages.isEmpty());
    }

    // The button path with every add switch but move: method 0, hidden; the archive is listed.
    void quietAddByButton() {
        qputenv("PATH", QByteArray(YK_DIR) + ':' + m_path);
        QVERIFY(makeFile(path("a.txt"), 5));
        QVERIFY(makeFile(path("b c.html"), 7));
        start();
        m_options->setItemIndex(0);
        m_options->checkBox(8)->setChecked(true);
        selectOnly({"a.txt", "b c.html"});
        ui()->Edit1->setText("q arc");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(exists(path("q arc.yk")), 20000);
        QVERIFY(!exists(m_log)); // no window
        m_options->checkBox(8)->setChecked(false);
        listedOnceEnded("q arc.yk");
        clickRow(rowOf("q arc.yk"));
        QTest::mouseClick(ui()->ToolButton3, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(readAll(m_log).contains("--"), 20000);
        QVERIFY(readAll(m_log).contains("b c.html"));
        QVERIFY(readAll(m_log).contains("a.txt"));
    }

    // An empty archive name reaches the archiver as an empty argument, which it refuses: the
    // first selected file does not become the archive of the others.
    void emptyArchiveNameArchivesNothing() {
        QVERIFY(makeScript(m_bin + "/yk",
                           "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + m_root + "/argv.tmp'\nmv '" +
                               m_root + "/argv.tmp' '" + m_root + "/argv'\n'" + YK_DIR +
                               "/yk' \"$@\"\necho $? > '" + m_root + "/status.tmp'\nmv '" + m_root +
                               "/status.tmp' '" + m_root + "/status'\n"));
        qputenv("PATH", m_bin + ':' + m_path);
        QVERIFY(makeFile(path("first"), 3));
        QVERIFY(makeFile(path("second"), 4));
        start();
        m_options->checkBox(8)->setChecked(true);
        selectOnly({"first", "second"});
        ui()->Edit1->clear();
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(exists(m_root + "/argv"), 10000);
        QCOMPARE(splitNul(readAll(m_root + "/argv")),
                 (QList<QByteArray>{"aq1", "", "first", "second"}));
        QTRY_VERIFY_WITH_TIMEOUT(exists(m_root + "/status"), 20000); // the archiver has ended
        QCOMPARE(readAll(m_root + "/status"), QByteArray("2\n"));
        QVERIFY(!exists(path("first.yk")));
        QVERIFY(exists(path("first")) && exists(path("second")));
    }

    // Selected files are archived, and moved, alone, whatever their names hold: "x?" does
    // not take "xa" and "xb" along, nor a file named "*.*" the others; "отметить всё (*.*)"
    // still takes every file.
    void wildcardNamesAreFiles() {
        wrapArchiver();
        const QList<QByteArray> names{"x?", "xa", "xb", "*.*", "*", "a*", "abc"};
        for (const QByteArray &n : names)
            QVERIFY(makeFile(path(n), 3));
        start();
        m_options->checkBox(8)->setChecked(true); // quiet
        m_options->checkBox(5)->setChecked(true); // move
        selectOnly({"x?"});
        ui()->Edit1->setText("one");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(exists(ended(1)), 20000);
        QCOMPARE(readAll(ended(1)), QByteArray("0\n"));
        QVERIFY(!exists(path("x?")));
        QVERIFY(exists(path("xa")) && exists(path("xb")));
        QVERIFY(listing("one.yk").contains("Записей: 1,"));

        listedOnceEnded("one.yk");
        selectOnly({"*.*"});
        ui()->Edit1->setText("two");
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(exists(ended(2)), 20000);
        QCOMPARE(readAll(ended(2)), QByteArray("0\n"));
        QVERIFY(!exists(path("*.*")));
        for (const char *n : {"xa", "xb", "*", "a*", "abc"})
            QVERIFY2(exists(path(n)), n);
        QVERIFY(listing("two.yk").contains("Записей: 1,"));

        m_options->checkBox(5)->setChecked(false);
        ui()->cbAll->setChecked(true);
        ui()->Edit1->setText("all");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(exists(ended(3)), 20000);
        QCOMPARE(readAll(ended(3)), QByteArray("0\n"));
        const QByteArray all = listing("all.yk");
        for (const char *n : {"xa", "xb", "*", "a*", "abc", "one.yk", "two.yk"})
            QVERIFY2(all.contains(QByteArray(" ") + n + "\n"), all.constData());
        QVERIFY(m_messenger.messages.isEmpty());
    }

    // A "yk" in the shown directory (dropped there, or unpacked from an archive) never runs;
    // with no archiver elsewhere the user is told, and nothing starts.
    void archiverInTheShownDirectoryNeverRuns() {
        const QByteArray dropped = "#!/bin/sh\ntouch '" + m_root + "/pwned'\n";
        QVERIFY(makeScript(path("yk"), dropped));
        QVERIFY(makeScript(path("yk.exe"), dropped));
        QVERIFY(makeFile(path("notes"), 3));
        qputenv("PATH", "/usr/bin:/bin:.:");
        start();
        m_options->checkBox(8)->setChecked(true);
        selectOnly({"notes"});
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QCOMPARE(m_messenger.messages,
                 QStringList{QString::fromUtf8("Не удалось запустить архиватор: программа yk.exe "
                                               "не найдена ни в каталоге WinYk, ни в каталогах "
                                               "PATH.")});
        QCOMPARE(list()->selectedRows().size(), 1); // kept for a retry
        QVERIFY(!m_form->timer1()->isActive());
        // With the real one on PATH, that one runs; the dropped one still does not.
        wrapArchiver();
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(exists(ended(1)), 20000);
        QVERIFY(exists(path("notes.yk"))); // the clicked file proposed the name
        QVERIFY(!exists(m_root + "/pwned"));
        QCOMPARE(m_messenger.messages.size(), 1);
    }

    // 10,000 selected files of 236-byte names make a line longer than the system passes to a
    // program: Enter says so instead of doing nothing at all.
    void lineTooLongForTheSystemIsSaid() {
        // The system's limit follows the stack limit: the usual 8 MiB gives 2 MiB.
        struct rlimit stack;
        QCOMPARE(::getrlimit(RLIMIT_STACK, &stack), 0);
        const struct rlimit usual { 8 << 20, stack.rlim_max };
        if (stack.rlim_cur == RLIM_INFINITY || stack.rlim_cur > usual.rlim_cur)
            QCOMPARE(::setrlimit(RLIMIT_STACK, &usual), 0);
        wrapArchiver();
        for (int i = 0; i < 10000; ++i) {
            QByteArray name = QByteArray::number(i).rightJustified(5, '0');
            QVERIFY(makeFile(path(name + QByteArray(231, 'n'))));
        }
        start();
        QCOMPARE(list()->count(), 10000);
        list()->setAllSelected(true);
        ui()->Edit1->setFocus();
        QTest::keyClick(ui()->Edit1, Qt::Key_Return);
        QCOMPARE(m_messenger.messages,
                 QStringList{QString::fromUtf8("Не удалось запустить архиватор: командная строка "
                                               "длиннее, чем позволяет система. Отметьте меньше "
                                               "файлов.")});
        QCOMPARE(list()->selectedRows().size(), 10000);
        QVERIFY(!m_form->timer1()->isActive());
        QVERIFY(!exists(ended(1)) && !exists(path("archive.yk")));
    }

    // A stand-in in the archiver's place records argv and the working directory: byte for
    // byte what the names are, in the directory the list shows.
    void standInSeesExactBytes() {
        QVERIFY(makeScript(m_bin + "/yk", "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + m_root +
                                              "/argv.tmp'\npwd -P > '" + m_root + "/cwd'\nmv '" +
                                              m_root + "/argv.tmp' '" + m_root + "/argv'\n"));
        qputenv("PATH", m_bin + ':' + m_path);
        // Control characters too: an escape sequence, a line break, a tab.
        const QList<QByteArray> names =
            awkwardNames + QList<QByteArray>{"\x01\x1b[31mred", "two\nlines", "tab\there"};
        for (const QByteArray &n : names)
            QVERIFY(makeFile(path(n)));
        start();
        m_options->checkBox(8)->setChecked(true); // hidden: no console in between
        selectOnly(names);
        ui()->Edit1->setText(" a \"b\\");
        QTest::mouseClick(ui()->ToolButton1, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(exists(m_root + "/argv"), 10000);
        QList<QByteArray> expected{"aq1", " a \"b\\"};
        for (int i = 0; i < list()->count(); ++i) // list order
            if (names.contains(list()->rowName(i)))
                expected << list()->rowName(i);
        QCOMPARE(splitNul(readAll(m_root + "/argv")), expected);
        QCOMPARE(readAll(m_root + "/cwd"), m_dir + '\n');
        QVERIFY(!exists(path("pwned")));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
