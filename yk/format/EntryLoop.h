#pragma once
// The two loops every command runs over an archive: over its entries, and over one entry's data.
// Written once so that reading, damage and failures are handled alike in add, extract, list and
// test.

#include "format/ArchiveReader.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace yk {

// Reads each entry's header and calls `visit` with it; `visit` returns false to stop early.
// Returns false with `error` set when the archive could not be read to its
// end; the entries visited until then stand.
bool forEachEntry(ArchiveInput &in, const std::function<bool(struct archive_entry *)> &visit,
                  Error &error);

// How reading one entry's data ended.
enum class DataEnd {
    Complete, // all data read and its CRC checked
    Damaged,  // the archive's data is damaged or cannot be decoded: `error` says why
    Refused   // `use` failed: `error` is its error
};

// Hands the data of the current entry `e` to `use` in order, piece by piece, holes filled with
// zeros, so `use` always sees one contiguous stream. `use` gets the piece and the total handed so
// far (the piece included); it returns false with `error` set to stop.
using DataUse =
    std::function<bool(const void *data, std::size_t size, std::uint64_t done, Error &error)>;
DataEnd forEachBlock(ArchiveInput &in, struct archive_entry *e, const DataUse &use, Error &error);

} // namespace yk
