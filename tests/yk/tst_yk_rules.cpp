// The archiver's pure rules: command-line grammar, archive naming, wildcards, stored names,
// listing columns, overwrite answers, refused names and coder names.

#include "cli/CommandLine.h"
#include "commands/Console.h"
#include "commands/ExtractRules.h"
#include "commands/InspectBytes.h"
#include "commands/ListFormat.h"
#include "commands/Messages.h"
#include "commands/OverwritePrompt.h"
#include "format/ArchiveReader.h"
#include "format/MethodProbe.h"
#include "fs/AtomicFile.h"
#include "fs/DirLock.h"
#include "fs/Names.h"
#include "fs/Wildcard.h"

#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(std::string)

namespace {

std::vector<std::string> split(const QString &s) {
    std::vector<std::string> out;
    for (const QString &w : s.split(QLatin1Char('|')))
        out.push_back(w.toStdString());
    return out;
}

// A compact picture of the parsed options, compared as text: "-" when refused.
QString describe(const std::optional<yk::Options> &o) {
    if (!o)
        return QStringLiteral("-");
    QString s;
    switch (o->command) {
    case yk::Command::Add:
        s = QStringLiteral("add%1").arg(o->method);
        break;
    case yk::Command::Extract:
        s = o->on(yk::Switch::NoPaths) ? QStringLiteral("extract-flat") : QStringLiteral("extract");
        break;
    case yk::Command::List:
        s = QStringLiteral("list");
        break;
    case yk::Command::Test:
        s = QStringLiteral("test");
        break;
    }
    QString flags;
    if (o->on(yk::Switch::HiddenFiles))
        flags += 's';
    if (o->on(yk::Switch::StoreDirs))
        flags += 'd';
    if (o->on(yk::Switch::Quiet))
        flags += 'q';
    if (o->command == yk::Command::Add && o->on(yk::Switch::NoPaths))
        flags += 'e';
    if (o->on(yk::Switch::Move))
        flags += 'm';
    if (o->on(yk::Switch::Recurse))
        flags += 'r';
    if (o->on(yk::Switch::LiteralNames))
        flags += 'n';
    if (o->on(yk::Switch::SystemAttributes))
        flags += 'a';
    if (o->on(yk::Switch::CurrentTime))
        flags += 't';
    if (o->on(yk::Switch::OverwriteAll))
        flags += 'y';
    if (o->on(yk::Switch::FullListing))
        flags += 'f';
    s += QStringLiteral(" ") + flags + QStringLiteral(" ") + QString::fromStdString(o->archive);
    for (const std::string &n : o->names)
        s += QStringLiteral(" [") + QString::fromStdString(n) + QStringLiteral("]");
    return s;
}

} // namespace

