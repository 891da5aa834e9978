#pragma once
// The bytes of a 7z archive whose entries are stored as they are (the copy coder): the fixed
// start header, the numbers of the header and the header itself. Laid out the way libarchive's
// own writer lays out a stored archive, so that its reader (and every other 7z reader) restores
// names, modes, links and times alike: one folder per entry with data, entries with data first,
// then empty files, then directories in libarchive's order.

#include "codec/Crc.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace yk {

using Bytes = std::vector<std::uint8_t>;

struct StoreTime {
    bool set = false;
    std::int64_t sec = 0;
    long nsec = 0;
};

struct StoreEntry {
    std::string name;       // UTF-8
    std::uint32_t mode = 0; // st_mode: type and permission bits
    std::uint64_t size = 0; // bytes of data in the archive; 0 for directories and empty files
    std::uint32_t crc = 0;  // CRC-32 of those bytes
    StoreTime mtime, ctime, atime;
    bool isDirectory() const;
};

// The size of the start header that precedes the packed data.
constexpr std::size_t kStartHeaderSize = 32;

// The start header: signature, version, and where the header lies after the packed data.
Bytes startHeader(std::uint64_t headerOffset, std::uint64_t headerSize, std::uint32_t headerCrc);

// A 7z number: the first byte's leading one bits say how many more bytes follow.
void appendNumber(Bytes &out, std::uint64_t value);

// UTF-8 text as UTF-16LE without terminator; malformed bytes become U+FFFD.
Bytes utf16le(const std::string &utf8);

// The Windows attributes with the POSIX mode in the high 16 bits (flag 0x8000 says so).
std::uint32_t storeAttributes(std::uint32_t mode);

// Seconds and nanoseconds since 1970 as a FILETIME (100 ns steps since 1601).
std::uint64_t fileTime(std::int64_t sec, long nsec);

// The entries in the order they are listed in the header (see above); duplicate directories
// are dropped. The data of the entries with data must lie in the archive in this order too,
// which is the order they were given in.
std::vector<StoreEntry> headerOrder(const std::vector<StoreEntry> &entries);

// The whole header for `entries` (already in header order), whose data starts right after the
// start header. Empty when there are no entries: such an archive has no header at all.
Bytes storeHeader(const std::vector<StoreEntry> &entries);

// One folder that holds the data of every entry with data, one after another, through one coder
// (the solid layout of the compressing methods); its packed stream starts right after the start
// header.
struct SolidFolder {
    Bytes coderId;    // the coder's 7z identifier: {0x21} for LZMA2
    Bytes properties; // its properties
    std::uint64_t packedSize = 0;
};

// The whole header for `entries` (already in header order) whose data lies in `folder`. Empty
// when there are no entries.
Bytes solidHeader(const std::vector<StoreEntry> &entries, const SolidFolder &folder);

// The small header that points to the real one, packed through `coder` (its packedSize bytes
// lying `packPos` bytes after the start header); `size` and `crc` are those of the real header
// unpacked. Readers unpack it and read it as if it stood there.
Bytes encodedHeader(std::uint64_t packPos, const SolidFolder &coder, std::uint64_t size,
                    std::uint32_t crc);

} // namespace yk
