#pragma once
// Writes a 7z archive of stored (uncompressed) entries straight into an open file: the start
// header as a placeholder, then each entry's data as it comes, then the header, and finally the
// start header filled in. Nothing is buffered beyond the caller's blocks, so the data is written
// once; the CRC of a large block is computed on a second core while the block is written.
// Memory grows only with the number of entries (their names and figures).

#include "format/StoreFormat.h"
#include "fs/FileWrite.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace yk {

class StoreWriter {
public:
    // `fd` is an empty file open for writing; it stays the caller's.
    explicit StoreWriter(int fd);
    ~StoreWriter();
    StoreWriter(const StoreWriter &) = delete;
    StoreWriter &operator=(const StoreWriter &) = delete;

    // Writes the placeholder start header.
    bool open(Error &error);

    // Begins an entry. Its data (when `entry.size` is not 0) follows through write(); the entry
    // ends with the next add() or close(). Fewer bytes than announced are made up with zeros,
    // more are refused, so the archive always agrees with its header.
    bool add(const StoreEntry &entry, Error &error);
    bool write(const void *data, std::size_t size, Error &error);

    // Writes the header and fills in the start header. The file is not flushed.
    bool close(Error &error);

private:
    bool finishEntry(Error &error);
    bool writeAll(const void *data, std::size_t size, Error &error);

    // Blocks from this size on have their CRC computed on another core while they are written.
    static constexpr std::size_t kParallelCrcFrom = 256 << 10;
    class CrcWorker;

    int fd_;
    std::uint64_t offset_ = 0; // bytes written after the start header
    std::vector<StoreEntry> entries_;
    bool inEntry_ = false;
    std::uint64_t remaining_ = 0;
    std::uint32_t crc_ = 0;
    Writeback writeback_;
    std::unique_ptr<CrcWorker> crcWorker_;
    bool crcWorkerFailed_ = false;
};

} // namespace yk
