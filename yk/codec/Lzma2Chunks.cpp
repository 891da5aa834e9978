#include "codec/Lzma2Chunks.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>

namespace yk {

std::uint8_t lzma2DictProperty(std::uint32_t dict) {
    for (std::uint8_t p = 0; p < 40; ++p)
        if (lzma2DictSize(p) >= dict)
            return p;
    return 40;
}

std::uint64_t lzma2DictSize(std::uint8_t p) {
    // Code p stands for (2 | (p & 1)) << (p / 2 + 11) bytes; 40 for 4 GiB - 1.
    return p >= 40 ? 0xFFFFFFFFu : std::uint64_t(2u | (p & 1u)) << (p / 2 + 11);
}

bool looksLikeText(const std::uint8_t *data, std::size_t size) {
    // Sixteen samples of 4 KiB, or all of a smaller input.
    constexpr std::size_t kSamples = 16, kSample = 4096;
    const bool whole = size <= kSamples * kSample;
    const std::size_t samples = whole ? 1 : kSamples, sample = whole ? size : kSample;
    std::size_t control = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const std::uint8_t *p = data + (whole ? 0 : (size - kSample) / (kSamples - 1) * i);
        for (std::size_t j = 0; j < sample; ++j) {
            const std::uint8_t c = p[j];
            control += (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7f;
        }
    }
    return size > 0 && control * 200 <= samples * sample; // at most half a percent
}

std::uint32_t encoderDict(const Lzma2Settings &settings, std::size_t prime, std::size_t size) {
    const std::uint64_t window =
        std::uint64_t(std::min<std::size_t>(prime, settings.dictSize)) + size;
    return static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(window, LZMA_DICT_SIZE_MIN, settings.dictSize));
}

namespace {

bool encoderOptions(const Lzma2Settings &settings, lzma_options_lzma &options) {
    if (lzma_lzma_preset(&options, settings.preset))
        return false;
    options.dict_size = settings.dictSize;
    if (settings.niceLen)
        options.nice_len = settings.niceLen;
    if (settings.depth)
        options.depth = settings.depth;
    if (settings.matchFinder)
        options.mf = static_cast<lzma_match_finder>(settings.matchFinder);
    if (settings.lc >= 0)
        options.lc = static_cast<std::uint32_t>(settings.lc);
    if (settings.lp >= 0)
        options.lp = static_cast<std::uint32_t>(settings.lp);
    if (settings.pb >= 0)
        options.pb = static_cast<std::uint32_t>(settings.pb);
    return true;
}

} // namespace

std::uint64_t lzma2EncoderMemory(const Lzma2Settings &settings) {
    lzma_options_lzma options;
    if (!encoderOptions(settings, options))
        return 0;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    const std::uint64_t bytes = lzma_raw_encoder_memusage(filters);
    return bytes == UINT64_MAX ? 0 : bytes;
}

bool encodeLzma2Block(const std::uint8_t *data, std::size_t primeSize, std::size_t size, bool last,
                      const Lzma2Settings &settings, Bytes &out, Error &error) {
    lzma_options_lzma options;
    if (!encoderOptions(settings, options)) {
        error = Error{Fault::BadCompressionLevel};
        return false;
    }
    options.dict_size = encoderDict(settings, primeSize, size);
    // Only the last dictionary's worth of the prime can be referred to.
    const std::size_t prime = std::min<std::size_t>(primeSize, options.dict_size);
    if (prime > 0) {
        options.preset_dict = data - prime;
        options.preset_dict_size = static_cast<std::uint32_t>(prime);
    }
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream s = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_encoder(&s, filters);
    if (rc != LZMA_OK) {
        error =
            Error{rc == LZMA_MEM_ERROR ? Fault::NoMemoryToCompress : Fault::CompressorWontStart};
        return false;
    }
    const std::size_t start = out.size();
    s.next_in = data;
    s.avail_in = size;
    do {
        if (out.size() - start == s.total_out) {
            // Room for roughly a quarter of the rest, and never less than a chunk's worth.
            const std::size_t grow = std::max<std::size_t>(s.avail_in / 4, 1u << 16);
            out.resize(out.size() + grow);
        }
        const std::size_t used = start + static_cast<std::size_t>(s.total_out);
        s.next_out = out.data() + used;
        s.avail_out = out.size() - used;
        rc = lzma_code(&s, LZMA_FINISH);
    } while (rc == LZMA_OK);
    const std::size_t produced = static_cast<std::size_t>(s.total_out);
    lzma_end(&s);
    if (rc != LZMA_STREAM_END) {
        out.resize(start);
        error = Error{rc == LZMA_MEM_ERROR ? Fault::NoMemoryToCompress : Fault::CompressorFailed};
        return false;
    }
    out.resize(start + produced);
    // The encoder always closes its stream; a block that others follow must not.
    if (!last && produced > 0 && out.back() == kLzma2End)
        out.pop_back();
    return true;
}

void storedChunkHeader(std::size_t chunkSize, bool streamStart, std::uint8_t header[3]) {
    header[0] = streamStart ? 0x01 : 0x02; // uncompressed, with or without a dictionary reset
    header[1] = static_cast<std::uint8_t>((chunkSize - 1) >> 8);
    header[2] = static_cast<std::uint8_t>(chunkSize - 1);
}

