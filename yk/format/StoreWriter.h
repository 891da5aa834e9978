#pragma once
// Writes a 7z archive of stored (uncompressed) entries straight into an open file: the start
// header as a placeholder, then each entry's data as it comes, then the header, and finally the
// start header filled in. Nothing is buffered beyond the caller's blocks, so the data is written
// once; the CRC of a large block is computed on a second core while the block is written.
// Memory grows only with the number of entries (their names and figures).

#include "format/EntryStream.h"
#include "format/WorkerPool.h"

namespace yk {

class StoreWriter final : public EntryStream {
public:
    // `fd` is an empty file open for writing; it stays the caller's.
    explicit StoreWriter(int fd);
    ~StoreWriter() override;
    bool close(Error &error) override;

private:
    bool take(const std::uint8_t *data, std::size_t size, Error &error) override;
    void entryDone() override;

    // Blocks from this size on have their CRC computed on another core while they are written.
    static constexpr std::size_t kParallelCrcFrom = 256 << 10;
    struct CrcJob;

    std::uint32_t crc_ = 0;            // of the current entry's data so far
    std::unique_ptr<WorkerPool> pool_; // one thread, started by the first large block
    std::shared_ptr<CrcJob> crcJob_;
};

} // namespace yk
