// Pure rules: names, paths, status texts, drive rows, the error report's text.
#include "app/DriveRows.h"
#include "app/Messenger.h"
#include "app/NameRules.h"
#include "app/PathRules.h"
#include "app/Texts.h"
#include "platform/Files.h"

#include <QtTest>

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void archiveName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("no extension") << "README"
                                      << "README";
        QTest::newRow("two dots") << "report.old.txt"
                                  << "report.o";
        QTest::newRow("only a leading dot") << ".profile"
                                            << "";
        QTest::newRow("short") << "a.c"
                               << "a";
        QTest::newRow("long without dot") << "abcdefghijkl"
                                          << "abcdefgh";
        QTest::newRow("cyrillic") << QString::fromUtf8("документация.txt")
                                  << QString::fromUtf8("документ");
        QTest::newRow("trailing dot") << "name."
                                      << "name";
        QTest::newRow("blanks") << "my file.txt"
                                << "my file";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("surrogate at the cut") << QString::fromUtf8("abcdefg😀.txt") << "abcdefg";
    }
    void archiveName() {
        QFETCH(QString, file);
        QFETCH(QString, proposal);
        QCOMPARE(names::archiveNameProposal(file), proposal);
    }

    void joinAndBase() {
        QCOMPARE(platform::joinPath("/", "a.txt"), QByteArray("/a.txt"));
        QCOMPARE(platform::joinPath("/home/u", "a.txt"), QByteArray("/home/u/a.txt"));
        QCOMPARE(names::baseName(QByteArray("/home/u/a b.txt")), QByteArray("a b.txt"));
        QCOMPARE(names::baseName(QByteArray("")), QByteArray(""));
    }

    void executable_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("executable");
        QTest::newRow("exe") << QByteArray("setup.exe") << true;
        QTest::newRow("upper COM") << QByteArray("CMD.COM") << true;
        QTest::newRow("bat") << QByteArray("run.Bat") << true;
        QTest::newRow("pif") << QByteArray("x.pif") << true;
        QTest::newRow("exe inside") << QByteArray("a.exe.txt") << false;
        QTest::newRow("no dot") << QByteArray("exe") << false;
        QTest::newRow("sh") << QByteArray("run.sh") << false;
    }
    void executable() {
        QFETCH(QByteArray, name);
        QFETCH(bool, executable);
        QCOMPARE(names::isExecutableName(name), executable);
    }

    void sortKeysFoldEveryLetter() {
        QCOMPARE(names::sortKey("ReadMe"), names::sortKey("README"));
        QCOMPARE(names::sortKey(QString::fromUtf8("Архив").toUtf8()),
                 names::sortKey(QString::fromUtf8("АРХИВ").toUtf8()));
        QVERIFY(names::sortKey("apple") < names::sortKey("Banana"));
        QVERIFY(names::sortKey(QString::fromUtf8("ёж").toUtf8()) ==
                names::sortKey(QString::fromUtf8("Ёж").toUtf8()));
        // Invalid UTF-8 still gets a key and keeps its bytes apart from others.
        QVERIFY(!names::sortKey("\xff\xfe").isEmpty());
    }

    // Names outside ASCII take a shortcut when they are made of two-byte characters; its key
    // must be the one the general folding gives, or lists would sort differently by alphabet.
    void sortKeyShortcutAgreesWithFullFolding_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("cyrillic upper") << QString::fromUtf8("АРХИВ Ёлка.TXT").toUtf8();
        QTest::newRow("greek sigmas") << QString::fromUtf8("ΣΑΣ όσος").toUtf8();
        QTest::newRow("latin-1 and sharp s") << QString::fromUtf8("Äpfel Straße").toUtf8();
        QTest::newRow("dotted capital I") << QString::fromUtf8("İstanbul").toUtf8();
        QTest::newRow("three-byte letter") << QString::fromUtf8("Ⓐ Ω").toUtf8();
        QTest::newRow("four-byte letter") << QString::fromUtf8("𐐀 file").toUtf8();
        QTest::newRow("lone lead byte at end") << QByteArray("name\xd0");
        QTest::newRow("lead byte then ASCII") << QByteArray("\xd0"
                                                            "A");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf");
        QTest::newRow("overlong C1") << QByteArray("\xc1\xbf");
        QTest::newRow("stray continuation") << QByteArray("a\x80"
                                                          "b");
        QTest::newRow("latin-1 bytes") << QByteArray("caf\xe9");
    }
    void sortKeyShortcutAgreesWithFullFolding() {
        QFETCH(QByteArray, name);
        QCOMPARE(names::sortKey(name), QString::fromUtf8(name).toCaseFolded().toUtf8());
    }

    void sortKeyShortcutAgreesForEveryTwoByteCharacter() {
        for (char16_t c = 0x80; c < 0x800; ++c) {
            const QString name = QLatin1String("Ab") + QChar(c) + QLatin1String("Z");
            const QByteArray raw = name.toUtf8();
            if (names::sortKey(raw) != name.toCaseFolded().toUtf8())
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0'))));
        }
    }

    void displayKeepsInvalidBytesVisible() {
        const QString shown = names::displayName("a\xff.txt");
        QCOMPARE(shown.size(), 6);
        QCOMPARE(shown.at(1), QChar(QChar::ReplacementCharacter));
    }

    void cleanPaths_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("clean");
        QTest::newRow("absolute") << QByteArray("/a/b") << QByteArray("/x") << QByteArray("/a/b");
        QTest::newRow("relative") << QByteArray("c") << QByteArray("/a/b") << QByteArray("/a/b/c");
        QTest::newRow("dot dot") << QByteArray("../c") << QByteArray("/a/b") << QByteArray("/a/c");
        QTest::newRow("above root") << QByteArray("/../..") << QByteArray("/") << QByteArray("/");
        QTest::newRow("slashes") << QByteArray("//a///b/./") << QByteArray("/")
                                 << QByteArray("/a/b");
        QTest::newRow("bytes kept")
            << QByteArray("\xff dir") << QByteArray("/") << QByteArray("/\xff dir");
    }
    void cleanPaths() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, clean);
        QCOMPARE(paths::absoluteClean(path, base), clean);
    }

    void pathRows() {
        QCOMPARE(paths::components("/"), QList<QByteArray>{"/"});
        QCOMPARE(paths::components("/usr/share"), (QList<QByteArray>{"/", "usr", "share"}));
        QCOMPARE(paths::pathOfRow("/usr/share/doc", 0), QByteArray("/"));
        QCOMPARE(paths::pathOfRow("/usr/share/doc", 2), QByteArray("/usr/share"));
        QCOMPARE(paths::pathOfRow("/usr/share/doc", 3), QByteArray("/usr/share/doc"));
        QCOMPARE(paths::parentOf("/usr"), QByteArray("/"));
        QCOMPARE(paths::parentOf("/usr/a"), QByteArray("/usr"));
        QCOMPARE(paths::pathRowIndent(0), 2);
        QCOMPARE(paths::pathRowIndent(3), 14);
        QCOMPARE(paths::subdirectoryIndent("/"), 10);
        QCOMPARE(paths::subdirectoryIndent("/usr"), 10);
        QCOMPARE(paths::subdirectoryIndent("/usr/share"), 14);
    }

    void sizes_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("1023 bytes") << qint64(1023) << 0 << QString::fromUtf8(" Размер: 1023 байт");
        QTest::newRow("1023 in K") << qint64(1023) << 1 << QString::fromUtf8(" Размер: 0 Кбайт");
        QTest::newRow("1023 in M") << qint64(1023) << 2 << QString::fromUtf8(" Размер: 0 Мбайт");
        QTest::newRow("1 MiB in K")
            << qint64(1048576) << 1 << QString::fromUtf8(" Размер: 1024 Кбайт");
        QTest::newRow("1 MiB in M")
            << qint64(1048576) << 2 << QString::fromUtf8(" Размер: 1 Мбайт");
        QTest::newRow("3e6 in M") << qint64(3000000) << 2 << QString::fromUtf8(" Размер: 2 Мбайт");
        QTest::newRow("5 GiB not wrapped")
            << qint64(5) * 1024 * 1024 * 1024 << 0 << QString::fromUtf8(" Размер: 5368709120 байт");
        QTest::newRow("empty file") << qint64(0) << 0 << QString::fromUtf8(" Размер: 0 байт");
    }
    void sizes() {
        QFETCH(qint64, size);
        QFETCH(int, unit);
        QFETCH(QString, text);
        QCOMPARE(texts::sizeText(size, unit), text);
    }

    void fileTimes() {
        const QDateTime odd(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::LocalTime);
        QCOMPARE(texts::fileTimeText(odd.toSecsSinceEpoch()),
                 QStringLiteral("05.03.2024  07:08:08"));
        const QDateTime even(QDate(2024, 12, 31), QTime(23, 59, 58), Qt::LocalTime);
        QCOMPARE(texts::fileTimeText(even.toSecsSinceEpoch()),
                 QStringLiteral("31.12.2024  23:59:58"));
        // Before 1980 the DOS date has no value: the real time is shown.
        const QDateTime old(QDate(1975, 1, 2), QTime(3, 4, 5), Qt::LocalTime);
        QCOMPARE(texts::fileTimeText(old.toSecsSinceEpoch()),
                 QStringLiteral("02.01.1975  03:04:05"));
        QCOMPARE(texts::fileNameText("a.txt"), QString::fromUtf8(" Файл: a.txt"));
    }

    void clock() {
        const QDateTime now(QDate(2026, 1, 9), QTime(4, 5, 6), Qt::LocalTime);
        QCOMPARE(texts::clockText(now), QStringLiteral("04:05:06   09.01.2026"));
    }

    void driveRows_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<QString>("text");
        using platform::DriveType;
        QTest::newRow("fixed labelled") << int(DriveType::Fixed) << "system"
                                        << ""
                                        << "/data [SYSTEM]";
        QTest::newRow("fixed no label") << int(DriveType::Fixed) << ""
                                        << ""
                                        << "/data []";
        QTest::newRow("removable") << int(DriveType::Removable) << "usb"
                                   << ""
                                   << "/data";
        QTest::newRow("network") << int(DriveType::Remote) << ""
                                 << "//server/share"
                                 << "/data //SERVER/SHARE";
        QTest::newRow("network no source") << int(DriveType::Remote) << "nas"
                                           << ""
                                           << "/data [NAS]";
        QTest::newRow("cd") << int(DriveType::CdRom) << ""
                            << ""
                            << "/data []";
        QTest::newRow("ram cyrillic") << int(DriveType::RamDisk) << QString::fromUtf8("диск") << ""
                                      << QString::fromUtf8("/data [ДИСК]");
    }
    void driveRows() {
        QFETCH(int, type);
        QFETCH(QString, label);
        QFETCH(QString, remote);
        QFETCH(QString, text);
        platform::Volume v;
        v.root = "/data";
        v.type = platform::DriveType(type);
        v.label = label;
        v.remoteName = remote;
        QCOMPARE(drives::rowText(v), text);
    }

    void errorReport_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Cannot open file /x"
                                << "Cannot open file /x.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("exclamation sorts before") << "Oops!"
                                                  << "Oops!";
        QTest::newRow("digit sorts after") << "Code 5"
                                           << "Code 5.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorReport() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(texts::errorReportText(message), shown);
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
