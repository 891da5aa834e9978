#pragma once
// LZMA2 chunk streams cut into blocks that can be made apart and joined: each block is a run of
// LZMA2 chunks continuing the stream of the blocks before it. A block is either compressed by
// liblzma's raw LZMA2 encoder, which is given the bytes just before the block as its preset
// dictionary (so it starts without a dictionary reset and may refer to them), or framed as
// uncompressed chunks without running the encoder at all. Joined in order, with the end marker
// after the last block only, the blocks make one LZMA2 stream.

#include "fs/Error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace yk {

using Bytes = std::vector<std::uint8_t>;

struct Lzma2Settings {
    std::uint32_t preset = 6;          // liblzma's preset for the encoder's parameters
    std::uint32_t dictSize = 8u << 20; // the largest dictionary; the preset's own by default
    // The preset's parameters changed where these are set (0 or -1: the preset's own).
    std::uint32_t niceLen = 0;     // a match this long is taken without looking further
    std::uint32_t depth = 0;       // match finder's search depth; 0 lets liblzma choose
    std::uint32_t matchFinder = 0; // an lzma_match_finder (LZMA_MF_HC4, LZMA_MF_BT4...)
    int lc = -1, lp = -1, pb = -1; // literal context, literal position and position bits
    // Runs that look like text get 4 literal context bits and no position bits: text has no
    // alignment for them to find, and the literal before says more about the next.
    bool textBits = true;
};

// liblzma's encoder memory for one encoder of these settings at their largest dictionary; 0 if
// liblzma refuses them.
std::uint64_t lzma2EncoderMemory(const Lzma2Settings &settings);

// Whether samples spread over `size` bytes at `data` hold next to no control bytes other than
// tab, line and page breaks, as text in ASCII or UTF-8 does (and code, tables and pictures do not).
bool looksLikeText(const std::uint8_t *data, std::size_t size);

// The one byte of LZMA2 coder properties: the smallest dictionary size code that holds `dict`.
std::uint8_t lzma2DictProperty(std::uint32_t dict);
// The dictionary size that code `p` (0 to 40) stands for.
std::uint64_t lzma2DictSize(std::uint8_t p);

// The dictionary an encoder of `size` bytes primed with `prime` bytes gets: no larger than what
// it can refer to, so that a small input costs a small match finder (and the decoder, told the
// largest of them, a small dictionary).
std::uint32_t encoderDict(const Lzma2Settings &settings, std::size_t prime, std::size_t size);

// Compresses `size` bytes at `data`, appending LZMA2 chunks to `out`. `primeSize` bytes just
// before `data` (readable at data - primeSize) are the end of what the stream holds before this
// block; 0 makes the block the stream's start (dictionary reset). The end marker is written only
// when `last`. The block must start at a stream offset congruent to `primeSize` modulo 4 (LZMA's
// position bits): blocks cut at multiples of 4 with primes of multiples of 4 are.
bool encodeLzma2Block(const std::uint8_t *data, std::size_t primeSize, std::size_t size, bool last,
                      const Lzma2Settings &settings, Bytes &out, Error &error);

// The headers of the uncompressed chunks that carry `size` bytes: one 3-byte header before each
// kLzma2StoredChunk bytes (the last chunk may be shorter). `streamStart`: the first chunk resets
// the dictionary, as the first chunk of a stream must.
constexpr std::size_t kLzma2StoredChunk = 1u << 16;
void storedChunkHeader(std::size_t chunkSize, bool streamStart, std::uint8_t header[3]);

// The whole uncompressed-chunk framing of `size` bytes at `data` appended to `out` (tests and
// small blocks; the writer frames large blocks as it writes them, without a copy).
void appendStoredChunks(const std::uint8_t *data, std::size_t size, bool streamStart, Bytes &out);

// The end marker of an LZMA2 stream.
constexpr std::uint8_t kLzma2End = 0x00;

// Whether a cheap look at `samples` samples of `sampleSize` bytes spread over `size` bytes at
// `data` says they will not compress (random bytes, compressed pictures and archives). Too
// small an input to sample says no: the encoder decides chunk by chunk.
bool looksIncompressible(const std::uint8_t *data, std::size_t size, int samples = 8,
                         std::size_t sampleSize = 32u << 10);

// The same look, keeping its deflate state from one call to the next: a look at every megabyte
// of a large input then costs no fresh memory each time (the state is a quarter of a megabyte).
class CompressibilitySampler {
public:
    CompressibilitySampler();
    ~CompressibilitySampler();
    CompressibilitySampler(const CompressibilitySampler &) = delete;
    CompressibilitySampler &operator=(const CompressibilitySampler &) = delete;
    bool looksIncompressible(const std::uint8_t *data, std::size_t size, int samples = 8,
                             std::size_t sampleSize = 32u << 10);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One block cut into runs that compress and runs that do not, each run made as above. A block
// that does not compress as a whole is one stored run; otherwise each kLzma2Segment is looked
// at apart, and a run of such segments is stored while the runs between them are compressed,
// each primed with up to `primeSize` bytes before it.
constexpr std::size_t kLzma2Segment = 1u << 20;
struct Lzma2Piece {
    bool stored = false;
    std::size_t from = 0, size = 0; // of the block's data
    std::size_t packedFrom = 0;     // compressed runs: where their bytes lie in `packed`
    std::size_t packedSize = 0;
};
struct Lzma2Block {
    std::vector<Lzma2Piece> pieces;
    Bytes packed;           // the compressed runs' chunks, one after another
    bool endMarker = false; // the stream ends with a stored run: the end marker follows it
    std::size_t storedBytes = 0;
    std::uint32_t dict = 0; // the largest dictionary the compressed runs refer to
};

// `data` holds the block's `size` bytes with `prime` bytes of what came before readable just
// before it; `streamStart` when nothing came before; `last` when nothing follows.
bool encodeLzma2Pieces(const std::uint8_t *data, std::size_t prime, std::size_t size,
                       bool streamStart, bool last, std::size_t primeSize,
                       const Lzma2Settings &settings, Lzma2Block &out, Error &error);

// The block's pieces as one run of LZMA2 chunks, appended to `out`.
void appendLzma2Block(const std::uint8_t *data, const Lzma2Block &block, bool streamStart,
                      Bytes &out);

} // namespace yk
