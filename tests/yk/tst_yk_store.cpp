// The writer of stored archives: its numbers, names, attributes and times, the header it lays
// out (checked against the bytes libarchive's writer produced for the same entry), and archives
// it writes read back through libarchive, including an entry whose data came up short.

#include "ReadBack.h"
#include "commands/Messages.h"
#include "format/ArchiveReader.h"
#include "format/StoreFormat.h"
#include "format/StoreWriter.h"

#include <QTemporaryFile>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

QByteArray hex(const yk::Bytes &b) {
    return QByteArray(reinterpret_cast<const char *>(b.data()), static_cast<int>(b.size())).toHex();
}

yk::StoreEntry entry(const std::string &name, std::uint32_t mode, std::uint64_t size = 0) {
    yk::StoreEntry e;
    e.name = name;
    e.mode = mode;
    e.size = size;
    return e;
}

using ReadBack = ReadBackOf<std::string>;

} // namespace

class TestYkStore : public QObject {
    Q_OBJECT

private slots:
    void numbers_data() {
        QTest::addColumn<qulonglong>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("zero") << 0ull << QByteArray("00");
        QTest::newRow("one byte, largest") << 0x7full << QByteArray("7f");
        QTest::newRow("two bytes, smallest") << 0x80ull << QByteArray("8080");
        QTest::newRow("two bytes") << 0x1234ull << QByteArray("9234");
        QTest::newRow("three bytes") << 0x4000ull << QByteArray("c00040");
        QTest::newRow("4 GiB + 1") << 0x100000001ull << QByteArray("f101000000");
        QTest::newRow("eight bytes") << 0x00ffffffffffffffull << QByteArray("feffffffffffffff");
        QTest::newRow("nine bytes") << 0xffffffffffffffffull << QByteArray("ffffffffffffffffff");
    }
    void numbers() {
        QFETCH(qulonglong, value);
        QFETCH(QByteArray, bytes);
        yk::Bytes out;
        yk::appendNumber(out, value);
        QCOMPARE(hex(out), bytes);
    }

