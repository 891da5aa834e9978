// Method 1's writer: LZMA2 blocks made apart and joined into one stream (checked against the
// same blocks encoded one after another on one thread, and by liblzma's own decoder), blocks that
// do not compress stored as uncompressed chunks, and the archives it writes read back through
// libarchive and, where installed, 7zz and bsdtar.

#include "ReadBack.h"
#include "codec/Lzma2Chunks.h"
#include "commands/Messages.h"
#include "format/ArchiveReader.h"
#include "format/SolidWriter.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <lzma.h>
#include <unistd.h>

#include <random>
#include <thread>

namespace {

using yk::Bytes;

constexpr std::uint32_t kDict = 8u << 20;

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 g(seed);
    Bytes b(n);
    for (auto &c : b)
        c = static_cast<std::uint8_t>(g());
    return b;
}

// Words of a small vocabulary in a random order: compresses like text.
Bytes textBytes(std::size_t n, unsigned seed) {
    static const char *words[] = {"archive ", "block ",   "stream ", "the ", "dictionary ",
                                  "chunk ",   "encoder ", "of ",     "\n",   "data, ",
                                  "reset ",   "folder ",  "entry ",  "CRC ", "thread "};
    std::mt19937 g(seed);
    Bytes b;
    b.reserve(n + 16);
    while (b.size() < n) {
        const char *w = words[g() % (sizeof words / sizeof *words)];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

// A pattern of parts: t = text, r = random bytes, z = zeros, each `part` bytes long.
Bytes pattern(const QByteArray &kinds, std::size_t part, std::size_t total) {
    Bytes out;
    unsigned seed = 1;
    for (char k : kinds) {
        const Bytes p = k == 'r'   ? randomBytes(part, seed)
                        : k == 't' ? textBytes(part, seed)
                                   : Bytes(part, 0);
        out.insert(out.end(), p.begin(), p.end());
        ++seed;
    }
    out.resize(total, 'x');
    return out;
}

bool rawDecode(const Bytes &stream, Bytes &out) {
    lzma_options_lzma options{};
    options.dict_size = kDict;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&s, filters) != LZMA_OK)
        return false;
    out.assign(64u << 20, 0);
    s.next_in = stream.data();
    s.avail_in = stream.size();
    s.next_out = out.data();
    s.avail_out = out.size();
    const lzma_ret rc = lzma_code(&s, LZMA_FINISH);
    out.resize(static_cast<std::size_t>(s.total_out));
    const bool whole = s.avail_in == 0;
    lzma_end(&s);
    return rc == LZMA_STREAM_END && whole;
}

// The blocks of `data` encoded one after another on this thread, as the writer must join them.
Bytes sequentialBlocks(const Bytes &data, std::size_t block, std::size_t prime) {
    Bytes out;
    yk::Error error;
    for (std::size_t at = 0; at < data.size(); at += block) {
        const std::size_t n = std::min(block, data.size() - at);
        yk::Lzma2Block b;
        if (!yk::encodeLzma2Pieces(data.data() + at, std::min(prime, at), n, at == 0,
                                   at + n == data.size(), prime, {}, b, error))
            return {};
        yk::appendLzma2Block(data.data() + at, b, at == 0, out);
    }
    return out;
}

using ReadBack = ReadBackOf<Bytes>;

Bytes fileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

struct Item {
    std::string name;
    Bytes data;
    std::uint32_t mode = 0100644;
};

// Writes `items` with the given settings; false with `error` on failure.
bool writeArchive(const QString &path, const std::vector<Item> &items,
                  const yk::SolidSettings &settings, yk::Error &error,
                  std::uint64_t *stored = nullptr) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok;
    {
        yk::SolidWriter w(fd, settings);
        ok = w.open(error);
        for (const Item &i : items) {
            yk::StoreEntry e;
            e.name = i.name;
            e.mode = i.mode;
            e.size = i.data.size();
            ok = ok && w.add(e, error);
            // In uneven pieces, as files arrive.
            for (std::size_t at = 0; ok && at < i.data.size();) {
                const std::size_t n = std::min<std::size_t>(i.data.size() - at, 100003);
                ok = w.write(i.data.data() + at, n, error);
                at += n;
            }
        }
        ok = ok && w.close(error);
        if (stored)
            *stored = w.storedBlocks();
    }
    ::close(fd);
    return ok;
}

