#include "Lzma2Chunks.h"

#include "Messages.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>

namespace yk {

std::uint8_t lzma2DictProperty(std::uint32_t dict) {
    // Code p stands for (2 | (p & 1)) << (p / 2 + 11) bytes; 40 for 4 GiB - 1.
    for (std::uint8_t p = 0; p < 40; ++p) {
        const std::uint64_t size = std::uint64_t(2u | (p & 1u)) << (p / 2 + 11);
        if (size >= dict)
            return p;
    }
    return 40;
}

bool encodeLzma2Block(const std::uint8_t *data, std::size_t primeSize, std::size_t size, bool last,
                      const Lzma2Settings &settings, Bytes &out, std::string &error) {
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, settings.preset)) {
        error = msg::badCompressionLevel();
        return false;
    }
    options.dict_size = settings.dictSize;
    // Only the last dictionary's worth of the prime can be referred to.
    const std::size_t prime = std::min<std::size_t>(primeSize, settings.dictSize);
    if (prime > 0) {
        options.preset_dict = data - prime;
        options.preset_dict_size = static_cast<std::uint32_t>(prime);
    }
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream s = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_encoder(&s, filters);
    if (rc != LZMA_OK) {
        error = rc == LZMA_MEM_ERROR ? msg::noMemoryToCompress() : msg::compressorWontStart();
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
        error = rc == LZMA_MEM_ERROR ? msg::noMemoryToCompress() : msg::compressorFailed();
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

bool looksIncompressible(const std::uint8_t *data, std::size_t size) {
    // Eight samples spread over the block, each squeezed by the fastest deflate: data that it
    // cannot shrink by 3 % will not shrink by LZMA enough to pay for the encoder's time.
    constexpr std::size_t kSample = 32u << 10;
    constexpr int kSamples = 8;
    if (size < kSample * kSamples)
        return false; // small enough to let the encoder decide, chunk by chunk
    Bytes packed(compressBound(kSample));
    std::uint64_t in = 0, outBytes = 0;
    for (int i = 0; i < kSamples; ++i) {
        const std::size_t at = (size - kSample) / (kSamples - 1) * static_cast<std::size_t>(i);
        uLongf n = static_cast<uLongf>(packed.size());
        if (compress2(packed.data(), &n, data + at, kSample, 1) != Z_OK)
            return false;
        in += kSample;
        outBytes += n;
    }
    return outBytes * 100 >= in * 97;
}

} // namespace yk
