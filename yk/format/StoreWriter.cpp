#include "format/StoreWriter.h"

#include "format/ArchiveStart.h"
#include "fs/FileWrite.h"
#include "fs/Messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace yk {

// Computes one block's CRC on another core while the caller writes the same block: the block is
// only read by both. One block at a time.
class StoreWriter::CrcWorker {
public:
    CrcWorker() : thread_([this] { run(); }) {}
    ~CrcWorker() {
        {
            std::lock_guard<std::mutex> l(m_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

    void start(std::uint32_t crc, const void *data, std::size_t size) {
        {
            std::lock_guard<std::mutex> l(m_);
            crc_ = crc;
            data_ = data;
            size_ = size;
            pending_ = true;
        }
        cv_.notify_all();
    }

    std::uint32_t wait() {
        std::unique_lock<std::mutex> l(m_);
        cv_.wait(l, [this] { return !pending_; });
        return crc_;
    }

private:
    void run() {
        std::unique_lock<std::mutex> l(m_);
        for (;;) {
            cv_.wait(l, [this] { return pending_ || stop_; });
            if (stop_)
                return;
            const std::uint32_t crc = crc_;
            const void *data = data_;
            const std::size_t size = size_;
            l.unlock();
            const std::uint32_t result = updateCrc(crc, data, size);
            l.lock();
            crc_ = result;
            pending_ = false;
            cv_.notify_all();
        }
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::uint32_t crc_ = 0;
    const void *data_ = nullptr;
    std::size_t size_ = 0;
    bool pending_ = false;
    bool stop_ = false;
    std::thread thread_; // last: starts once the rest is ready
};

StoreWriter::StoreWriter(int fd) : fd_(fd) {}

StoreWriter::~StoreWriter() = default;

bool StoreWriter::open(std::string &error) {
    return reserveStartHeader(fd_, error);
}

bool StoreWriter::add(const StoreEntry &entry, std::string &error) {
    if (!finishEntry(error))
        return false;
    entries_.push_back(entry);
    entries_.back().crc = 0;
    inEntry_ = true;
    remaining_ = entry.size;
    crc_ = 0;
    return true;
}

bool StoreWriter::write(const void *data, std::size_t size, std::string &error) {
    if (!inEntry_ || size > remaining_) {
        error = msg::moreDataThanDeclared();
        return false;
    }
    if (size >= kParallelCrcFrom && !crcWorker_ && !crcWorkerFailed_) {
        try {
            crcWorker_ = std::make_unique<CrcWorker>();
        } catch (const std::system_error &) {
            crcWorkerFailed_ = true; // no thread to be had: the CRC is computed here
        }
    }
    if (size >= kParallelCrcFrom && crcWorker_) {
        crcWorker_->start(crc_, data, size);
        const bool ok = writeAll(data, size, error);
        crc_ = crcWorker_->wait(); // before returning: the block is the caller's again
        if (!ok)
            return false;
    } else {
        if (!writeAll(data, size, error))
            return false;
        crc_ = updateCrc(crc_, data, size);
    }
    remaining_ -= size;
    return true;
}

bool StoreWriter::finishEntry(std::string &error) {
    if (!inEntry_)
        return true;
    static const std::uint8_t zeros[1 << 16] = {};
    while (remaining_ > 0) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, sizeof zeros));
        if (!write(zeros, n, error))
            return false;
    }
    entries_.back().crc = crc_;
    inEntry_ = false;
    return true;
}

bool StoreWriter::writeAll(const void *data, std::size_t size, std::string &error) {
    if (!yk::writeAll(fd_, data, size, error))
        return false;
    offset_ += size;
    writeback_.written(fd_, kStartHeaderSize + offset_);
    return true;
}

bool StoreWriter::close(std::string &error) {
    if (!finishEntry(error))
        return false;
    const Bytes header = storeHeader(headerOrder(entries_));
    if (!writeAll(header.data(), header.size(), error))
        return false;
    return fillStartHeader(fd_, header, offset_ - header.size(), error);
}

} // namespace yk