class TestYkRules : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("expected");
        // The forms the program composes.
        QTest::newRow("add defaults") << "a1|archive|notes|quarterly report.html"
                                      << "add1  archive [notes] [quarterly report.html]";
        QTest::newRow("add every switch") << "asdqemr2|backup|*.*"
                                          << "add2 sdqemr backup [*.*]";
        QTest::newRow("add literal names") << "an1|backup|x?|*.*"
                                           << "add1 n backup [x?] [*.*]";
        QTest::newRow("add every switch and literal") << "asdqemrn0|b|a*"
                                                      << "add0 sdqemrn b [a*]";
        QTest::newRow("add copy") << "a0|b|x"
                                  << "add0  b [x]";
        QTest::newRow("add with no names") << "a1|archive"
                                           << "add1  archive";
        QTest::newRow("add empty names dropped") << "a1|archive||x|"
                                                 << "add1  archive [x]";
        QTest::newRow("extract defaults") << "xy|/work/BACKUP.YK"
                                          << "extract y /work/BACKUP.YK";
        QTest::newRow("extract every switch") << "eqaty|/work/BACKUP.YK"
                                              << "extract-flat qaty /work/BACKUP.YK";
        QTest::newRow("extract plain") << "x|a.yk"
                                       << "extract  a.yk";
        QTest::newRow("list") << "l|/w/B.YK"
                              << "list  /w/B.YK";
        QTest::newRow("list full") << "lf|/w/B.YK"
                                   << "list f /w/B.YK";
        QTest::newRow("test") << "t|a.yk"
                              << "test  a.yk";
        QTest::newRow("test quiet") << "tq|a.yk"
                                    << "test q a.yk";
        // Operands are names, whatever they look like.
        QTest::newRow("dash name") << "a1|arc|-x|--help"
                                   << "add1  arc [-x] [--help]";
        QTest::newRow("dash archive") << "l|-x.yk"
                                      << "list  -x.yk";
        QTest::newRow("upper case letters") << "A1|arc|x"
                                            << "add1  arc [x]";
        // Refused.
        QTest::newRow("nothing") << ""
                                 << "-";
        QTest::newRow("no archive") << "l"
                                    << "-";
        QTest::newRow("empty archive") << "l|"
                                       << "-";
        QTest::newRow("unknown command") << "z|arc"
                                         << "-";
        QTest::newRow("dash option") << "-a1|arc"
                                     << "-";
        QTest::newRow("add without method") << "a|arc|x"
                                            << "-";
        QTest::newRow("add method 3") << "a3|arc|x"
                                      << "-";
        QTest::newRow("add two digits") << "a12|arc|x"
                                        << "-";
        QTest::newRow("add switch after digit") << "a1r|arc|x"
                                                << "-";
        QTest::newRow("add switches out of order") << "ars1|arc|x"
                                                   << "-";
        QTest::newRow("add switch twice") << "ass1|arc|x"
                                          << "-";
        QTest::newRow("add extract switch") << "ay1|arc|x"
                                            << "-";
        QTest::newRow("extract extra operand") << "x|a.yk|b"
                                               << "-";
        QTest::newRow("extract out of order") << "xyq|a.yk"
                                              << "-";
        QTest::newRow("list quiet") << "lq|a.yk"
                                    << "-";
        QTest::newRow("test full") << "tf|a.yk"
                                   << "-";
    }
    void commandLine() {
        QFETCH(QString, args);
        QFETCH(QString, expected);
        const std::vector<std::string> a =
            args.isEmpty() ? std::vector<std::string>() : split(args);
        QCOMPARE(describe(yk::parseCommandLine(a)), expected);
    }

    void archiveName_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << "archive"
                               << "archive.yk";
        QTest::newRow("has extension") << "a.yk"
                                       << "a.yk";
        QTest::newRow("upper extension") << "A.YK"
                                         << "A.YK";
        QTest::newRow("mixed extension") << "a.Yk"
                                         << "a.Yk";
        QTest::newRow("other extension") << "a.txt"
                                         << "a.txt.yk";
        QTest::newRow("extension as part") << "a.yka"
                                           << "a.yka.yk";
        QTest::newRow("path") << "dir/sub/b"
                              << "dir/sub/b.yk";
        QTest::newRow("dashes") << "-x"
                                << "-x.yk";
        QTest::newRow("blank") << "my archive"
                               << "my archive.yk";
    }
    void archiveName() {
        QFETCH(QString, given);
        QFETCH(QString, file);
        QCOMPARE(QString::fromStdString(yk::archiveFileForAdd(given.toStdString())), file);
    }

    void wildcard_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("matches");
        QTest::newRow("star dot star, no dot") << "*.*"
                                               << "README" << false << true;
        QTest::newRow("star dot star, dot") << "*.*"
                                            << "a.txt" << false << true;
        QTest::newRow("star") << "*"
                              << "a.txt" << false << true;
        QTest::newRow("extension") << "*.c"
                                   << "main.c" << false << true;
        QTest::newRow("extension, other") << "*.c"
                                          << "main.cpp" << false << false;
        QTest::newRow("case") << "*.TXT"
                              << "notes.txt" << false << true;
        QTest::newRow("question mark") << "?.c"
                                       << "a.c" << false << true;
        QTest::newRow("question mark needs one") << "?.c"
                                                 << ".c" << true << false;
        QTest::newRow("question mark, two") << "?.c"
                                            << "ab.c" << false << false;
        QTest::newRow("prefix dot star") << "rep*.*"
                                         << "report" << false << true;
        QTest::newRow("hidden excluded") << "*.*"
                                         << ".profile" << false << false;
        QTest::newRow("hidden with s") << "*.*"
                                       << ".profile" << true << true;
        QTest::newRow("hidden by dot pattern") << ".p*"
                                               << ".profile" << false << true;
        QTest::newRow("dot and dotdot never") << "*"
                                              << ".." << true << false;
        QTest::newRow("blank in name") << "*report*"
                                       << "my report.html" << false << true;
        QTest::newRow("many stars") << "*a*b*c*"
                                    << "xxaxxbxxcxx" << false << true;
        QTest::newRow("many stars, no") << "*a*b*c*d"
                                        << "aaaaaaaaaaaaaaaaaaaaaaaaabc" << false << false;
        QTest::newRow("literal") << "exact"
                                 << "exact" << false << true;
        QTest::newRow("non-UTF-8 bytes") << "*" << QString::fromLatin1("a\xff") << false << true;
    }
    void wildcard() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, hidden);
        QFETCH(bool, matches);
        QCOMPARE(yk::wildcardMatch(pattern.toStdString(), name.toStdString(), hidden), matches);
    }

    void storedName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("noPaths");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("changed");
        QTest::newRow("bare") << "a.txt" << false << "a.txt" << false;
        QTest::newRow("nested") << "d/e/f.c" << false << "d/e/f.c" << false;
        QTest::newRow("nested, no paths") << "d/e/f.c" << true << "f.c" << false;
        QTest::newRow("dot prefix") << "./d//f" << false << "d/f" << false;
        QTest::newRow("absolute") << "/etc/hosts" << false << "etc/hosts" << true;
        QTest::newRow("dotdot") << "../up/x" << false << "up/x" << true;
        QTest::newRow("dotdot inside") << "a/../b" << false << "a/b" << true;
        QTest::newRow("only dot") << "." << false << "" << false;
        QTest::newRow("trailing slash") << "dir/" << false << "dir" << false;
        QTest::newRow("dash") << "-x" << false << "-x" << false;
    }
    void storedName() {
        QFETCH(QString, path);
        QFETCH(bool, noPaths);
        QFETCH(QString, stored);
        QFETCH(bool, changed);
        bool was = !changed;
        QCOMPARE(QString::fromStdString(yk::storedName(path.toStdString(), noPaths, &was)), stored);
        QCOMPARE(was, changed);
    }

    void nameBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ascii") << QByteArray("a b.txt") << QByteArray("a b.txt");
        QTest::newRow("cyrillic") << QByteArray("файл") << QByteArray("файл");
        QTest::newRow("lone byte") << QByteArray("a\xff") << QByteArray("a\xef\x9f\xbf");
        QTest::newRow("latin-1 word") << QByteArray("caf\xe9") << QByteArray("caf\xef\x9f\xa9");
        QTest::newRow("truncated sequence") << QByteArray("\xd0") << QByteArray("\xef\x9f\x90");
        QTest::newRow("overlong slash")
            << QByteArray("\xc0\xaf") << QByteArray("\xef\x9f\x80\xef\x9e\xaf");
        QTest::newRow("surrogate")
            << QByteArray("\xed\xa0\x80") << QByteArray("\xef\x9f\xad\xef\x9e\xa0\xef\x9e\x80");
        // A real U+F7E9 is what the raw byte 0xE9 travels as: it travels as its three bytes.
        QTest::newRow("escape character itself")
            << QByteArray("caf\xef\x9f\xa9")
            << QByteArray("caf\xef\x9f\xaf\xef\x9e\x9f\xef\x9e\xa9");
        QTest::newRow("lowest escape character")
            << QByteArray("\xef\x9e\x80") << QByteArray("\xef\x9f\xaf\xef\x9e\x9e\xef\x9e\x80");
        QTest::newRow("private use just below stays")
            << QByteArray("\xef\x9d\xbf") << QByteArray("\xef\x9d\xbf");
        QTest::newRow("private use just above stays")
            << QByteArray("\xef\xa0\x80") << QByteArray("\xef\xa0\x80");
    }
    void nameBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        const std::string encoded = yk::encodeName(bytes.toStdString());
        QCOMPARE(QByteArray::fromStdString(encoded), text);
        QCOMPARE(QByteArray::fromStdString(yk::decodeName(encoded)), bytes);
    }

    void unsafeNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::newRow("plain") << "a.txt" << false;
        QTest::newRow("nested") << "a/b/c" << false;
        QTest::newRow("dots in name") << "a..b" << false;
        QTest::newRow("dotdot first") << "../x" << true;
        QTest::newRow("dotdot inside") << "a/../../x" << true;
        QTest::newRow("dotdot last") << "a/.." << true;
        QTest::newRow("absolute") << "/etc/passwd" << true;
        QTest::newRow("empty") << "" << true;
    }
    void unsafeNames() {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QCOMPARE(!yk::unsafeNameReason(name.toStdString()).empty(), refused);
    }

    void linkTargets_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("destination");
        QTest::newRow("sibling") << "a"
                                 << "b" << false << "b";
        QTest::newRow("down") << "a"
                              << "d/e/f" << false << "d/e/f";
        QTest::newRow("up from nested") << "d/a"
                                        << "../b" << false << "b";
        QTest::newRow("up twice from deeper") << "d/e/a"
                                              << "../../b/c" << false << "b/c";
        QTest::newRow("dot") << "a"
                             << "./b" << false << "b";
        QTest::newRow("up from top") << "a"
                                     << ".." << true << "";
        QTest::newRow("up too far") << "d/a"
                                    << "../../b" << true << "";
        QTest::newRow("down then out") << "a"
                                       << "x/../../y" << true << "";
        QTest::newRow("down then up, inside on paper") << "d/a"
                                                       << "../d/../b" << true << "";
        // Through a link made earlier ("s -> ."), s/s/../.. is two levels above the directory.
        QTest::newRow("chained through a link") << "z"
                                                << "s/s/../../outdir" << true << "";
        QTest::newRow("up after a name") << "w"
                                         << "p/q/.." << true << "";
        QTest::newRow("absolute") << "a"
                                  << "/etc/passwd" << true << "";
        QTest::newRow("empty") << "a"
                               << "" << true << "";
    }
    void linkTargets() {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QFETCH(bool, refused);
        QFETCH(QString, destination);
        QCOMPARE(!yk::linkTargetReason(link.toStdString(), target.toStdString()).empty(), refused);
        if (!refused)
            QCOMPARE(QString::fromStdString(
                         yk::linkDestination(link.toStdString(), target.toStdString())),
                     destination);
    }

    void nameParts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parts");
        QTest::newRow("plain") << "a"
                               << "a";
        QTest::newRow("nested") << "a/b"
                                << "a|b";
        QTest::newRow("dots and slashes") << "./a//b/./"
                                          << "a|b";
        QTest::newRow("dot alone") << "."
                                   << "";
        QTest::newRow("dot slash") << "./"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void nameParts() {
        QFETCH(QString, name);
        QFETCH(QString, parts);
        QStringList got;
        for (const std::string &p : yk::nameParts(name.toStdString()))
            got << QString::fromStdString(p);
        QCOMPARE(got.join(QLatin1Char('|')), parts);
    }

    void printableNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain") << QByteArray("a b.txt") << QByteArray("a b.txt");
        QTest::newRow("cyrillic") << QByteArray("файл") << QByteArray("файл");
        QTest::newRow("escape sets a title")
            << QByteArray("\x1b]0;owned\x07x") << QByteArray("\\x1b]0;owned\\x07x");
        QTest::newRow("newline forges a row") << QByteArray("a\nb") << QByteArray("a\\nb");
        QTest::newRow("carriage return") << QByteArray("a\rb") << QByteArray("a\\rb");
        QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\tb");
        QTest::newRow("delete") << QByteArray("a\x7f") << QByteArray("a\\x7f");
        QTest::newRow("c1 csi in utf-8") << QByteArray("a\xc2\x9b") << QByteArray("a\\x9b");
        QTest::newRow("c1 csi as a raw byte") << QByteArray("a\x9b") << QByteArray("a\\x9b");
        QTest::newRow("latin-1 letter stays") << QByteArray("caf\xe9") << QByteArray("caf\xe9");
        QTest::newRow("no-break space stays") << QByteArray("a\xc2\xa0") << QByteArray("a\xc2\xa0");
    }
    void printableNames() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, shown);
        QCOMPARE(QByteArray::fromStdString(yk::printable(name.toStdString())), shown);
    }

    void temporaryNames_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("owner");
        QTest::newRow("ours") << ".a.yk.yktmp-1234-Ab3xYz" << 1234;
        QTest::newRow("another archive") << ".b.yk.yktmp-1234-Ab3xYz" << 0;
        QTest::newRow("the archive itself") << "a.yk" << 0;
        QTest::newRow("no number") << ".a.yk.yktmp--Ab3xYz" << 0;
        QTest::newRow("short suffix") << ".a.yk.yktmp-1234-Ab3" << 0;
        QTest::newRow("letters in the number") << ".a.yk.yktmp-12x4-Ab3xYz" << 0;
    }
    void temporaryNames() {
        QFETCH(QString, entry);
        QFETCH(int, owner);
        QCOMPARE(int(yk::temporaryOwner("a.yk", entry.toStdString())), owner);
        if (owner)
            QVERIFY(entry.startsWith(QString::fromStdString(yk::temporaryPrefix("a.yk"))));
    }

    void archiveFailures_data() {
        QTest::addColumn<int>("errnum");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << ENOSPC << QByteArray("fwrite function failed")
                                   << "нет места на диске (fwrite function failed)";
        QTest::newRow("write failed")
            << EIO << QByteArray("Write failed") << "ошибка ввода-вывода (Write failed)";
        QTest::newRow("no memory")
            << ENOMEM << QByteArray("Lzma library error: Cannot allocate memory")
            << "недостаточно памяти (Lzma library error: Cannot allocate memory)";
        QTest::newRow("libarchive's own") << -1 << QByteArray("Unknown codec ID: 40109")
                                          << "сбой библиотеки архивов (Unknown codec ID: 40109)";
        QTest::newRow("no text") << -1 << QByteArray() << "сбой библиотеки архивов";
        QTest::newRow("unknown errno") << 133 << QByteArray() << "системная ошибка 133";
        QTest::newRow("control characters in the detail")
            << EACCES << QByteArray("Can't create 'a\x1b[2J'")
            << "нет доступа (Can't create 'a\\x1b[2J')";
    }
    void archiveFailures() {
        QFETCH(int, errnum);
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        QCOMPARE(QString::fromStdString(yk::msg::reason(
                     yk::archiveFailure(errnum, text.isEmpty() ? nullptr : text.constData()))),
                 reason);
    }

    void ratio_data() {
        QTest::addColumn<qulonglong>("packed");
        QTest::addColumn<qulonglong>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << 50ull << 100ull << "50%";
        QTest::newRow("rounded") << 1ull << 3ull << "33%";
        QTest::newRow("rounded up") << 2ull << 3ull << "67%";
        QTest::newRow("grown") << 110ull << 100ull << "110%";
        QTest::newRow("empty") << 0ull << 0ull << "-";
        QTest::newRow("huge") << 5000000000ull << 10000000000ull << "50%";
    }
    void ratio() {
        QFETCH(qulonglong, packed);
        QFETCH(qulonglong, size);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(yk::ratioText(packed, size)), text);
    }

    void share_data() {
        QTest::addColumn<qulonglong>("total");
        QTest::addColumn<qulonglong>("size");
        QTest::addColumn<qulonglong>("sum");
        QTest::addColumn<qulonglong>("share");
        QTest::newRow("all") << 100ull << 10ull << 10ull << 100ull;
        QTest::newRow("quarter") << 100ull << 5ull << 20ull << 25ull;
        QTest::newRow("nothing stored") << 100ull << 0ull << 0ull << 0ull;
        QTest::newRow("over 4 GiB") << 6000000000ull << 3ull << 6ull << 3000000000ull;
    }
    void share() {
        QFETCH(qulonglong, total);
        QFETCH(qulonglong, size);
        QFETCH(qulonglong, sum);
        QFETCH(qulonglong, share);
        QCOMPARE(static_cast<qulonglong>(yk::shareOf(total, size, sum)), share);
    }

    void mode_data() {
        QTest::addColumn<uint>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("file") << uint(S_IFREG | 0644) << "-rw-r--r--";
        QTest::newRow("dir") << uint(S_IFDIR | 0755) << "drwxr-xr-x";
        QTest::newRow("link") << uint(S_IFLNK | 0777) << "lrwxrwxrwx";
        QTest::newRow("setuid") << uint(S_IFREG | 04755) << "-rwsr-xr-x";
        QTest::newRow("sticky no x") << uint(S_IFDIR | 01770) << "drwxrwx--T";
        QTest::newRow("nothing") << uint(S_IFREG) << "----------";
        QTest::newRow("character device") << uint(S_IFCHR | 0666) << "crw-rw-rw-";
        QTest::newRow("block device") << uint(S_IFBLK | 0660) << "brw-rw----";
        QTest::newRow("fifo") << uint(S_IFIFO | 0644) << "prw-r--r--";
        QTest::newRow("socket") << uint(S_IFSOCK | 0755) << "srwxr-xr-x";
    }
    void mode() {
        QFETCH(uint, mode);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(yk::modeText(mode)), text);
    }

    void dateAndCrc() {
        QCOMPARE(QString::fromStdString(yk::crcText(0x1a2b3c)), QStringLiteral("001A2B3C"));
        QCOMPARE(QString::fromStdString(yk::dateTimeText(0, false)), QString(17, QLatin1Char(' ')));
        qputenv("TZ", "UTC");
        tzset();
        QCOMPARE(QString::fromStdString(yk::dateTimeText(1733612400, true)),
                 QStringLiteral("07.12.2024  23:00"));
    }

    void listColumnsAlign() {
        // Cyrillic headings take one column per letter: every line is as wide as the header
        // up to the name column.
        yk::ListRow row;
        row.name = "x";
        row.size = 1234567;
        row.packed = 1234;
        row.hasTime = true;
        row.mode = S_IFREG | 0644;
        row.method = "LZMA:8m";
        row.crc = 0xDEADBEEF;
        row.hasCrc = true;
        for (bool full : {false, true}) {
            const QString header = QString::fromStdString(yk::listHeader(full));
            const QString line = QString::fromStdString(yk::listRow(row, full));
            QCOMPARE(line.size() - 1, header.indexOf(QStringLiteral("Имя")));
        }
    }

    void answers_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("answer");
        QTest::newRow("y") << "y\n" << int(yk::Answer::Yes);
        QTest::newRow("Y blanks") << "  Y \r\n" << int(yk::Answer::Yes);
        QTest::newRow("da") << "д" << int(yk::Answer::Yes);
        QTest::newRow("n") << "n" << int(yk::Answer::No);
        QTest::newRow("net") << "Н" << int(yk::Answer::No);
        QTest::newRow("a") << "a" << int(yk::Answer::All);
        QTest::newRow("vse") << "в" << int(yk::Answer::All);
        QTest::newRow("q") << "q" << int(yk::Answer::Quit);
        QTest::newRow("empty") << "" << int(yk::Answer::Unknown);
        QTest::newRow("word") << "yes" << int(yk::Answer::Unknown);
    }
    void answers() {
        QFETCH(QString, reply);
        QFETCH(int, answer);
        QCOMPARE(int(yk::parseAnswer(reply.toStdString())), answer);
    }

    void promptWithoutTerminal() {
        // Nobody to ask: the existing file is kept, and nothing is read from the input.
        FILE *in = tmpfile();
        std::fputs("y\n", in);
        std::rewind(in);
        yk::OverwritePrompt p(false, false, in, stderr);
        QCOMPARE(int(p.ask("x")), int(yk::Answer::No));
        QCOMPARE(std::ftell(in), 0L);
        yk::OverwritePrompt yes(false, true, in, stderr);
        QCOMPARE(int(yes.ask("x")), int(yk::Answer::Yes));
        std::fclose(in);
    }

    void promptReadsReplies() {
        FILE *in = tmpfile();
        FILE *out = tmpfile();
        std::fputs("maybe\nn\na\n", in);
        std::rewind(in);
        yk::OverwritePrompt p(true, false, in, out);
        QCOMPARE(int(p.ask("x")), int(yk::Answer::No)); // asked twice: "maybe" is not a reply
        QCOMPARE(int(p.ask("y")), int(yk::Answer::Yes));
        QCOMPARE(int(p.ask("z")), int(yk::Answer::Yes)); // "all" holds without asking
        QCOMPARE(int(p.ask("w")), int(yk::Answer::Yes));
        std::fclose(in);
        std::fclose(out);
    }

    void promptEndOfInputQuits() {
        FILE *in = tmpfile();
        FILE *out = tmpfile();
        yk::OverwritePrompt p(true, false, in, out);
        QCOMPARE(int(p.ask("x")), int(yk::Answer::Quit));
        std::fclose(in);
        std::fclose(out);
    }

    void coderNames_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("props");
        QTest::addColumn<QString>("name");
        QTest::newRow("copy") << QByteArray("\x00", 1) << QByteArray() << "Copy";
        QTest::newRow("lzma 8m") << QByteArray("\x03\x01\x01")
                                 << QByteArray("\x5d\x00\x00\x80\x00", 5) << "LZMA:8m";
        QTest::newRow("ppmd o6 16m")
            << QByteArray("\x03\x04\x01") << QByteArray("\x06\x00\x00\x00\x01", 5) << "PPMd:o6:16m";
        QTest::newRow("lzma2 16m") << QByteArray("\x21") << QByteArray("\x18") << "LZMA2:16m";
        QTest::newRow("lzma2 8m") << QByteArray("\x21") << QByteArray("\x16") << "LZMA2:8m";
        QTest::newRow("lzma2 12m") << QByteArray("\x21") << QByteArray("\x17") << "LZMA2:12m";
        QTest::newRow("lzma2 4k") << QByteArray("\x21") << QByteArray("\x00", 1) << "LZMA2:4k";
        QTest::newRow("lzma2 no props") << QByteArray("\x21") << QByteArray() << "LZMA2";
        QTest::newRow("lzma2 bad props") << QByteArray("\x21") << QByteArray("\x29") << "LZMA2";
        QTest::newRow("unknown") << QByteArray("\x09\x09") << QByteArray() << "?0909";
        QTest::newRow("deflate64") << QByteArray("\x04\x01\x09") << QByteArray() << "Deflate64";
    }
    void coderNames() {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, props);
        QFETCH(QString, name);
        const std::vector<std::uint8_t> i(id.begin(), id.end()), p(props.begin(), props.end());
        QCOMPARE(QString::fromStdString(yk::coderName(i, p)), name);
    }

    void percent_data() {
        QTest::addColumn<qulonglong>("done");
        QTest::addColumn<qulonglong>("total");
        QTest::addColumn<int>("percent");
        QTest::newRow("start") << 0ull << 100ull << 0;
        QTest::newRow("half") << 50ull << 100ull << 50;
        QTest::newRow("floor") << 999ull << 1000ull << 99;
        QTest::newRow("end") << 100ull << 100ull << 100;
        QTest::newRow("empty") << 0ull << 0ull << 100;
        QTest::newRow("over 4 GiB") << 4500000000ull << 9000000000ull << 50;
    }
    void percent() {
        QFETCH(qulonglong, done);
        QFETCH(qulonglong, total);
        QFETCH(int, percent);
        QCOMPARE(yk::percentOf(done, total), percent);
    }

    void addsTakeTurns() {
        // Two holders of one directory's lock, as two adds would be: the second finds it busy
        // until the first lets go.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        yk::Error error;
        auto first = std::make_unique<yk::DirLock>(dir.path().toStdString());
        yk::DirLock second(dir.path().toStdString());
        QVERIFY(first->open(error) && second.open(error));
        QCOMPARE(first->tryLock(error), yk::DirLock::Locked);
        QCOMPARE(second.tryLock(error), yk::DirLock::Busy);
        first.reset();
        QCOMPARE(second.tryLock(error), yk::DirLock::Locked);
    }

    void garbageIsNotAnArchive() {
        // Listing and testing bytes that are no archive: status 2 for both, no crash.
        const std::uint8_t junk[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4, 1, 2, 3};
        QCOMPARE(yk::inspectArchiveBytes(junk, sizeof junk), 2 * 3 + 2);
        QCOMPARE(yk::inspectArchiveBytes(nullptr, 0), 2 * 3 + 2);
        QVERIFY(!yk::probeMethodsInBytes(junk, sizeof junk).ok);
    }
};

QTEST_APPLESS_MAIN(TestYkRules)
#include "tst_yk_rules.moc"
