// Writes the archives the end-to-end cases need and yk itself would never write, so that each
// case says in plain words what every entry is.
//
//   yk_craft entries OUTPUT ENTRY...     a stored 7z archive with one entry per ENTRY:
//       f644:NAME=DATA   a file with that mode and content
//       d755:NAME        a directory
//       l:NAME->TARGET   a symbolic link
//       c666:NAME, b660:NAME, p644:NAME, s755:NAME   a character or block device, a FIFO, a socket
//   yk_craft recode INPUT OUTPUT FROM TO
//       copies an archive whose header is stored plainly at its end, with the first occurrence
//       of the hex bytes FROM in the header replaced by TO (a coder's id or properties, say),
//       and the start header's size and CRCs made to match again.
//   yk_craft pad INPUT OUTPUT
//       the same copy with one byte more after the packed data of a stored archive (a few small
//       packed streams), counted in the last one's packed size but not in its unpacked one.
//   yk_craft bomb OUTPUT MIB
//       an archive whose LZMA2-packed header unpacks to MIB MiB (a tiny header and zeros).
//   yk_craft folders OUTPUT COUNT
//       a plain header of a few bytes that declares COUNT folders.
//   yk_craft digests OUTPUT good|folder|pack
//       a stored solid archive of a.txt ("hello") and b.txt ("world") whose header gives, besides
//       each file's CRC, the CRC of the whole block and of its packed stream: both right, or
//       the named one wrong.
//   yk_craft ppc OUTPUT
//       a sound archive of one file, a.txt (64 times "a"), packed with Deflate and the PowerPC
//       branch filter (which leaves these bytes as they are).

#include <archive.h>
#include <archive_entry.h>
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr, "usage: yk_craft entries OUTPUT ENTRY... | recode IN OUT FROM TO\n");
    return 2;
}

bool addEntry(struct archive *a, const std::string &item) {
    const std::size_t colon = item.find(':');
    if (item.empty() || colon == std::string::npos)
        return false;
    const char kind = item[0];
    const unsigned mode =
        colon > 1
            ? static_cast<unsigned>(std::strtoul(item.substr(1, colon - 1).c_str(), nullptr, 8))
            : 0777;
    std::string name = item.substr(colon + 1), data, target;
    struct archive_entry *e = archive_entry_new();
    switch (kind) {
    case 'f': {
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            data = name.substr(eq + 1);
            name.resize(eq);
        }
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
        break;
    }
    case 'd':
        archive_entry_set_filetype(e, AE_IFDIR);
        break;
    case 'l': {
        const std::size_t arrow = name.find("->");
        if (arrow == std::string::npos)
            return false;
        target = name.substr(arrow + 2);
        name.resize(arrow);
        archive_entry_set_filetype(e, AE_IFLNK);
        archive_entry_set_symlink(e, target.c_str());
        break;
    }
    case 'c':
        archive_entry_set_filetype(e, AE_IFCHR);
        break;
    case 'b':
        archive_entry_set_filetype(e, AE_IFBLK);
        break;
    case 'p':
        archive_entry_set_filetype(e, AE_IFIFO);
        break;
    case 's':
        archive_entry_set_filetype(e, AE_IFSOCK);
        break;
    default:
        return false;
    }
    archive_entry_set_perm(e, mode);
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_mtime(e, 1000000000, 0);
    bool ok = archive_write_header(a, e) == ARCHIVE_OK;
    if (ok && !data.empty())
        ok =
            archive_write_data(a, data.data(), data.size()) == static_cast<la_ssize_t>(data.size());
    archive_entry_free(e);
    if (!ok)
        std::fprintf(stderr, "yk_craft: %s: %s\n", item.c_str(), archive_error_string(a));
    return ok;
}

int entries(const char *out, int count, char **items) {
    struct archive *a = archive_write_new();
    archive_write_set_format_7zip(a);
    archive_write_set_format_option(a, "7zip", "compression", "copy");
    if (archive_write_open_filename(a, out) != ARCHIVE_OK)
        return 1;
    bool ok = true;
    for (int i = 0; i < count; ++i)
        ok = addEntry(a, items[i]) && ok;
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok ? 0 : 1;
}

std::vector<std::uint8_t> hex(const std::string &s) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::strtoul(s.substr(i, 2).c_str(), nullptr, 16)));
    return out;
}

std::uint64_t le(const std::vector<std::uint8_t> &b, std::size_t at, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= static_cast<std::uint64_t>(b[at + i]) << (8 * i);
    return v;
}

