// The rows of a listing, byte for byte: numbers right-aligned in their columns, the ratio, the
// date and time in the local zone (UTC here), the full columns; and rows appended to one buffer
// come out as the rows made one by one.

#include "commands/ListFormat.h"

#include <QtTest>

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

class TestListing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("TZ", "UTC");
        tzset();
    }

    void rows_data() {
        QTest::addColumn<quint64>("size");
        QTest::addColumn<quint64>("packed");
        QTest::addColumn<qint64>("mtime"); // -1: no time
        QTest::addColumn<QString>("row");
        QTest::newRow("ordinary") << quint64(1234567) << quint64(1234) << qint64(1765000000)
                                  << "      1234567          1234     0%  06.12.2025  05:46  x";
        QTest::newRow("ratio rounds half up")
            << quint64(200) << quint64(101) << qint64(0)
            << "          200           101    51%  01.01.1970  00:00  x";
        QTest::newRow("empty file has no ratio")
            << quint64(0) << quint64(0) << qint64(86399)
            << "            0             0      -  01.01.1970  23:59  x";
        QTest::newRow("no time") << quint64(5) << quint64(9) << qint64(-1)
                                 << "            5             9   180%                     x";
        QTest::newRow("before 1970") << quint64(1) << quint64(1) << qint64(-86400)
                                     << "            1             1   100%  31.12.1969  00:00  x";
        QTest::newRow("wider than the column")
            << quint64(12345678901234567ull) << quint64(1) << qint64(0)
            << "12345678901234567             1     0%  01.01.1970  00:00  x";
        QTest::newRow("year past 9999")
            << quint64(1) << quint64(1) << qint64(253402300800ll)
            << "            1             1   100%  01.01.10000  00:00  x";
    }
    void rows() {
        QFETCH(quint64, size);
        QFETCH(quint64, packed);
        QFETCH(qint64, mtime);
        QFETCH(QString, row);
        yk::ListRow r;
        r.name = "x";
        r.size = size;
        r.packed = packed;
        r.hasTime = mtime != -1;
        r.mtime = static_cast<std::time_t>(mtime);
        r.mode = S_IFREG | 0644;
        QCOMPARE(QString::fromStdString(yk::listRow(r, false)), row);
    }

    void fullRow() {
        yk::ListRow r;
        r.name = "dir";
        r.size = 0;
        r.hasTime = true;
        r.mtime = 1765000000;
        r.mode = S_IFDIR | 0755;
        QCOMPARE(QString::fromStdString(yk::listRow(r, true)),
                 QString("            0             0      -  06.12.2025  05:46  -            - "
                         "       drwxr-xr-x dir"));
        r.name = "f";
        r.size = 10;
        r.packed = 4;
        r.mode = S_IFREG | 0600;
        r.method = "LZMA2:8m";
        r.crc = 0x0000BEEF;
        r.hasCrc = true;
        QCOMPARE(QString::fromStdString(yk::listRow(r, true)),
                 QString("           10             4    40%  06.12.2025  05:46  LZMA2:8m     "
                         "0000BEEF -rw------- f"));
    }

    void appendedRowsAreTheRows() {
        std::string buffer;
        std::string expected;
        for (int i = 0; i < 3; ++i) {
            yk::ListRow r;
            r.name = "n" + std::to_string(i);
            r.size = static_cast<std::uint64_t>(i) * 1000;
            r.packed = static_cast<std::uint64_t>(i);
            r.hasTime = true;
            r.mtime = 1765000000 + i * 3600;
            yk::appendListRow(buffer, r, i == 1);
            expected += yk::listRow(r, i == 1);
        }
        QCOMPARE(buffer, expected);
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_yk_listing.moc"
