// Command lines in the Windows convention: splitting, and quoting that splitting undoes.
#include "platform/CommandLine.h"

#include <QRandomGenerator>
#include <QTest>

using Args = QList<QByteArray>;
Q_DECLARE_METATYPE(Args)

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void split_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<Args>("args");
        QTest::newRow("empty") << QByteArray() << Args{};
        QTest::newRow("blanks only") << QByteArray(" \t ") << Args{};
        QTest::newRow("plain words")
            << QByteArray("yk.exe a1 backup notes ") << Args{"yk.exe", "a1", "backup", "notes"};
        QTest::newRow("tabs and runs of blanks") << QByteArray("a \t  b\t") << Args{"a", "b"};
        QTest::newRow("quotes group") << QByteArray("x \"a b\" c") << Args{"x", "a b", "c"};
        QTest::newRow("quotes inside a word") << QByteArray("ab\"c d\"e") << Args{"abc de"};
        QTest::newRow("empty quotes are an argument")
            << QByteArray("a \"\" b") << Args{"a", "", "b"};
        QTest::newRow("backslashes alone are literal")
            << QByteArray("C:\\a\\b\\ c") << Args{"C:\\a\\b\\", "c"};
        QTest::newRow("escaped quote") << QByteArray("a\\\"b") << Args{"a\"b"};
        QTest::newRow("two backslashes then quote")
            << QByteArray("\"a\\\\\" b") << Args{"a\\", "b"};
        QTest::newRow("three backslashes then quote") << QByteArray("a\\\\\\\"b") << Args{"a\\\"b"};
        QTest::newRow("doubled quote inside quotes") << QByteArray("\"a\"\"b\"") << Args{"a\"b"};
        QTest::newRow("unclosed quote runs to the end") << QByteArray("\"a b") << Args{"a b"};
        QTest::newRow("newline is no separator") << QByteArray("a\nb c") << Args{"a\nb", "c"};
    }
    void split() {
        QFETCH(QByteArray, line);
        QFETCH(Args, args);
        QCOMPARE(platform::splitCommandLine(line), args);
    }

    void quote_data() {
        QTest::addColumn<QByteArray>("arg");
        QTest::addColumn<QByteArray>("quoted");
        QTest::newRow("plain name unchanged") << QByteArray("notes") << QByteArray("notes");
        QTest::newRow("backslashes without blanks unchanged")
            << QByteArray("a\\b\\") << QByteArray("a\\b\\");
        QTest::newRow("leading dash unchanged") << QByteArray("-x") << QByteArray("-x");
        QTest::newRow("shell syntax unchanged") << QByteArray("$(rm);") << QByteArray("$(rm);");
        QTest::newRow("empty stays an argument") << QByteArray() << QByteArray("\"\"");
        QTest::newRow("blank") << QByteArray("a b") << QByteArray("\"a b\"");
        QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("\"a\tb\"");
        QTest::newRow("quote") << QByteArray("a\"b") << QByteArray("\"a\\\"b\"");
        QTest::newRow("trailing backslash with blank")
            << QByteArray("a b\\") << QByteArray("\"a b\\\\\"");
        QTest::newRow("backslash before quote")
            << QByteArray("a\\\"b") << QByteArray("\"a\\\\\\\"b\"");
    }
    void quote() {
        QFETCH(QByteArray, arg);
        QFETCH(QByteArray, quoted);
        QCOMPARE(platform::quoteArgument(arg), quoted);
    }

    void roundTrip_data() {
        QTest::addColumn<QByteArray>("arg");
        const char *names[] = {"",
                               "quarterly report.html",
                               "it's \"quoted\".txt",
                               "\"",
                               "\"\"",
                               "\\",
                               "\\\\\"",
                               "a b\\",
                               "a b\\\\",
                               " leading and trailing ",
                               "-x",
                               "--help",
                               "$(touch pwned)",
                               "a;b",
                               "`id`",
                               "*.*",
                               "tab\there",
                               "new\nline",
                               "файл с пробелом.txt",
                               "caf\xe9 \xff\xfe.txt"};
        for (const char *n : names)
            QTest::newRow(*n ? n : "empty") << QByteArray(n);
    }
    // Any name becomes one argument again, whatever stands around it.
    void roundTrip() {
        QFETCH(QByteArray, arg);
        const QByteArray line =
            "yk.exe a1 " + platform::quoteArgument(arg) + ' ' + platform::quoteArgument(arg) + ' ';
        QCOMPARE(platform::splitCommandLine(line), (Args{"yk.exe", "a1", arg, arg}));
    }

    // Random byte strings (no NUL) of every kind survive quoting and splitting.
    void roundTripRandomBytes() {
        QRandomGenerator rng(20261208);
        const char alphabet[] = {' ', '\t', '"', '\\', 'a', '-', '\n', '\xe9', '\xff', '$'};
        for (int i = 0; i < 20000; ++i) {
            QByteArray arg;
            const int len = 1 + int(rng.bounded(12));
            for (int k = 0; k < len; ++k)
                arg.append(rng.bounded(2) ? alphabet[rng.bounded(int(sizeof alphabet))]
                                          : char(1 + rng.bounded(255)));
            const Args back = platform::splitCommandLine("p " + platform::quoteArgument(arg));
            if (back != Args({"p", arg}))
                QFAIL(qPrintable("lost: " + arg.toHex()));
        }
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