void putLe(std::vector<std::uint8_t> &b, std::size_t at, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

int recode(const char *in, const char *out, const std::string &from, const std::string &to) {
    std::ifstream f(in, std::ios::binary);
    std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>()};
    if (b.size() < 32)
        return 1;
    const std::uint64_t off = le(b, 12, 8), len = le(b, 20, 8);
    if (32 + off + len != b.size())
        return 1;
    std::vector<std::uint8_t> header(b.begin() + 32 + off, b.end());
    const std::vector<std::uint8_t> x = hex(from), y = hex(to);
    auto at = std::search(header.begin(), header.end(), x.begin(), x.end());
    if (at == header.end()) {
        std::fprintf(stderr, "yk_craft: %s not found in the header\n", from.c_str());
        return 1;
    }
    at = header.erase(at, at + static_cast<long>(x.size()));
    header.insert(at, y.begin(), y.end());
    b.resize(32 + off);
    b.insert(b.end(), header.begin(), header.end());
    putLe(b, 20, header.size(), 8);
    putLe(b, 28, crc32(0, header.data(), static_cast<uInt>(header.size())), 4);
    putLe(b, 8, crc32(0, b.data() + 12, 20), 4);
    std::ofstream o(out, std::ios::binary);
    o.write(reinterpret_cast<const char *>(b.data()), static_cast<std::streamsize>(b.size()));
    return o ? 0 : 1;
}

