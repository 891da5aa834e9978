#pragma once
// Reads the archive's header far enough to learn how each entry's data is compressed, which
// libarchive does not tell. Only the full listing needs it; any doubt gives an empty result.

#include "ArchiveReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace yk {

struct ProbeResult {
    bool ok = false; // false when the header could not be understood: nothing else is set
    // One text per entry, in archive order: "LZMA:8m", "PPMd:o6:16m", "Copy", ... or "" for
    // entries without data (directories, links, empty files).
    std::vector<std::string> methods;
    std::uint64_t packedData = 0; // bytes of packed entry data, headers not counted
};

ProbeResult probeMethods(const ArchiveSource &source);

// The same over the raw bytes of a whole archive.
ProbeResult probeMethodsInBytes(const std::uint8_t *data, std::size_t size);

// The display name of one coder: its 7z identifier bytes and properties.
std::string coderName(const std::vector<std::uint8_t> &id, const std::vector<std::uint8_t> &props);

} // namespace yk
