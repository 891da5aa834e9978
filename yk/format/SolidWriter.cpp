#include "format/SolidWriter.h"

#include <lzma.h>
#include <sched.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <thread>

namespace yk {

namespace {

constexpr std::uint8_t kLzma2Id = 0x21;
// Headers from this size on are written packed; a smaller one would gain less than the few
// dozen bytes of the header that points to the packed one.
constexpr std::size_t kPackHeaderFrom = 1024;
constexpr std::size_t kPackHeaderNormalUpTo = 16u << 20;

std::size_t roundUp(std::uint64_t value, std::size_t step) {
    return static_cast<std::size_t>((value + step - 1) / step * step);
}

} // namespace

struct SolidWriter::Block : WorkerPool::Job {
    Bytes input; // the prime, then the block's data
    std::size_t prime = 0;
    std::size_t primeSize = 0; // what runs inside the block may be primed with
    bool streamStart = false;
    bool last = false;
    bool storedWhole = false; // known not to compress: stored without another look
    // The parts of entries the block holds, whose CRCs are computed with the compression (off
    // the thread that reads the files) and joined to their entries' as the block is written.
    struct Slice {
        std::size_t entry;
        std::size_t from, size; // in the block's data
        std::uint32_t crc;
    };
    std::vector<Slice> slices;
    const Lzma2Settings *settings = nullptr;
    // Set by the thread that compresses the block.
    Lzma2Block result; // stored runs are framed as they are written, without a copy
    Error error;

    std::size_t dataSize() const { return input.size() - prime; }
    const std::uint8_t *data() const { return input.data() + prime; }

