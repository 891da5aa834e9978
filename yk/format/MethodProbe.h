#pragma once
// Reads the archive's header far enough to learn how each entry's data is compressed, which
// libarchive does not tell. Only the full listing needs it; any doubt gives an empty result.

#include "format/ArchiveSource.h"
#include "fs/Error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace yk {

struct ProbeResult {
    bool ok = false; // false when the header could not be understood: nothing else is set
    // The method of each folder ("LZMA:8m", "PPMd:o6:16m", "Copy", ...), and for each entry in
    // archive order the index of its folder, kNoFolder for entries without data (directories,
    // links, empty files): a million entries cost 4 MB this way, not a string each.
    static constexpr std::uint32_t kNoFolder = 0xFFFFFFFFu;
    std::vector<std::string> folderMethods;
    std::vector<std::uint32_t> entryFolder;
    std::uint64_t packedData = 0;   // bytes of packed entry data, headers not counted
    std::uint64_t unpackedData = 0; // bytes of all folders unpacked: the entries' data
    // Each entry's POSIX mode as stored (0 when not stored), in archive order: libarchive
    // shows a link without a target as an empty regular file, this tells them apart.
    std::vector<std::uint32_t> modes;

    // Why the archive may be unreadable, set even when `ok` is false, so that a failure can
    // be explained: the header lies beyond the end of the file, a coder libarchive cannot
    // decode (its name), encryption; and the most memory any coder asks for (its dictionary or
    // model size), to say how much a failed allocation wanted.
    bool cutShort = false;
    bool encrypted = false;
    Error unsupported; // what of it: a method, or a filter after a method
    // Set when the header is proved unsound (a CRC or size that cannot be right, a count the
    // header cannot hold, a packed header larger than headerBound()): why. Such an
    // archive is refused before libarchive reads it.
    Error damaged;
    std::uint64_t memoryNeeded = 0;

    // The CRCs the header gives for whole folders (of what they unpack to, `size` bytes) and
    // for packed streams (of `size` bytes at `offset` in the archive), checked by the test.
    struct FolderCrc {
        std::uint64_t size = 0;
        bool defined = false;
        std::uint32_t crc = 0;
    };
    std::vector<FolderCrc> folderCrcs; // one per folder, in folderMethods' order
    struct PackCrc {
        std::uint64_t offset = 0, size = 0;
        std::size_t index = 0; // of the stream among all packed streams
        std::uint32_t crc = 0;
    };
    std::vector<PackCrc> packCrcs; // only the streams that have one

    std::size_t entries() const { return entryFolder.size(); }
    // The method of entry `i`, "" when it has no data or is not known.
    const std::string &method(std::size_t i) const;
};

ProbeResult probeMethods(const ArchiveSource &source);

// The most a packed header of an archive of `archiveBytes` may unpack to: 1 MiB and 512 bytes for
// each byte of the archive (headers of many empty files unpack to about 100 per byte), 1 GiB
// at most.
std::uint64_t headerBound(std::uint64_t archiveBytes);

// The same over the raw bytes of a whole archive.
ProbeResult probeMethodsInBytes(const std::uint8_t *data, std::size_t size);

// Whether libarchive decodes the coder, and the memory it asks for (dictionary or model size).
bool coderSupported(const std::vector<std::uint8_t> &id);
bool coderEncrypts(const std::vector<std::uint8_t> &id);
std::uint64_t coderMemory(const std::vector<std::uint8_t> &id,
                          const std::vector<std::uint8_t> &props);

// The display name of one coder: its 7z identifier bytes and properties.
std::string coderName(const std::vector<std::uint8_t> &id, const std::vector<std::uint8_t> &props);

} // namespace yk
