#pragma once
// The columns of a listing, as text. Pure functions: no archive, no terminal.

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace yk {

struct ListRow {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    std::time_t mtime = 0;
    bool hasTime = false;
    mode_t mode = 0; // type and permission bits
    std::string method;
    std::uint32_t crc = 0;
    bool hasCrc = false;
};

// Packed size as a percentage of the original, rounded: "42%"; "-" for an empty original.
std::string ratioText(std::uint64_t packed, std::uint64_t size);

// "dd.mm.yyyy  hh:mm" in local time, or blanks of the same width when unknown.
std::string dateTimeText(std::time_t t, bool known);

// "-rw-r--r--" style, with the type letter first (d directory, l link, - file).
std::string modeText(mode_t mode);

// Eight upper-case hex digits.
std::string crcText(std::uint32_t crc);

// A packed size share: `total` split by `size` out of `sizeSum`, rounded.
std::uint64_t shareOf(std::uint64_t total, std::uint64_t size, std::uint64_t sizeSum);

std::string listHeader(bool full);
std::string listRule(bool full);
std::string listRow(const ListRow &row, bool full);
// The same appended to `out`: a long listing reuses one buffer for all its rows.
void appendListRow(std::string &out, const ListRow &row, bool full);
// The totals line: sums, the number of entries and the archive's size on disk.
std::string listTotals(std::uint64_t size, std::uint64_t packed, int entries,
                       std::uint64_t archiveSize);

} // namespace yk