    void names_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("utf16");
        QTest::newRow("ascii") << QByteArray("a/b") << QByteArray("61002f006200");
        QTest::newRow("cyrillic") << QByteArray("ф") << QByteArray("4404");
        QTest::newRow("carried byte") << QByteArray("\xef\x9f\xa9") << QByteArray("e9f7");
        QTest::newRow("outside the BMP")
            << QByteArray("\xf0\x9f\x98\x80") << QByteArray("3dd800de");
        QTest::newRow("malformed") << QByteArray("a\xe9") << QByteArray("6100fdff");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << QByteArray("fdfffdff");
        QTest::newRow("cut short") << QByteArray("\xe2\x82") << QByteArray("fdfffdff");
    }
    void names() {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, utf16);
        QCOMPARE(hex(yk::utf16le(utf8.toStdString())), utf16);
    }

    void attributes_data() {
        QTest::addColumn<uint>("mode");
        QTest::addColumn<uint>("attributes");
        QTest::newRow("file 644") << uint(S_IFREG | 0644) << 0x81a48020u;
        QTest::newRow("read-only file") << uint(S_IFREG | 0444) << 0x81248021u;
        QTest::newRow("directory 755") << uint(S_IFDIR | 0755) << 0x41ed8010u;
        QTest::newRow("link") << uint(S_IFLNK | 0777) << 0xa1ff8020u;
        QTest::newRow("setuid") << uint(S_IFREG | 04755) << 0x89ed8020u;
    }
    void attributes() {
        QFETCH(uint, mode);
        QFETCH(uint, attributes);
        QCOMPARE(yk::storeAttributes(mode), attributes);
    }

    void times_data() {
        QTest::addColumn<qlonglong>("sec");
        QTest::addColumn<long>("nsec");
        QTest::addColumn<qulonglong>("filetime");
        QTest::newRow("1970") << 0ll << 0l << 116444736000000000ull;
        QTest::newRow("100 ns steps") << 0ll << 999l << 116444736000000009ull;
        QTest::newRow("2026") << 1796695129ll << 67041100l << 0x01dd86b7aa9f0d4bull;
        QTest::newRow("before 1970") << -1ll << 0l << 116444735990000000ull;
    }
    void times() {
        QFETCH(qlonglong, sec);
        QFETCH(long, nsec);
        QFETCH(qulonglong, filetime);
        QCOMPARE(yk::fileTime(sec, nsec), filetime);
    }

    void order() {
        // Data first (as given), then empty files (as given), then directories: longer names
        // first, equal lengths by descending bytes, repeats dropped.
        std::vector<yk::StoreEntry> in = {
            entry("a", S_IFDIR | 0755),     entry("e1", S_IFREG | 0644),
            entry("f1", S_IFREG | 0644, 3), entry("zz", S_IFDIR | 0755),
            entry("bb", S_IFDIR | 0755),    entry("f2", S_IFLNK | 0777, 2),
            entry("a", S_IFDIR | 0700),     entry("e2", S_IFREG | 0644),
            entry("zz/y", S_IFDIR | 0755)};
        QStringList names;
        for (const yk::StoreEntry &e : yk::headerOrder(in))
            names << QString::fromStdString(e.name) + QString::number(e.mode & 0777, 8);
        QCOMPARE(names.join(' '),
                 QStringLiteral("f1644 f2777 e1644 e2644 zz/y755 zz755 bb755 a755"));
    }

    void headerOfOneEmptyFile() {
        // What libarchive's 7z writer wrote for one empty file "empty", 0644, all three times
        // the same.
        yk::StoreEntry e = entry("empty", S_IFREG | 0644);
        e.mtime = e.ctime = e.atime = yk::StoreTime{true, 1796695129, 67041100};
        QCOMPARE(hex(yk::storeHeader({e})),
                 QByteArray("0105010e01800f0180110d0065006d007000740079000000140a01004b0d9faab7"
                            "86dd01120a01004b0d9faab786dd01130a01004b0d9faab786dd01150601002080"
                            "a4810000"));
    }

    void headerOfTwoFilesWithData() {
        // Two one-byte files, only the second with a modification time (1970).
        std::vector<yk::StoreEntry> in = {entry("a", S_IFREG | 0644, 1),
                                          entry("b", S_IFREG | 0600, 1)};
        in[0].crc = 0x11223344;
        in[1].crc = 0x55667788;
        in[1].mtime = yk::StoreTime{true, 0, 0};
        const QByteArray expected = QByteArray("0104") +     // header, streams
                                    "06000209010100" +       // two packed streams of 1 byte
                                    "070b0200010100010100" + // two copy folders,
                                    "0c010100" +             // 1 byte each
                                    "080a014433221188776655" + "0000" +  // their CRCs
                                    "0502" + "1109006100000062000000" +  // two files, names
                                    "140b00400000803ed5deb19d01" +       // one time of two
                                    "150a01002080a48120808081" + "0000"; // attributes
        QCOMPARE(hex(yk::storeHeader(in)), expected);
    }

    void noEntriesNoHeader() { QVERIFY(yk::storeHeader({}).empty()); }

    void startHeaderLayout() {
        const yk::Bytes s = yk::startHeader(0x0b, 0xd9, 0x2d1591b3);
        QCOMPARE(s.size(), yk::kStartHeaderSize);
        QCOMPARE(hex(s).left(16), QByteArray("377abcaf271c0004"));
        QCOMPARE(hex(s).mid(24), QByteArray("0b00000000000000d900000000000000b391152d"));
        QCOMPARE(static_cast<std::uint32_t>(crc32(0, s.data() + 12, 20)),
                 std::uint32_t(s[8] | s[9] << 8 | s[10] << 16 | std::uint32_t(s[11]) << 24));
    }

    void writtenArchiveReadsBack() {
        QTemporaryFile f;
        QVERIFY(f.open());
        yk::Error error;
        yk::StoreWriter w(f.handle());
        QVERIFY(w.open(error));
        QVERIFY(w.add(entry("dir", S_IFDIR | 0750), error));
        QVERIFY(w.add(entry("text", S_IFREG | 0600, 5), error));
        QVERIFY(w.write("he", 2, error));
        QVERIFY(w.write("llo", 3, error));
        QVERIFY(!w.write("!", 1, error)); // more than announced
        QVERIFY(w.add(entry("short", S_IFREG | 0644, 6), error));
        QVERIFY(w.write("ab", 2, error)); // the rest is made up with zeros
        QVERIFY(w.add(entry("link", S_IFLNK | 0777, 4), error));
        QVERIFY(w.write("text", 4, error));
        QVERIFY(w.add(entry("empty", S_IFREG | 0444), error));
        QVERIFY(w.close(error));

        std::vector<ReadBack> got;
        QVERIFY2(readBack(f.fileName(), got, error), yk::msg::reason(error).c_str());
        QCOMPARE(got.size(), std::size_t(5));
        QCOMPARE(got[0].name, std::string("text"));
        QCOMPARE(got[0].data, std::string("hello"));
        QCOMPARE(got[0].mode, mode_t(S_IFREG | 0600));
        QCOMPARE(got[1].name, std::string("short"));
        QCOMPARE(got[1].data, std::string("ab\0\0\0\0", 6));
        QCOMPARE(got[2].name, std::string("link"));
        QCOMPARE(got[2].link, std::string("text"));
        QCOMPARE(got[3].name, std::string("empty"));
        QCOMPARE(got[3].mode, mode_t(S_IFREG | 0444));
        QCOMPARE(got[4].name, std::string("dir/"));
        QCOMPARE(got[4].mode, mode_t(S_IFDIR | 0750));
    }

    void bigBlocksReadBack() {
        // Blocks this large have their CRC computed alongside the write; libarchive checks it.
        std::string data(3 << 20, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>((i * 2654435761u) >> 13);
        QTemporaryFile f;
        QVERIFY(f.open());
        yk::Error error;
        yk::StoreWriter w(f.handle());
        QVERIFY(w.open(error));
        QVERIFY(w.add(entry("big", S_IFREG | 0644, data.size()), error));
        for (std::size_t at = 0; at < data.size(); at += 1 << 20)
            QVERIFY(w.write(data.data() + at, 1 << 20, error));
        QVERIFY(w.add(entry("small", S_IFREG | 0644, 3), error));
        QVERIFY(w.write("abc", 3, error));
        QVERIFY(w.close(error));
        std::vector<ReadBack> got;
        QVERIFY2(readBack(f.fileName(), got, error), yk::msg::reason(error).c_str());
        QCOMPARE(got.size(), std::size_t(2));
        QVERIFY(got[0].data == data);
        QCOMPARE(got[1].data, std::string("abc"));
    }

    void archiveWithoutEntries() {
        QTemporaryFile f;
        QVERIFY(f.open());
        yk::Error error;
        yk::StoreWriter w(f.handle());
        QVERIFY(w.open(error));
        QVERIFY(w.close(error));
        QCOMPARE(f.size(), qint64(yk::kStartHeaderSize));
        std::vector<ReadBack> got;
        QVERIFY2(readBack(f.fileName(), got, error), yk::msg::reason(error).c_str());
        QVERIFY(got.empty());
    }
};

QTEST_APPLESS_MAIN(TestYkStore)
#include "tst_yk_store.moc"