bool have(const char *program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

} // namespace

class TestLzma2 : public QObject {
    Q_OBJECT

private slots:
    void dictProperty_data() {
        QTest::addColumn<quint32>("dict");
        QTest::addColumn<int>("property");
        QTest::newRow("4 KiB, the least") << quint32(4096) << 0;
        QTest::newRow("below the least") << quint32(1) << 0;
        QTest::newRow("8 MiB") << quint32(8u << 20) << 22;
        QTest::newRow("one byte over 8 MiB") << quint32((8u << 20) + 1) << 23;
        QTest::newRow("12 MiB") << quint32(12u << 20) << 23;
        QTest::newRow("16 MiB") << quint32(16u << 20) << 24;
        QTest::newRow("3 GiB") << quint32(3u << 30) << 39;
        QTest::newRow("4 GiB - 1") << quint32(0xFFFFFFFFu) << 40;
    }
    void dictProperty() {
        QFETCH(quint32, dict);
        QFETCH(int, property);
        QCOMPARE(int(yk::lzma2DictProperty(dict)), property);
    }

    void storedChunks_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("one byte") << 1;
        QTest::newRow("one chunk less a byte") << 65535;
        QTest::newRow("exactly one chunk") << 65536;
        QTest::newRow("one byte over a chunk") << 65537;
        QTest::newRow("several chunks") << 300000;
    }
    void storedChunks() {
        QFETCH(int, size);
        const Bytes data = randomBytes(static_cast<std::size_t>(size), 7);
        Bytes stream;
        yk::appendStoredChunks(data.data(), data.size(), true, stream);
        const std::size_t chunks = (data.size() + 65535) / 65536;
        QCOMPARE(stream.size(), data.size() + 3 * chunks);
        QCOMPARE(int(stream[0]), 0x01); // the stream's first chunk resets the dictionary
        if (chunks > 1)
            QCOMPARE(int(stream[3 + 65536]), 0x02);
        stream.push_back(yk::kLzma2End);
        Bytes decoded;
        QVERIFY(rawDecode(stream, decoded));
        QVERIFY(decoded == data);
    }

    void sample_data() {
        QTest::addColumn<QByteArray>("kinds");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("incompressible");
        QTest::newRow("text") << QByteArray("t") << (1 << 20) << false;
        QTest::newRow("zeros") << QByteArray("z") << (1 << 20) << false;
        QTest::newRow("random") << QByteArray("r") << (1 << 20) << true;
        QTest::newRow("random, too small to sample") << QByteArray("r") << 100000 << false;
        QTest::newRow("half text, half random") << QByteArray("tr") << (1 << 20) << false;
    }
    void sample() {
        QFETCH(QByteArray, kinds);
        QFETCH(int, size);
        QFETCH(bool, incompressible);
        const std::size_t n = static_cast<std::size_t>(size);
        const Bytes data = pattern(kinds, n / static_cast<std::size_t>(kinds.size()), n);
        QCOMPARE(yk::looksIncompressible(data.data(), data.size()), incompressible);
    }

    // Runs of text get the encoder's text parameters; code, zeros and random bytes do not.
    void text_data() {
        QTest::addColumn<QByteArray>("kinds");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("text");
        QTest::newRow("text") << QByteArray("t") << (1 << 20) << true;
        QTest::newRow("text, smaller than the samples") << QByteArray("t") << 1000 << true;
        QTest::newRow("zeros") << QByteArray("z") << (1 << 20) << false;
        QTest::newRow("random") << QByteArray("r") << (1 << 20) << false;
        QTest::newRow("text with zeros between") << QByteArray("tztzt") << (1 << 20) << false;
        QTest::newRow("nothing") << QByteArray("t") << 0 << false;
    }
    void text() {
        QFETCH(QByteArray, kinds);
        QFETCH(int, size);
        QFETCH(bool, text);
        const std::size_t n = static_cast<std::size_t>(size);
        const Bytes data = pattern(kinds, n / static_cast<std::size_t>(kinds.size()), n);
        QCOMPARE(yk::looksLikeText(data.data(), data.size()), text);
    }

    // Blocks made on several threads and joined are the blocks made one after another on one
    // thread, byte for byte, and decode to the input; libarchive reads the archive back.
    void joinedBlocks_data() {
        QTest::addColumn<QByteArray>("kinds"); // one part per block
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("prime");
        QTest::addColumn<int>("storedBlocks");
        const int b = 256 << 10;
        QTest::newRow("one byte") << QByteArray("t") << 1 << b << 0 << 0;
        QTest::newRow("less than a block") << QByteArray("t") << 1000 << b << 0 << 0;
        QTest::newRow("exactly one block") << QByteArray("t") << b << b << (64 << 10) << 0;
        QTest::newRow("one byte over a block") << QByteArray("tt") << b + 1 << b << (64 << 10) << 0;
        QTest::newRow("five text blocks") << QByteArray("ttttt") << 5 * b << b << (64 << 10) << 0;
        QTest::newRow("no prime") << QByteArray("ttt") << 3 * b << b << 0 << 0;
        QTest::newRow("prime as large as a block") << QByteArray("ttt") << 3 * b << b << b << 0;
        QTest::newRow("random blocks") << QByteArray("rrr") << 3 * b << b << (64 << 10) << 3;
        QTest::newRow("mixed blocks") << QByteArray("trtrzt") << 6 * b << b << (64 << 10) << 2;
        QTest::newRow("random first, text after")
            << QByteArray("rt") << 2 * b << b << (64 << 10) << 1;
        QTest::newRow("random last, too short to sample")
            << QByteArray("tr") << b + (b - 5) << b << (64 << 10) << 0;
        QTest::newRow("one byte over a random block")
            << QByteArray("rt") << b + 1 << b << (64 << 10) << 1;
    }
    void joinedBlocks() {
        QFETCH(QByteArray, kinds);
        QFETCH(int, total);
        QFETCH(int, block);
        QFETCH(int, prime);
        QFETCH(int, storedBlocks);
        const Bytes data =
            pattern(kinds, static_cast<std::size_t>(block), static_cast<std::size_t>(total));

        const Bytes joined = sequentialBlocks(data, static_cast<std::size_t>(block),
                                              static_cast<std::size_t>(prime));
        Bytes decoded;
        QVERIFY(rawDecode(joined, decoded));
        QVERIFY(decoded == data);

        QTemporaryDir dir;
        const QString path = dir.filePath("a.yk");
        yk::SolidSettings s;
        s.blockSize = static_cast<std::size_t>(block);
        s.primeSize = static_cast<std::size_t>(prime);
        s.threads = 3;
        yk::Error error;
        std::uint64_t stored = 0;
        QVERIFY2(writeArchive(path, {{"data.bin", data}}, s, error, &stored),
                 yk::msg::reason(error).c_str());
        QCOMPARE(int(stored), storedBlocks);
        const Bytes archive = fileBytes(path);
        QVERIFY(archive.size() >= yk::kStartHeaderSize + joined.size());
        QVERIFY(std::equal(joined.begin(), joined.end(), archive.begin() + yk::kStartHeaderSize));

        std::vector<ReadBack> back;
        QVERIFY2(readBack(path, back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), std::size_t(1));
        QVERIFY(back[0].data == data);
    }

    // Segments inside a block that do not compress are stored, the rest compressed, each run
    // primed with what lies before it.
    void runsInsideABlock_data() {
        QTest::addColumn<QByteArray>("kinds"); // one part per 1 MiB segment
        QTest::addColumn<int>("prime");
        QTest::addColumn<int>("storedSegments");
        QTest::addColumn<int>("pieces");
        QTest::newRow("text, random, random, text") << QByteArray("trrt") << (256 << 10) << 2 << 3;
        QTest::newRow("random, text") << QByteArray("rtt") << 0 << 1 << 2;
        QTest::newRow("text, random at the end") << QByteArray("ttr") << (1 << 20) << 1 << 2;
        QTest::newRow("alternating") << QByteArray("trtrt") << (64 << 10) << 2 << 5;
        QTest::newRow("zeros and text") << QByteArray("tzzt") << (64 << 10) << 0 << 1;
    }
    void runsInsideABlock() {
        QFETCH(QByteArray, kinds);
        QFETCH(int, prime);
        QFETCH(int, storedSegments);
        QFETCH(int, pieces);
        const std::size_t seg = yk::kLzma2Segment;
        const Bytes data = pattern(kinds, seg, seg * static_cast<std::size_t>(kinds.size()));
        yk::Lzma2Block b;
        yk::Error error;
        QVERIFY(yk::encodeLzma2Pieces(data.data(), 0, data.size(), true, true,
                                      static_cast<std::size_t>(prime), {}, b, error));
        QCOMPARE(b.storedBytes, seg * static_cast<std::size_t>(storedSegments));
        QCOMPARE(int(b.pieces.size()), pieces);
        Bytes stream, decoded;
        yk::appendLzma2Block(data.data(), b, true, stream);
        QVERIFY(rawDecode(stream, decoded));
        QVERIFY(decoded == data);

        // Through the writer on several threads, in blocks of two segments.
        QTemporaryDir dir;
        yk::SolidSettings s;
        s.blockSize = 2 * seg;
        s.primeSize = static_cast<std::size_t>(prime);
        s.threads = 3;
        QVERIFY2(writeArchive(dir.filePath("r.yk"), {{"r", data}}, s, error),
                 yk::msg::reason(error).c_str());
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("r.yk"), back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), std::size_t(1));
        QVERIFY(back[0].data == data);
    }

    // The same input through 1, 2 and 8 threads gives the same archive, byte for byte: the
    // threads change only the speed (with the writer's own sizes too, over several blocks of
    // entries of every kind).
    void threadsDoNotChangeTheArchive_data() {
        QTest::addColumn<QByteArray>("kinds"); // parts of the input, cut into entries
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("prime");
        QTest::addColumn<int>("total");
        QTest::newRow("small blocks")
            << QByteArray("trtttztrttzt") << (128 << 10) << (32 << 10) << 1200000;
        // Mostly zeros and random bytes, which take the encoder little time, over several blocks.
        QTest::newRow("the writer's own sizes")
            << QByteArray("tzrzzztzzrzz") << 0 << int(yk::SolidSettings().primeSize)
            << int(yk::SolidWriter::kBlock * 5 / 2 + 12345);
    }
    void threadsDoNotChangeTheArchive() {
        QFETCH(QByteArray, kinds);
        QFETCH(int, block);
        QFETCH(int, prime);
        QFETCH(int, total);
        const std::size_t part = static_cast<std::size_t>(total) / 12;
        std::vector<Item> items;
        const Bytes data = pattern(kinds, part, static_cast<std::size_t>(total));
        for (std::size_t at = 0, i = 0; at < data.size(); at += part / 3, ++i)
            items.push_back({"f" + std::to_string(i),
                             Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
                                   data.begin() + static_cast<std::ptrdiff_t>(
                                                      std::min(data.size(), at + part / 3)))});
        QTemporaryDir dir;
        yk::SolidSettings s;
        s.blockSize = static_cast<std::size_t>(block);
        s.primeSize = static_cast<std::size_t>(prime);
        yk::Error error;
        Bytes first;
        for (unsigned threads : {1u, 2u, 8u}) {
            s.threads = threads;
            const QString path = dir.filePath(QString("t%1.yk").arg(threads));
            QVERIFY2(writeArchive(path, items, s, error), yk::msg::reason(error).c_str());
            const Bytes archive = fileBytes(path);
            if (first.empty())
                first = archive;
            QVERIFY2(archive == first, qPrintable(QString("%1 threads differ").arg(threads)));
        }
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("t8.yk"), back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), items.size());
    }

    // Blocks larger than a megabyte whose first megabyte does not compress go at once as a
    // stored block of their own; where the cuts fall depends on the data only.
    void storedFirstMegabytes_data() {
        QTest::addColumn<QByteArray>("kinds"); // one part per megabyte
        QTest::newRow("random, then text") << QByteArray("rrrtt");
        QTest::newRow("text, then random") << QByteArray("ttrrr");
        QTest::newRow("random only, the last short") << QByteArray("rrr");
        QTest::newRow("alternating") << QByteArray("rtrtrt");
    }
    void storedFirstMegabytes() {
        QFETCH(QByteArray, kinds);
        const std::size_t seg = yk::kLzma2Segment;
        const Bytes data = pattern(kinds, seg, seg * static_cast<std::size_t>(kinds.size()) - 7);
        QTemporaryDir dir;
        yk::SolidSettings s;
        s.blockSize = 3 * seg;
        s.primeSize = 256 << 10;
        yk::Error error;
        s.threads = 1;
        QVERIFY2(writeArchive(dir.filePath("one.yk"), {{"d", data}}, s, error),
                 yk::msg::reason(error).c_str());
        s.threads = 3;
        std::uint64_t stored = 0;
        QVERIFY2(writeArchive(dir.filePath("three.yk"), {{"d", data}}, s, error, &stored),
                 yk::msg::reason(error).c_str());
        QVERIFY(fileBytes(dir.filePath("one.yk")) == fileBytes(dir.filePath("three.yk")));
        QVERIFY(stored >= 1);
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("three.yk"), back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), std::size_t(1));
        QVERIFY(back[0].data == data);
        if (have("7zz")) {
            QProcess p;
            p.start("7zz", {"t", dir.filePath("three.yk")});
            QVERIFY(p.waitForFinished(60000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput().constData());
        }
    }

    // Entries of every kind and size in one folder; read back by every reader at hand.
    void manyEntries() {
        std::vector<Item> items;
        std::mt19937 g(3);
        for (int i = 0; i < 2000; ++i) {
            const std::size_t n = g() % 5 == 0 ? 0 : g() % 3000;
            items.push_back({"f/" + std::to_string(i) + ".txt", textBytes(n, unsigned(i))});
        }
        items.push_back({"big random", randomBytes(700000, 9)});
        items.push_back({"dir", {}, 040755});
        items.push_back({"Кириллица и пробелы.txt", textBytes(5000, 5)});
        QTemporaryDir dir;
        const QString path = dir.filePath("many.yk");
        yk::SolidSettings s;
        s.blockSize = 256 << 10;
        s.primeSize = 64 << 10;
        yk::Error error;
        QVERIFY2(writeArchive(path, items, s, error), yk::msg::reason(error).c_str());

        // The header of many names is written packed: the start header points to the small
        // header that says where the packed one lies.
        const Bytes archive = fileBytes(path);
        std::uint64_t headerAt = 0;
        for (int i = 7; i >= 0; --i)
            headerAt = headerAt << 8 | archive[12 + static_cast<std::size_t>(i)];
        QCOMPARE(int(archive[yk::kStartHeaderSize + headerAt]), 0x17);

        std::vector<ReadBack> back;
        QVERIFY2(readBack(path, back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), items.size());
        std::map<std::string, Bytes> byName;
        for (const ReadBack &b : back) {
            std::string name = b.name;
            if (!name.empty() && name.back() == '/')
                name.pop_back(); // directories come back with a slash
            byName[name] = b.data;
        }
        for (const Item &i : items) {
            QVERIFY2(byName.count(i.name), i.name.c_str());
            QVERIFY2(byName[i.name] == i.data, i.name.c_str());
        }

        if (!have("7zz") && !have("bsdtar"))
            QSKIP("neither 7zz nor bsdtar installed: only libarchive read the archive");
        if (have("7zz")) {
            QProcess p;
            p.start("7zz", {"t", path});
            QVERIFY(p.waitForFinished(60000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput().constData());
        }
        if (have("bsdtar")) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start("bsdtar", {"-xf", path, "big random", "f/1999.txt"});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            QVERIFY(fileBytes(dir.filePath("big random")) == items[2000].data);
            QVERIFY(fileBytes(dir.filePath("f/1999.txt")) == items[1999].data);
        }
    }

    void noEntriesNoHeader() {
        QTemporaryDir dir;
        yk::Error error;
        QVERIFY(writeArchive(dir.filePath("e.yk"), {}, {}, error));
        QCOMPARE(fileBytes(dir.filePath("e.yk")).size(), yk::kStartHeaderSize);
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("e.yk"), back, error), yk::msg::reason(error).c_str());
        QVERIFY(back.empty());
    }

    void onlyEmptyEntries() {
        QTemporaryDir dir;
        yk::Error error;
        QVERIFY(writeArchive(dir.filePath("e.yk"), {{"empty", {}}, {"d", {}, 040755}}, {}, error));
        // A header this small is left plain.
        const Bytes archive = fileBytes(dir.filePath("e.yk"));
        QCOMPARE(int(archive[yk::kStartHeaderSize]), 0x01);
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("e.yk"), back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), std::size_t(2));
        QVERIFY(back[0].data.empty());
    }

    void shortEntryPaddedLongRefused() {
        QTemporaryDir dir;
        const int fd = ::open(dir.filePath("s.yk").toLocal8Bit().constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        yk::Error error;
        {
            yk::SolidWriter w(fd, {});
            QVERIFY(w.open(error));
            yk::StoreEntry e;
            e.name = "short";
            e.mode = 0100644;
            e.size = 10;
            QVERIFY(w.add(e, error));
            QVERIFY(w.write("abc", 3, error));
            QVERIFY(!w.write("12345678", 8, error));
            QVERIFY(!error.empty());
            e.name = "next";
            e.size = 2;
            QVERIFY(w.add(e, error));
            QVERIFY(w.write("ok", 2, error));
            QVERIFY(w.close(error));
        }
        ::close(fd);
        std::vector<ReadBack> back;
        QVERIFY2(readBack(dir.filePath("s.yk"), back, error), yk::msg::reason(error).c_str());
        QCOMPARE(back.size(), std::size_t(2));
        QVERIFY(back[0].data == Bytes({'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0}));
        QVERIFY(back[1].data == Bytes({'o', 'k'}));
    }

    void threadsPerCore() {
        const unsigned n = yk::SolidWriter::defaultThreads({});
        QVERIFY(n >= 1);
        QVERIFY(n <= std::max(1u, std::thread::hardware_concurrency()));
        yk::SolidWriter w(-1, {});
        QCOMPARE(w.threads(), n);
    }

    // The block size is the writer's own or the one asked for, whatever the number of threads:
    // where the blocks are cut decides the archive's bytes.
    void blockSizeChosen_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("block");
        const int own = static_cast<int>(yk::SolidWriter::kBlock);
        QTest::newRow("own, 1 thread") << 0 << 1 << own;
        QTest::newRow("own, 2 threads") << 0 << 2 << own;
        QTest::newRow("own, 8 threads") << 0 << 8 << own;
        QTest::newRow("own, threads per core") << 0 << 0 << own;
        QTest::newRow("asked, 4 threads") << (3 << 20) << 4 << (3 << 20);
        QTest::newRow("asked, rounded to 16") << 1000 << 2 << 1008;
    }
    void blockSizeChosen() {
        QFETCH(int, asked);
        QFETCH(int, threads);
        QFETCH(int, block);
        yk::SolidSettings s;
        s.blockSize = static_cast<std::size_t>(asked);
        s.threads = static_cast<unsigned>(threads);
        yk::SolidWriter w(-1, s);
        QCOMPARE(w.blockSize(), std::size_t(block));
    }
};

QTEST_GUILESS_MAIN(TestLzma2)
#include "tst_yk_lzma2.moc"