    void run() override {
        for (Slice &sl : slices)
            sl.crc = updateCrc(0, data() + sl.from, sl.size);
        if (storedWhole) {
            result.pieces.push_back({true, 0, dataSize(), 0, 0});
            result.storedBytes = dataSize();
            result.endMarker = last;
            return;
        }
        try {
            if (!encodeLzma2Pieces(data(), prime, dataSize(), streamStart, last, primeSize,
                                   *settings, result, error) &&
                error.empty())
                error = Error{Fault::CompressorFailed};
        } catch (const std::bad_alloc &) {
            error = Error{Fault::NoMemoryToCompress};
        }
    }
};

unsigned SolidWriter::defaultThreads(const Lzma2Settings &lzma, std::size_t blockSize) {
    unsigned cores = 0;
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        cores = static_cast<unsigned>(CPU_COUNT(&set));
    if (cores == 0)
        cores = std::thread::hardware_concurrency();
    cores = std::max(1u, cores);
    // Each thread takes an encoder and up to two blocks: no more threads than a quarter of the
    // memory feeds, so that a machine of many cores and little memory is not exhausted.
    const std::uint64_t encoder = lzma2EncoderMemory(lzma);
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (encoder == 0 || pages <= 0 || pageSize <= 0)
        return cores;
    const std::uint64_t perThread = encoder + 2 * (blockSize + SolidSettings().primeSize);
    const std::uint64_t budget =
        static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4;
    return static_cast<unsigned>(
        std::clamp<std::uint64_t>(budget / perThread, 1, static_cast<std::uint64_t>(cores)));
}

SolidWriter::SolidWriter(int fd, const SolidSettings &settings)
    : EntryStream(fd), settings_(settings) {
    const std::size_t block = settings.blockSize ? settings.blockSize : kBlock;
    threads_ = settings.threads ? settings.threads : defaultThreads(settings.lzma, block);
    // Blocks and primes at multiples of 16 keep LZMA's position bits of every block in step
    // with the stream's.
    blockSize_ = std::max<std::size_t>(roundUp(block, 16), 16);
    primeSize_ = std::min(settings.primeSize / 16 * 16, blockSize_);
}

SolidWriter::~SolidWriter() = default;

bool SolidWriter::isDone(const Block &b) const {
    return !pool_ || pool_->isDone(b); // without threads every block is done at once
}

bool SolidWriter::open(Error &error) {
    if (!EntryStream::open(error))
        return false;
    try {
        newBlock(nullptr);
    } catch (const std::bad_alloc &) {
        error = Error{Fault::NoMemoryToCompress};
        return false;
    }
    return true;
}

void SolidWriter::newBlock(const Block *previous) {
    auto b = std::make_unique<Block>();
    b->primeSize = primeSize_;
    b->settings = &settings_.lzma;
    if (!spare_.empty()) {
        // A written block's buffer again: its pages are already there.
        b->input = std::move(spare_.back());
        spare_.pop_back();
        b->input.clear();
    }
    b->input.reserve(primeSize_ + blockSize_);
    // Bytes that did not compress would prime nothing: after a stored block the next one
    // starts afresh, and the megabytes of incompressible data are not copied twice.
    if (previous && !previous->storedWhole) {
        const std::size_t n = std::min(primeSize_, previous->dataSize());
        const std::uint8_t *end = previous->data() + previous->dataSize();
        b->input.assign(end - n, end);
        b->prime = n;
    }
    current_ = std::move(b);
}

bool SolidWriter::take(const std::uint8_t *data, std::size_t size, Error &error) {
    // Blocks already done are written between the reads, so that the disk is kept busy while
    // the files are read (stored blocks are done at once).
    while (!inFlight_.empty() && isDone(*inFlight_.front()))
        if (!writeFront(error))
            return false;
    while (size > 0) {
        // A full block goes only once more data follows: the last block must know it is last.
        if (current_->dataSize() == blockSize_ && !dispatch(false, error))
            return false;
        std::size_t n = std::min(size, blockSize_ - current_->dataSize());
        // A block's first megabyte is looked at alone: when it does not compress it goes at
        // once, stored, rather than waiting for the block to fill. Data that does not compress
        // then streams to the disk as it is read, in blocks of a megabyte.
        const bool firstSegment =
            blockSize_ > kLzma2Segment && current_->dataSize() < kLzma2Segment;
        if (firstSegment)
            n = std::min(n, kLzma2Segment - current_->dataSize());
        const std::size_t entry = entries_.size() - 1;
        auto &slices = current_->slices;
        if (!slices.empty() && slices.back().entry == entry)
            slices.back().size += n;
        else
            slices.push_back({entry, current_->dataSize(), n, 0});
        current_->input.insert(current_->input.end(), data, data + n);
        data += n;
        size -= n;
        if (firstSegment && current_->dataSize() == kLzma2Segment &&
            sampler_.looksIncompressible(current_->data(), kLzma2Segment, 4, 8u << 10)) {
            current_->storedWhole = true;
            if (!dispatch(false, error))
                return false;
        }
    }
    return true;
}

bool SolidWriter::dispatch(bool last, Error &error) {
    // Never more data at work than a full block per thread: the memory stays what the threads
    // need (small stored blocks may be more in number).
    const std::size_t cap = std::max(1u, pool_ ? pool_->size() : threads_) * blockSize_;
    while (!inFlight_.empty() && inFlightBytes_ + current_->dataSize() > cap)
        if (!writeFront(error))
            return false;
    inFlightBytes_ += current_->dataSize();
    std::shared_ptr<Block> b(current_.release());
    b->streamStart = !streamStarted_;
    b->last = last;
    streamStarted_ = true;
    try {
        if (!last)
            newBlock(b.get());
        // The threads start with the first block to compress: data that does not compress
        // never waits for them to start or to end.
        if (!pool_ && !b->storedWhole)
            pool_ = std::make_unique<WorkerPool>(threads_);
    } catch (const std::bad_alloc &) {
        error = Error{Fault::NoMemoryToCompress};
        return false;
    }
    inFlight_.push_back(b);
    // A block known not to compress needs only its CRCs: handing it to a thread would cost more
    // (a wake-up, which a busy machine delays) than the work. With nothing ahead of it, it is
    // written at once, from the buffer that the next block then reuses.
    if (b->storedWhole || pool_->size() == 0) {
        WorkerPool::runHere(*b);
        if (inFlight_.size() == 1 && !writeFront(error))
            return false;
    } else {
        pool_->submit(b);
    }
    return true;
}

bool SolidWriter::writeFront(Error &error) {
    std::shared_ptr<Block> b = inFlight_.front();
    inFlight_.pop_front();
    inFlightBytes_ -= b->dataSize();
    if (pool_)
        pool_->wait(*b);
    if (!b->error.empty()) {
        error = b->error;
        return false;
    }
    const std::uint64_t before = offset_;
    const Lzma2Block &r = b->result;
    for (const Lzma2Piece &p : r.pieces) {
        const bool ok =
            p.stored ? writeStored(b->data() + p.from, p.size, b->streamStart && p.from == 0, error)
                     : writeAll(r.packed.data() + p.packedFrom, p.packedSize, error);
        if (!ok)
            return false;
    }
    if (r.endMarker && !writeAll(&kLzma2End, 1, error))
        return false;
    if (r.storedBytes == b->dataSize())
        ++storedBlocks_;
    dict_ = std::max(dict_, r.dict);
    storedBytes_ += r.storedBytes;
    for (const Block::Slice &sl : b->slices) {
        std::uint32_t &crc = entries_[sl.entry].crc;
        crc = joinCrc(crc, sl.crc, sl.size);
    }
    if (spare_.size() < 2)
        spare_.push_back(std::move(b->input));
    packed_ += offset_ - before;
    return true;
}

bool SolidWriter::writeStored(const std::uint8_t *p, std::size_t left, bool first, Error &error) {
    // The chunks' headers and data in one system call per batch of chunks.
    constexpr int kBatch = 64;
    std::uint8_t headers[kBatch][3];
    struct iovec iov[2 * kBatch];
    while (left > 0) {
        int k = 0;
        for (; k < kBatch && left > 0; ++k) {
            const std::size_t n = std::min(left, kLzma2StoredChunk);
            storedChunkHeader(n, first, headers[k]);
            first = false;
            iov[2 * k] = {headers[k], 3};
            iov[2 * k + 1] = {const_cast<std::uint8_t *>(p), n};
            p += n;
            left -= n;
        }
        // writev may stop short; the rest of the batch goes through the plain loop.
        const ssize_t w = ::writev(fd_, iov, 2 * k);
        std::size_t written = w > 0 ? static_cast<std::size_t>(w) : 0;
        if (w < 0 && errno != EINTR) {
            error = Error::system(errno);
            return false;
        }
        offset_ += written;
        for (int i = 0; i < 2 * k; ++i) {
            if (written >= iov[i].iov_len) {
                written -= iov[i].iov_len;
                continue;
            }
            if (!writeAll(static_cast<const char *>(iov[i].iov_base) + written,
                          iov[i].iov_len - written, error))
                return false;
            written = 0;
        }
        hintWriteback();
    }
    return true;
}

bool SolidWriter::packHeader(Bytes &header, Error &error) {
    // Names and figures of many entries repeat themselves: the header is written packed, in
    // LZMA2, and replaced by the few bytes that say where it is. The normal preset packs it
    // 8 % smaller than a fast one, for about a hundredth of a second more per thousand
    // entries; the headers of a million entries get the fast one, as they are packed on one
    // thread after the data.
    Lzma2Settings packing;
    packing.preset = header.size() <= kPackHeaderNormalUpTo ? 6 : 1;
    packing.dictSize = 1u << 20;
    Bytes packed;
    if (!encodeLzma2Block(header.data(), 0, header.size(), true, packing, packed, error))
        return false;
    const std::uint64_t packPos = offset_;
    if (!writeAll(packed.data(), packed.size(), error))
        return false;
    const SolidFolder coder{
        {kLzma2Id}, {lzma2DictProperty(encoderDict(packing, 0, header.size()))}, packed.size()};
    header =
        encodedHeader(packPos, coder, header.size(), updateCrc(0, header.data(), header.size()));
    return true;
}

bool SolidWriter::close(Error &error) {
    if (!finishEntry(error))
        return false;
    const bool endPending = current_ && current_->dataSize() == 0 && streamStarted_;
    if (current_ && current_->dataSize() > 0 && !dispatch(true, error))
        return false;
    while (!inFlight_.empty())
        if (!writeFront(error))
            return false;
    if (endPending) {
        // The last block went before it was known to be the last: the stream ends here.
        if (!writeAll(&kLzma2End, 1, error))
            return false;
        ++packed_;
    }
    // The decoder needs no more than the largest window an encoder referred to.
    const SolidFolder folder{
        {kLzma2Id}, {lzma2DictProperty(std::max(dict_, LZMA_DICT_SIZE_MIN))}, packed_};
    Bytes header = solidHeader(headerOrder(entries_), folder);
    if (header.size() >= kPackHeaderFrom && !packHeader(header, error))
        return false;
    return writeHeader(header, error);
}

} // namespace yk
