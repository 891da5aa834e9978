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

#include <archive.h>
#include <archive_entry.h>
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

} // namespace

int main(int argc, char **argv) {
    if (argc >= 3 && std::strcmp(argv[1], "entries") == 0)
        return entries(argv[2], argc - 3, argv + 3);
    if (argc == 6 && std::strcmp(argv[1], "recode") == 0)
        return recode(argv[2], argv[3], argv[4], argv[5]);
    return usage();
}