void appendStoredChunks(const std::uint8_t *data, std::size_t size, bool streamStart, Bytes &out) {
    for (std::size_t done = 0; done < size;) {
        const std::size_t n = std::min(size - done, kLzma2StoredChunk);
        std::uint8_t header[3];
        storedChunkHeader(n, streamStart && done == 0, header);
        out.insert(out.end(), header, header + 3);
        out.insert(out.end(), data + done, data + done + n);
        done += n;
    }
}

struct CompressibilitySampler::State {
    z_stream z{};
    bool ready = false;
    Bytes packed;
};

CompressibilitySampler::CompressibilitySampler() : state_(std::make_unique<State>()) {}

CompressibilitySampler::~CompressibilitySampler() {
    if (state_->ready)
        deflateEnd(&state_->z);
}

bool CompressibilitySampler::looksIncompressible(const std::uint8_t *data, std::size_t size,
                                                 int samples, std::size_t sampleSize) {
    // Samples spread over the data, each squeezed by the fastest deflate: data that it cannot
    // shrink by 3 % will not shrink by LZMA enough to pay for the encoder's time.
    if (samples < 2 || size < sampleSize * static_cast<std::size_t>(samples))
        return false;
    State &st = *state_;
    if (!st.ready) {
        if (deflateInit(&st.z, 1) != Z_OK)
            return false;
        st.ready = true;
    }
    st.packed.resize(compressBound(static_cast<uLong>(sampleSize)));
    std::uint64_t in = 0, outBytes = 0;
    for (int i = 0; i < samples; ++i) {
        const std::size_t at = (size - sampleSize) / static_cast<std::size_t>(samples - 1) *
                               static_cast<std::size_t>(i);
        if (deflateReset(&st.z) != Z_OK)
            return false;
        st.z.next_in = const_cast<Bytef *>(data + at);
        st.z.avail_in = static_cast<uInt>(sampleSize);
        st.z.next_out = st.packed.data();
        st.z.avail_out = static_cast<uInt>(st.packed.size());
        if (deflate(&st.z, Z_FINISH) != Z_STREAM_END)
            return false;
        in += sampleSize;
        outBytes += st.z.total_out;
    }
    return outBytes * 100 >= in * 97;
}

bool looksIncompressible(const std::uint8_t *data, std::size_t size, int samples,
                         std::size_t sampleSize) {
    return CompressibilitySampler().looksIncompressible(data, size, samples, sampleSize);
}

bool encodeLzma2Pieces(const std::uint8_t *data, std::size_t prime, std::size_t size,
                       bool streamStart, bool last, std::size_t primeSize,
                       const Lzma2Settings &settings, Lzma2Block &out, Error &error) {
    out = Lzma2Block();
    if (size == 0)
        return true;
    // Runs of segments of one kind. The whole block is looked at first (cheaply, for the common
    // case of nothing but pictures or archives); only a block that the encoder will see anyway
    // pays for a look at every segment.
    std::vector<Lzma2Piece> runs;
    if (looksIncompressible(data, size)) {
        runs.push_back({true, 0, size, 0, 0});
    } else {
        for (std::size_t at = 0; at < size; at += kLzma2Segment) {
            const std::size_t n = std::min(kLzma2Segment, size - at);
            const bool stored =
                n == kLzma2Segment && looksIncompressible(data + at, n, 4, 8u << 10);
            if (!runs.empty() && runs.back().stored == stored)
                runs.back().size += n;
            else
                runs.push_back({stored, at, n, 0, 0});
        }
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        Lzma2Piece &r = runs[i];
        const bool lastRun = last && i + 1 == runs.size();
        if (r.stored) {
            out.storedBytes += r.size;
            out.endMarker = lastRun;
            continue;
        }
        // Primed with what lies before the run, up to primeSize: the block's own data first.
        const std::size_t before = r.from + (streamStart ? 0 : prime);
        const std::size_t runPrime = std::min(before, r.from == 0 ? prime : primeSize);
        Lzma2Settings runSettings = settings;
        if (settings.textBits && looksLikeText(data + r.from, r.size)) {
            runSettings.lc = 4;
            runSettings.lp = 0;
            runSettings.pb = 0;
        }
        r.packedFrom = out.packed.size();
        if (!encodeLzma2Block(data + r.from, runPrime, r.size, lastRun, runSettings, out.packed,
                              error))
            return false;
        out.dict = std::max(out.dict, encoderDict(settings, runPrime, r.size));
        r.packedSize = out.packed.size() - r.packedFrom;
    }
    out.pieces = std::move(runs);
    return true;
}

void appendLzma2Block(const std::uint8_t *data, const Lzma2Block &block, bool streamStart,
                      Bytes &out) {
    for (const Lzma2Piece &p : block.pieces) {
        if (p.stored)
            appendStoredChunks(data + p.from, p.size, streamStart && p.from == 0, out);
        else
            out.insert(out.end(), block.packed.begin() + static_cast<std::ptrdiff_t>(p.packedFrom),
                       block.packed.begin() +
                           static_cast<std::ptrdiff_t>(p.packedFrom + p.packedSize));
    }
    if (block.endMarker)
        out.push_back(kLzma2End);
}

} // namespace yk
