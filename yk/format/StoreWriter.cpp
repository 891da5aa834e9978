#include "format/StoreWriter.h"

namespace yk {

// One block's CRC, computed while the caller writes the same block: the block is only read by
// both.
struct StoreWriter::CrcJob : WorkerPool::Job {
    std::uint32_t crc = 0;
    const void *data = nullptr;
    std::size_t size = 0;
    void run() override { crc = updateCrc(crc, data, size); }
};

StoreWriter::StoreWriter(int fd) : EntryStream(fd) {}

StoreWriter::~StoreWriter() = default;

bool StoreWriter::take(const std::uint8_t *data, std::size_t size, Error &error) {
    if (size >= kParallelCrcFrom && !pool_) {
        pool_ = std::make_unique<WorkerPool>(1); // without a thread the CRC is computed here
        crcJob_ = std::make_shared<CrcJob>();
    }
    if (size < kParallelCrcFrom || pool_->size() == 0) {
        if (!writeAll(data, size, error))
            return false;
        crc_ = updateCrc(crc_, data, size);
        return true;
    }
    crcJob_->crc = crc_;
    crcJob_->data = data;
    crcJob_->size = size;
    pool_->submit(crcJob_);
    const bool ok = writeAll(data, size, error);
    pool_->wait(*crcJob_); // before returning: the block is the caller's again
    crc_ = crcJob_->crc;
    return ok;
}

void StoreWriter::entryDone() {
    entries_.back().crc = crc_;
    crc_ = 0;
}

bool StoreWriter::close(Error &error) {
    if (!finishEntry(error))
        return false;
    return writeHeader(storeHeader(headerOrder(entries_)), error);
}

} // namespace yk
