// The archiver's command lines: every row of the switch tables, both add paths, the archive
// test, the length limit, quoting, and the delete pass.
#include "app/Texts.h"
#include "commands/CommandLines.h"
#include "commands/DeletePass.h"
#include "commands/Unit2.h"
#include "platform/CommandLine.h"
#include "platform/DirHandle.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using commands::ArchiverOptions;
using commands::Command;

namespace {

ArchiverOptions optionsWith(int method, const QList<int> &ticked) {
    ArchiverOptions o;
    o.method = method;
    o.switches = {};
    for (int n : ticked)
        o.switches.set(TForm2::CheckBoxOptions[n - 1]);
    return o;
}

bool touch(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    // One row per option of the tables, then the start-up state and everything on.
    void switchRuns_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QByteArray>("add");
        QTest::addColumn<QByteArray>("extract");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("test");
        QTest::addColumn<bool>("quiet");
        QTest::newRow("nothing ticked") << 1 << QList<int>{} << QByteArray("a1") << QByteArray("x")
                                        << QByteArray("l") << QByteArray("t") << false;
        QTest::newRow("method 0") << 0 << QList<int>{} << QByteArray("a0") << QByteArray("x")
                                  << QByteArray("l") << QByteArray("t") << false;
        QTest::newRow("method 2") << 2 << QList<int>{} << QByteArray("a2") << QByteArray("x")
                                  << QByteArray("l") << QByteArray("t") << false;
        QTest::newRow("CheckBox1 yes to all")
            << 1 << QList<int>{1} << QByteArray("a1") << QByteArray("xy") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox2 current time")
            << 1 << QList<int>{2} << QByteArray("a1") << QByteArray("xt") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox3 subdirectories")
            << 1 << QList<int>{3} << QByteArray("ar1") << QByteArray("x") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox4 full listing")
            << 1 << QList<int>{4} << QByteArray("a1") << QByteArray("x") << QByteArray("lf")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox5 move")
            << 1 << QList<int>{5} << QByteArray("am1") << QByteArray("x") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox6 system attribute")
            << 1 << QList<int>{6} << QByteArray("a1") << QByteArray("xa") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox7 no paths")
            << 1 << QList<int>{7} << QByteArray("ae1") << QByteArray("e") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox8 quiet")
            << 1 << QList<int>{8} << QByteArray("aq1") << QByteArray("xq") << QByteArray("l")
            << QByteArray("tq") << true;
        QTest::newRow("CheckBox9 special files")
            << 1 << QList<int>{9} << QByteArray("as1") << QByteArray("x") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("CheckBox10 directories")
            << 1 << QList<int>{10} << QByteArray("ad1") << QByteArray("x") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("start-up defaults")
            << 1 << QList<int>{1} << QByteArray("a1") << QByteArray("xy") << QByteArray("l")
            << QByteArray("t") << false;
        QTest::newRow("everything on, method 2")
            << 2 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << QByteArray("asdqemr2")
            << QByteArray("eqaty") << QByteArray("lf") << QByteArray("tq") << true;
        QTest::newRow("every extract switch")
            << 1 << QList<int>{7, 8, 6, 2, 1} << QByteArray("aqe1") << QByteArray("eqaty")
            << QByteArray("l") << QByteArray("tq") << true;
    }
    void switchRuns() {
        QFETCH(int, method);
        QFETCH(QList<int>, ticked);
        QFETCH(QByteArray, add);
        QFETCH(QByteArray, extract);
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, test);
        QFETCH(bool, quiet);
        const ArchiverOptions o = optionsWith(method, ticked);
        QCOMPARE(commands::switchRun(Command::Add, o), add);
        QCOMPARE(commands::switchRun(Command::Extract, o), extract);
        QCOMPARE(commands::switchRun(Command::List, o), list);
        QCOMPARE(commands::switchRun(Command::Test, o), test);
        const int mode = quiet ? 0 : 1;
        QCOMPARE(commands::showMode(Command::Add, o), mode);
        QCOMPARE(commands::showMode(Command::Extract, o), mode);
        QCOMPARE(commands::showMode(Command::Test, o), mode);
        QCOMPARE(commands::showMode(Command::List, o), 1); // the listing is always shown
    }

    void defaultsAreOnlyCheckBox1AndMethod1() {
        const ArchiverOptions o;
        QCOMPARE(o.method, 1);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(o.switches.on(TForm2::CheckBoxOptions[n - 1]), n == 1);
    }

    void archiveTest_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("archive");
        QTest::newRow("upper") << QByteArray("/w/BACKUP.YK") << true;
        QTest::newRow("lower") << QByteArray("/w/backup.yk") << true;
        QTest::newRow("mixed") << QByteArray("/w/backup.Yk") << true;
        QTest::newRow("hidden name .yk") << QByteArray("/w/.yk") << true;
        QTest::newRow("old copy") << QByteArray("/w/backup.YK.OLD") << false;
        QTest::newRow("no extension") << QByteArray("/w/backup") << false;
        QTest::newRow("longer extension") << QByteArray("/w/backup.YKA") << false;
        QTest::newRow("dot only in the directory") << QByteArray("/w/a.yk/backup") << false;
        QTest::newRow("empty current file") << QByteArray() << false;
        QTest::newRow("Cyrillic letters are not folded") << QByteArray("/w/a.\xd0\xa3K") << false;
    }
    void archiveTest() {
        QFETCH(QByteArray, path);
        QFETCH(bool, archive);
        QCOMPARE(commands::isArchivePath(path), archive);
        const auto planned = commands::planArchiveCommand(Command::Test, ArchiverOptions(), path);
        QCOMPARE(planned.has_value(), archive);
    }

    void shortFormRule_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("wants");
        QTest::newRow("a.txt") << QByteArray("a.txt") << true;
        QTest::newRow("a.html") << QByteArray("a.html") << true;
        QTest::newRow("report.old.txt") << QByteArray("report.old.txt") << true;
        QTest::newRow("a.yk") << QByteArray("a.yk") << false;
        QTest::newRow("a.c") << QByteArray("a.c") << false;
        QTest::newRow("a.doc, four with the dot") << QByteArray("a.doc") << true;
        QTest::newRow("a.do") << QByteArray("a.do") << false;
        QTest::newRow("dot alone") << QByteArray("a.") << false;
        QTest::newRow("readme") << QByteArray("readme") << false;
        QTest::newRow("Cyrillic extension counts characters, not bytes")
            << QByteArray("a.\xd1\x82\xd1\x85") << false;
    }
    void shortFormRule() {
        QFETCH(QByteArray, name);
        QFETCH(bool, wants);
        QCOMPARE(commands::wantsShortForm(name), wants);
    }

    // The lines of the examples, with names that need no quotes exactly as composed by hand.
    void addLines_data() {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::addColumn<bool>("allFiles");
        QTest::addColumn<QByteArray>("line");
        const QList<QByteArray> example{"notes", "quarterly report.html"};
        QTest::newRow("Enter path, names as listed, a blank after each")
            << false << QByteArray("backup") << example << false
            << QByteArray("yk.exe a1 backup notes \"quarterly report.html\" ");
        QTest::newRow("button path, short forms are the names themselves")
            << true << QByteArray("backup") << example << false
            << QByteArray("yk.exe a1 backup notes \"quarterly report.html\" ");
        QTest::newRow("button path, all files") << true << QByteArray("backup") << example << true
                                                << QByteArray("yk.exe a1 backup *.*");
        QTest::newRow("Enter path ignores all files")
            << false << QByteArray("backup") << example << true
            << QByteArray("yk.exe a1 backup notes \"quarterly report.html\" ");
        QTest::newRow("nothing selected") << true << QByteArray("backup") << QList<QByteArray>{}
                                          << false << QByteArray("yk.exe a1 backup ");
        // Quoted, so that the first name does not become the archive: the archiver refuses.
        QTest::newRow("empty archive name") << false << QByteArray() << QList<QByteArray>{"n"}
                                            << false << QByteArray("yk.exe a1 \"\" n ");
        QTest::newRow("archive name with a blank, as typed")
            << false << QByteArray(" my arc") << QList<QByteArray>{"n"} << false
            << QByteArray("yk.exe a1 \" my arc\" n ");
        QTest::newRow("a.txt a.yk a.c readme by button")
            << true << QByteArray("a") << QList<QByteArray>{"a.txt", "a.yk", "a.c", "readme"}
            << false << QByteArray("yk.exe a1 a a.txt a.yk a.c readme ");
        QTest::newRow("names the shell would parse stay one word")
            << false << QByteArray("a") << QList<QByteArray>{"-x", "$(id)", ";", "a\\b"} << false
            << QByteArray("yk.exe a1 a -x $(id) ; a\\b ");
        QTest::newRow("quotes and a trailing backslash")
            << false << QByteArray("a") << QList<QByteArray>{"it's \"q\"", "d \\"} << false
            << QByteArray("yk.exe a1 a \"it's \\\"q\\\"\" \"d \\\\\" ");
        // Selected names are files: one holding '*' or '?' has the archiver read every name
        // literally, so that it does not take its neighbours along.
        QTest::newRow("a name holding ?, by Enter")
            << false << QByteArray("a") << QList<QByteArray>{"notes", "x?"} << false
            << QByteArray("yk.exe an1 a notes x? ");
        QTest::newRow("a file named *.* selected alone, by button")
            << true << QByteArray("a") << QList<QByteArray>{"*.*"} << false
            << QByteArray("yk.exe an1 a *.* ");
        QTest::newRow("a name holding * and a blank")
            << false << QByteArray("a") << QList<QByteArray>{"a* b"} << false
            << QByteArray("yk.exe an1 a \"a* b\" ");
        QTest::newRow("all files stays a pattern beside a file named *.*")
            << true << QByteArray("a") << QList<QByteArray>{"*.*", "x?"} << true
            << QByteArray("yk.exe a1 a *.*");
    }
    void addLines() {
        QFETCH(bool, byButton);
        QFETCH(QByteArray, archive);
        QFETCH(QList<QByteArray>, names);
        QFETCH(bool, allFiles);
        QFETCH(QByteArray, line);
        const QByteArray dir = QFile::encodeName(m_tmp.path());
        for (const QByteArray &n : names)
            QVERIFY(touch(dir + '/' + n));
        commands::AddRequest r;
        r.archiveName = archive;
        r.directory = dir;
        r.selectedNames = names;
        r.allFiles = allFiles;
        const auto planned =
            commands::planAdd(byButton ? commands::AddPath::Button : commands::AddPath::Enter, r);
        QVERIFY(planned);
        QCOMPARE(planned->commandLine, line);
        QCOMPARE(planned->showMode, 1);
    }

    // A selected name that vanished before the click keeps its listed form.
    void vanishedNameGoesAsListed() {
        commands::AddRequest r;
        r.archiveName = "b";
        r.directory = QFile::encodeName(m_tmp.path());
        r.selectedNames = {"gone.html"};
        QCOMPARE(commands::planAdd(commands::AddPath::Button, r)->commandLine,
                 QByteArray("yk.exe a1 b gone.html "));
    }

    void quietAddIsHidden() {
        commands::AddRequest r;
        r.options = optionsWith(2, {8, 9, 10, 7, 5, 3});
        r.archiveName = "b";
        const auto planned = commands::planAdd(commands::AddPath::Enter, r);
        QCOMPARE(planned->commandLine, QByteArray("yk.exe asdqemr2 b "));
        QCOMPARE(planned->showMode, 0);
    }

    // The button path refuses 256 characters and more, counted as characters on the line as it
    // reads without the quotes and the literal names switch that we add; nothing is cut.
    void lengthLimit_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("letter");
        QTest::addColumn<char>("middle"); // put in the middle of the name, or 0
        QTest::addColumn<bool>("launched");
        QTest::newRow("79 characters") << 79 << QByteArray("n") << '\0' << true;
        QTest::newRow("80 characters, nothing cut") << 80 << QByteArray("n") << '\0' << true;
        QTest::newRow("255 characters") << 255 << QByteArray("n") << '\0' << true;
        QTest::newRow("256 characters") << 256 << QByteArray("n") << '\0' << false;
        QTest::newRow("255 characters, Cyrillic") << 255 << QByteArray("\xd0\xaf") << '\0' << true;
        QTest::newRow("256 characters, Cyrillic") << 256 << QByteArray("\xd0\xaf") << '\0' << false;
        QTest::newRow("a 236-character name with a blank: 255")
            << 255 << QByteArray("n") << ' ' << true;
        QTest::newRow("256 characters with a blank") << 256 << QByteArray("n") << ' ' << false;
        QTest::newRow("255 characters, a name holding ?") << 255 << QByteArray("n") << '?' << true;
        QTest::newRow("256 characters, a name holding ?") << 256 << QByteArray("n") << '?' << false;
    }
    void lengthLimit() {
        QFETCH(int, length);
        QFETCH(QByteArray, letter);
        QFETCH(char, middle);
        QFETCH(bool, launched);
        const QByteArray head = "yk.exe a1 archive ";
        // One name and its trailing blank fill the line to the length wanted.
        QByteArray name = letter.repeated(length - int(head.size()) - 1);
        if (middle)
            name[name.size() / 2] = middle;
        QCOMPARE(commands::lineLength(head + name + ' '), length);
        QByteArray sent = head + platform::quoteArgument(name) + ' ';
        if (middle == '?')
            sent.replace("a1", "an1");
        commands::AddRequest r;
        r.archiveName = "archive";
        r.directory = "/nonexistent";
        r.selectedNames = {name};
        const auto button = commands::planAdd(commands::AddPath::Button, r);
        QCOMPARE(button.has_value(), launched);
        if (button)
            QCOMPARE(button->commandLine, sent);
        const auto enter = commands::planAdd(commands::AddPath::Enter, r);
        QVERIFY(enter); // no check on this path
        QCOMPARE(enter->commandLine, sent);
    }

    void lineLengthCountsCharacters_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("length");
        QTest::newRow("ASCII") << QByteArray("abc") << 3;
        QTest::newRow("Cyrillic") << QByteArray("\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb") << 4;
        QTest::newRow("stray bytes count once each") << QByteArray("caf\xe9\xff\x80") << 6;
        QTest::newRow("cut sequence at the end") << QByteArray("a\xe2\x82") << 3;
        QTest::newRow("four-byte sequence") << QByteArray("\xf0\x9f\x98\x80") << 1;
    }
    void lineLengthCountsCharacters() {
        QFETCH(QByteArray, line);
        QFETCH(int, length);
        QCOMPARE(commands::lineLength(line), length);
    }

    void archiveLines_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("mode");
        const int extract = int(Command::Extract), list = int(Command::List),
                  test = int(Command::Test);
        QTest::newRow("extract at start-up")
            << extract << QList<int>{1} << QByteArray("/work/BACKUP.YK")
            << QByteArray("yk.exe xy /work/BACKUP.YK") << 1;
        QTest::newRow("extract, every switch")
            << extract << QList<int>{7, 8, 6, 2, 1} << QByteArray("/work/BACKUP.YK")
            << QByteArray("yk.exe eqaty /work/BACKUP.YK") << 0;
        QTest::newRow("list, full") << list << QList<int>{4} << QByteArray("/work/BACKUP.YK")
                                    << QByteArray("yk.exe lf /work/BACKUP.YK") << 1;
        QTest::newRow("list") << list << QList<int>{} << QByteArray("/work/BACKUP.YK")
                              << QByteArray("yk.exe l /work/BACKUP.YK") << 1;
        QTest::newRow("list ignores quiet")
            << list << QList<int>{8, 1, 2, 3} << QByteArray("/work/BACKUP.YK")
            << QByteArray("yk.exe l /work/BACKUP.YK") << 1;
        QTest::newRow("test, quiet") << test << QList<int>{8} << QByteArray("/work/BACKUP.YK")
                                     << QByteArray("yk.exe tq /work/BACKUP.YK") << 0;
        QTest::newRow("archive with a blank is quoted")
            << test << QList<int>{} << QByteArray("/my work/old backup.yk")
            << QByteArray("yk.exe t \"/my work/old backup.yk\"") << 1;
        QTest::newRow("long path, nothing cut")
            << extract << QList<int>{1} << QByteArray("/" + QByteArray(300, 'd') + "/a.yk")
            << QByteArray("yk.exe xy /" + QByteArray(300, 'd') + "/a.yk") << 1;
    }
    void archiveLines() {
        QFETCH(int, command);
        QFETCH(QList<int>, ticked);
        QFETCH(QByteArray, archive);
        QFETCH(QByteArray, line);
        QFETCH(int, mode);
        // The archives do not exist: their full paths stand in for the short forms.
        const auto planned =
            commands::planArchiveCommand(Command(command), optionsWith(1, ticked), archive);
        QVERIFY(planned);
        QCOMPARE(planned->commandLine, line);
        QCOMPARE(planned->showMode, mode);
    }

    // Each row's position is the last visited before its file goes, so that what runs while
    // a failure is reported already sees it.
    void deletePassVisitsRowsInOrder() {
        const QByteArray dir = QFile::encodeName(m_tmp.path()) + "/del";
        QCOMPARE(::mkdir(dir.constData(), 0755), 0);
        for (const char *n : {"a", "c", "-x \xe9"})
            QVERIFY(touch(dir + '/' + n));
        QCOMPARE(::mkdir((dir + "/sub").constData(), 0755), 0);
        QList<QByteArray> events;
        int last = 42;
        commands::DeleteHooks hooks;
        hooks.deleted = [&] { events << "deleted " + QByteArray::number(last); };
        hooks.failed = [&](const QByteArray &name) {
            events << "failed " + name + ' ' + QByteArray::number(last);
        };
        const platform::DirectoryHandle listed(dir);
        commands::deleteRows({{0, "a"}, {2, "b"}, {3, "-x \xe9"}, {5, "sub"}, {7, "c"}}, listed,
                             hooks, last);
        QCOMPARE(last, 7);
        QCOMPARE(events, (QList<QByteArray>{"deleted 0", "failed b 2", "deleted 3", "failed sub 5",
                                            "deleted 7"}));
        QVERIFY(!exists(dir + "/a") && !exists(dir + "/c") && !exists(dir + "/-x \xe9"));
        QVERIFY(exists(dir + "/sub"));
        last = 42;
        commands::deleteRows({}, listed, hooks, last);
        QCOMPARE(last, 42);
    }

    // The pass deletes in the directory that was listed: renamed, with another directory or a
    // link to one put in its place, the file of the same name there stays, and the pass names
    // it as not deleted.
    void deletePassStaysInTheListedDirectory_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("another directory in its place") << false;
        QTest::newRow("a link to another directory in its place") << true;
    }
    void deletePassStaysInTheListedDirectory() {
        QFETCH(bool, link);
        const QByteArray root = QFile::encodeName(m_tmp.path()) + (link ? "/swapl" : "/swapd");
        const QByteArray shown = root + "/shown", other = root + "/other";
        QCOMPARE(::mkdir(root.constData(), 0755), 0);
        QCOMPARE(::mkdir(shown.constData(), 0755), 0);
        QCOMPARE(::mkdir(other.constData(), 0755), 0);
        QVERIFY(touch(shown + "/victim") && touch(shown + "/only-here"));
        QVERIFY(touch(other + "/victim") && touch(other + "/only-here"));
        const platform::DirectoryHandle listed(shown);
        QCOMPARE(::rename(shown.constData(), (root + "/moved").constData()), 0);
        if (link)
            QCOMPARE(::symlink(other.constData(), shown.constData()), 0);
        else
            QCOMPARE(::rename(other.constData(), shown.constData()), 0);
        const QByteArray elsewhere = link ? other : shown;
        QVERIFY(::unlink((root + "/moved/only-here").constData()) == 0);
        QList<QByteArray> failed;
        int last = 0;
        commands::DeleteHooks hooks;
        hooks.failed = [&](const QByteArray &name) { failed << name; };
        commands::deleteRows({{0, "only-here"}, {1, "victim"}}, listed, hooks, last);
        QCOMPARE(failed, QList<QByteArray>{"only-here"});
        QVERIFY(!exists(root + "/moved/victim"));
        QVERIFY(exists(elsewhere + "/victim") && exists(elsewhere + "/only-here"));
    }

    void deleteFailedText() {
        QCOMPARE(texts::deleteFailedText("readme.txt"),
                 QString::fromUtf8("readme.txt - файл не существует!"));
    }

    void focusAfterDelete_data() {
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("result");
        QTest::newRow("rows 3 and 7 deleted, focus on 0") << 0 << 7 << 6;
        QTest::newRow("only row 0 deleted") << 0 << 0 << 0;
        QTest::newRow("focus below the last row") << 5 << 3 << 3;
        QTest::newRow("focus on the last row") << 3 << 3 << 3;
    }
    void focusAfterDelete() {
        QFETCH(int, focused);
        QFETCH(int, last);
        QFETCH(int, result);
        QCOMPARE(commands::focusAfterDelete(focused, last), result);
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