std::vector<std::uint8_t> readAll(const char *path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A 7z number (the variable-length encoding of the format).
void putNumber(std::vector<std::uint8_t> &out, std::uint64_t v) {
    int extra = 0;
    while (extra < 8 && v >= (std::uint64_t(1) << (7 * (extra + 1))))
        ++extra;
    std::uint8_t first = static_cast<std::uint8_t>(0xFF00 >> extra);
    if (extra < 8)
        first |= static_cast<std::uint8_t>(v >> (8 * extra));
    out.push_back(first);
    for (int i = 0; i < extra; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Writes the start header for `header` lying `dataSize` bytes after it, then the data and the
// header.
int writeArchive(const char *out, const std::vector<std::uint8_t> &data,
                 const std::vector<std::uint8_t> &header) {
    std::vector<std::uint8_t> b(32, 0);
    const std::uint8_t sig[8] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    std::copy(sig, sig + 8, b.begin());
    putLe(b, 12, data.size(), 8);
    putLe(b, 20, header.size(), 8);
    putLe(b, 28, crc32(0, header.data(), static_cast<uInt>(header.size())), 4);
    putLe(b, 8, crc32(0, b.data() + 12, 20), 4);
    b.insert(b.end(), data.begin(), data.end());
    b.insert(b.end(), header.begin(), header.end());
    std::ofstream o(out, std::ios::binary);
    o.write(reinterpret_cast<const char *>(b.data()), static_cast<std::streamsize>(b.size()));
    return o ? 0 : 1;
}

int pad(const char *in, const char *out) {
    const std::vector<std::uint8_t> b = readAll(in);
    if (b.size() < 32)
        return 1;
    const std::uint64_t off = le(b, 12, 8), len = le(b, 20, 8);
    if (32 + off + len != b.size())
        return 1;
    std::vector<std::uint8_t> data(b.begin() + 32, b.begin() + 32 + static_cast<long>(off));
    std::vector<std::uint8_t> header(b.begin() + 32 + static_cast<long>(off), b.end());
    // Header, main streams, pack info, position, N streams, their sizes: 01 04 06 PP NN 09 SS...
    // (small numbers, one byte each). The last stream gets the byte.
    const std::size_t n = header.size() > 5 ? header[4] : 0;
    if (header.size() < 6 + n || header[0] != 1 || header[1] != 4 || header[2] != 6 ||
        header[3] >= 0x80 || n == 0 || n >= 0x80 || header[5] != 9 || header[5 + n] >= 0x7F) {
        std::fprintf(stderr, "yk_craft: not a few small packed streams\n");
        return 1;
    }
    ++header[5 + n];
    data.push_back('X');
    return writeArchive(out, data, header);
}

int bomb(const char *out, std::uint64_t mib) {
    // The unpacked header: an empty file list, then zeros.
    std::vector<std::uint8_t> plain(static_cast<std::size_t>(mib << 20), 0);
    const std::uint8_t start[] = {0x01, 0x05, 0x00, 0x00, 0x00};
    std::copy(start, start + sizeof start, plain.begin());
    lzma_options_lzma opt;
    lzma_lzma_preset(&opt, 0);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::vector<std::uint8_t> packed(plain.size() / 100 + (1 << 16));
    std::size_t used = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, plain.data(), plain.size(), packed.data(), &used,
                               packed.size()) != LZMA_OK)
        return 1;
    packed.resize(used);
    // Encoded header: pack info (at 0, one stream), one folder of one LZMA2 coder (1 MiB
    // dictionary), its unpacked size and CRC.
    std::vector<std::uint8_t> h = {0x17, 0x06, 0x00, 0x01, 0x09};
    putNumber(h, packed.size());
    const std::uint8_t folder[] = {0x00, 0x07, 0x0B, 0x01, 0x00, 0x01,
                                   0x21, 0x21, 0x01, 0x10, 0x0C};
    h.insert(h.end(), folder, folder + sizeof folder);
    putNumber(h, plain.size());
    h.push_back(0x0A);
    h.push_back(0x01);
    const std::uint32_t crc = crc32(0, plain.data(), static_cast<uInt>(plain.size()));
    for (int i = 0; i < 4; ++i)
        h.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    h.push_back(0x00);
    h.push_back(0x00);
    return writeArchive(out, packed, h);
}

int folders(const char *out, std::uint64_t count) {
    // Main streams: one packed stream of one byte, then the folder count and little else.
    std::vector<std::uint8_t> h = {0x01, 0x04, 0x06, 0x00, 0x01, 0x09, 0x01, 0x00, 0x07, 0x0B};
    putNumber(h, count);
    const std::uint8_t rest[] = {0x00, 0x01, 0x01, 0x00, 0x0C, 0x01, 0x00, 0x00, 0x00};
    h.insert(h.end(), rest, rest + sizeof rest);
    return writeArchive(out, {'x'}, h);
}

void putCrc(std::vector<std::uint8_t> &h, const std::string &text, std::uint32_t flip = 0) {
    const std::uint32_t crc =
        crc32(0, reinterpret_cast<const Bytef *>(text.data()), static_cast<uInt>(text.size())) ^
        flip;
    for (int i = 0; i < 4; ++i)
        h.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
}

int digests(const char *out, const std::string &wrong) {
    if (wrong != "good" && wrong != "folder" && wrong != "pack")
        return usage();
    const std::string data = "helloworld";
    // Pack info: one stream of 10 bytes, with its CRC.
    std::vector<std::uint8_t> h = hex("0104060001090a0a01");
    putCrc(h, data, wrong == "pack" ? 1 : 0);
    // One Copy folder unpacking to 10 bytes, with its CRC.
    const std::vector<std::uint8_t> folder = hex("00070b01000101000c0a0a01");
    h.insert(h.end(), folder.begin(), folder.end());
    putCrc(h, data, wrong == "folder" ? 1 : 0);
    // Two files in it, 5 bytes and the rest, each with its CRC.
    const std::vector<std::uint8_t> sub = hex("00080d0209050a01");
    h.insert(h.end(), sub.begin(), sub.end());
    putCrc(h, "hello");
    putCrc(h, "world");
    const std::vector<std::uint8_t> files = hex("0000050211190061002e0074007800740000006200"
                                                "2e0074007800740000000000");
    h.insert(h.end(), files.begin(), files.end());
    return writeArchive(out, std::vector<std::uint8_t>(data.begin(), data.end()), h);
}

int ppc(const char *out) {
    const std::string text(64, 'a');
    std::vector<std::uint8_t> packed(256);
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return 1;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    const int rc = deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END || packed.size() >= 0x80)
        return 1;
    // Main streams: one packed stream; one folder, Deflate (04 01 08) fed into PowerPC
    // (03 03 02 05), 64 bytes out of each; the file's CRC. Then one file, a.txt, with a time
    // and attributes.
    std::vector<std::uint8_t> h =
        hex("0104060001090000"
            "070b0100"
            "02030401080403030205"
            "0100"
            "0c404000"
            "080a01"
            "00000000"
            "0000"
            "0501110d0061002e007400780074000000140a0100b84373e71187dd01150601002080a4810000");
    h[6] = static_cast<std::uint8_t>(packed.size());
    const std::uint32_t crc =
        crc32(0, reinterpret_cast<const Bytef *>(text.data()), static_cast<uInt>(text.size()));
    putLe(h, 31, crc, 4);
    return writeArchive(out, packed, h);
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 3 && std::strcmp(argv[1], "entries") == 0)
        return entries(argv[2], argc - 3, argv + 3);
    if (argc == 6 && std::strcmp(argv[1], "recode") == 0)
        return recode(argv[2], argv[3], argv[4], argv[5]);
    if (argc == 4 && std::strcmp(argv[1], "pad") == 0)
        return pad(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "bomb") == 0)
        return bomb(argv[2], std::strtoull(argv[3], nullptr, 10));
    if (argc == 4 && std::strcmp(argv[1], "digests") == 0)
        return digests(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "ppc") == 0)
        return ppc(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "folders") == 0)
        return folders(argv[2], std::strtoull(argv[3], nullptr, 10));
    return usage();
}
