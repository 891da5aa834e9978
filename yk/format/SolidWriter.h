#pragma once
// Writes a 7z archive whose entries' data lie one after another in one LZMA2 folder, straight
// into an open file. The data is cut into blocks of a fixed size (see Lzma2Chunks.h), queued and
// taken by whichever thread is free (one per core), and written in order as they are done: the
// archive is one standard LZMA2 stream. Where the cuts fall depends on the data alone, so the
// archive's bytes are the same whatever the number of threads, the memory and the load. Memory
// is bounded by the number of blocks in flight (one per thread and the one being filled),
// whatever the size of a file; the entries' names and figures grow with their number.

#include "codec/Lzma2Chunks.h"
#include "format/EntryStream.h"
#include "format/WorkerPool.h"

#include <deque>
#include <memory>

namespace yk {

struct SolidSettings {
    Lzma2Settings lzma;
    // Bytes of data per block; 0 for kBlock. Never derived from the threads or the memory: the
    // cuts decide the archive's bytes.
    std::size_t blockSize = 0;
    // Bytes before each block given to its encoder as the dictionary it starts with (at most
    // the block size). More primes find more matches across block starts and cost time.
    std::size_t primeSize = 4u << 20;
    unsigned threads = 0; // 0: defaultThreads(); changes only the speed
};

class SolidWriter final : public EntryStream {
public:
    // Large enough (with its prime) to lose little of the ratio, and to need few primes: the
    // encoder runs its match finder over each prime before the block, a third of the work at
    // 8 MiB blocks. Blocks are handed out as threads free up, so a core taken by another program
    // slows only the blocks it would have made.
    static constexpr std::size_t kBlock = 16u << 20;

    // `fd` is an empty file open for writing; it stays the caller's.
    SolidWriter(int fd, const SolidSettings &settings);
    ~SolidWriter() override;
    bool open(Error &error) override;
    // Compresses what is left first.
    bool close(Error &error) override;

    // One per core the process may run on, fewer where a quarter of the memory would not feed
    // them all.
    static unsigned defaultThreads(const Lzma2Settings &lzma, std::size_t blockSize = kBlock);

    std::size_t blockSize() const { return blockSize_; }
    unsigned threads() const { return threads_; }
    std::uint64_t storedBlocks() const { return storedBlocks_; } // blocks that did not compress
    std::uint64_t storedBytes() const { return storedBytes_; }   // bytes stored as they are

private:
    struct Block;

    bool isDone(const Block &b) const;
    bool take(const std::uint8_t *data, std::size_t size, Error &error) override;
    bool dispatch(bool last, Error &error);
    bool writeFront(Error &error);
    bool writeStored(const std::uint8_t *data, std::size_t size, bool streamStart, Error &error);
    bool packHeader(Bytes &header, Error &error);
    void newBlock(const Block *previous);

    SolidSettings settings_;
    std::size_t blockSize_;
    std::size_t primeSize_;
    unsigned threads_;
    std::uint64_t packed_ = 0;   // of the bytes written, the folder's packed stream
    bool streamStarted_ = false; // a block has been dispatched
    std::uint64_t storedBlocks_ = 0;
    std::uint64_t storedBytes_ = 0;
    std::uint32_t dict_ = 0;         // the largest dictionary a block's encoder used
    CompressibilitySampler sampler_; // the first megabyte of each block, on this thread
    std::unique_ptr<Block> current_;
    std::vector<Bytes> spare_; // buffers of written blocks, for the next ones
    std::deque<std::shared_ptr<Block>> inFlight_;
    std::size_t inFlightBytes_ = 0;
    std::unique_ptr<WorkerPool> pool_;
};

} // namespace yk
