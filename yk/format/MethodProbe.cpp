#include "format/MethodProbe.h"

#include "format/SevenZipIds.h"
#include "format/StoreFormat.h"

#include <lzma.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace yk {

namespace {

// Refuse absurd header sizes. A million entries make a header of some 60 MB; a packed header
// is unpacked into memory that grows with what it really yields, never with what it claims, and
// only after its claimed size has passed headerBound().
constexpr std::uint64_t kMaxHeader = 1u << 30;

using namespace sevenzip;

struct Folder {
    std::vector<std::uint8_t> id, props; // of the first coder: the one that meets the data
    std::string name;
    Error unsupported;        // a coder in it that cannot be decoded
    bool encrypted = false;   // a coder in it encrypts
    std::uint64_t memory = 0; // the most memory a coder in it asks for
    std::uint64_t unpackSize = 0;
    std::uint64_t streams = 1;
    std::uint64_t packStreams = 1;
    bool copy = false; // a lone Copy coder: what is unpacked is what is packed
    bool hasCrc = false;
    std::uint32_t crc = 0; // of the unpacked data, when hasCrc
    // The size of the folder's own output (the one no other coder takes in), which its CRC
    // covers; not always the last one (BCJ2 puts it first).
    std::uint64_t mainSize = 0;
    std::uint64_t mainOut = 0;
};

struct StreamsInfo {
    std::uint64_t packPos = 0;
    std::vector<std::uint64_t> packSizes;
    std::vector<std::pair<bool, std::uint32_t>> packCrcs; // as many as packSizes, or none
    std::vector<Folder> folders;
    bool badSizes = false; // sizes that cannot be: set by the reading
};

// Why the sizes of `s` cannot be those of a sound archive whose header starts `headerAt` bytes
// after the start header, if any: the packed data must lie before the header, a Copy folder
// unpacks to exactly what it packs, and each folder's entries fit in it.
Error sizeFault(const StreamsInfo &s, std::uint64_t headerAt) {
    if (s.badSizes)
        return Error{Fault::EntriesExceedFolder};
    std::uint64_t end = s.packPos;
    for (std::uint64_t size : s.packSizes) {
        if (size > headerAt || end > headerAt - size)
            return Error{Fault::PackedBeyondHeader};
        end += size;
    }
    std::size_t pack = 0;
    for (const Folder &f : s.folders) {
        if (f.copy && pack < s.packSizes.size() && s.packSizes[pack] != f.unpackSize)
            return Error{Fault::CopySizeMismatch, f.unpackSize, s.packSizes[pack]};
        pack += static_cast<std::size_t>(f.packStreams);
    }
    return Error();
}

// Bounds-checked reader over a byte range; every failure sets `bad` and yields zeros.
class Cursor {
public:
    Cursor(const std::uint8_t *p, std::size_t n) : p_(p), n_(n) {}
    bool bad() const { return bad_; }
    bool atEnd() const { return i_ >= n_; }
    std::uint8_t byte() {
        if (i_ >= n_) {
            bad_ = true;
            return 0;
        }
        return p_[i_++];
    }
    std::uint64_t number() {
        const std::uint8_t first = byte();
        std::uint8_t mask = 0x80;
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            if ((first & mask) == 0) {
                const std::uint64_t high = first & (mask - 1u);
                return value | (high << (8 * i));
            }
            value |= static_cast<std::uint64_t>(byte()) << (8 * i);
            mask >>= 1;
        }
        return value;
    }
    void skip(std::uint64_t k) {
        if (k > n_ - i_) {
            bad_ = true;
            i_ = n_;
        } else {
            i_ += static_cast<std::size_t>(k);
        }
    }
    std::vector<std::uint8_t> bytes(std::uint64_t k) {
        if (k > n_ - i_) {
            bad_ = true;
            i_ = n_;
            return {};
        }
        std::vector<std::uint8_t> v(p_ + i_, p_ + i_ + k);
        i_ += static_cast<std::size_t>(k);
        return v;
    }
    // A count that must fit in what is left of the header, one byte per item at least. One
    // that cannot is a lie (an absurd count): libarchive would allocate for it before noticing.
    std::uint64_t count() {
        const std::uint64_t c = number();
        if (!bad_ && c > n_ - i_ + 1)
            bad_ = absurd_ = true;
        return bad_ ? 0 : c;
    }
    bool absurd() const { return absurd_; }
    void markAbsurd() { bad_ = absurd_ = true; }
    std::size_t left() const { return n_ - i_; }

private:
    const std::uint8_t *p_;
    std::size_t n_;
    std::size_t i_ = 0;
    bool bad_ = false;
    bool absurd_ = false;
};

// Reads `n` CRCs, each maybe undefined; into `out` when given (flag and value).
void readDigests(Cursor &c, std::uint64_t n,
                 std::vector<std::pair<bool, std::uint32_t>> *out = nullptr) {
    const bool all = c.byte() != 0;
    std::vector<bool> defined;
    if (!all && n <= c.left() * 8 + 8) {
        defined.resize(static_cast<std::size_t>(n));
        std::uint8_t b = 0;
        for (std::uint64_t i = 0; i < n && !c.bad(); ++i) {
            if (i % 8 == 0)
                b = c.byte();
            defined[static_cast<std::size_t>(i)] = b & (0x80 >> (i % 8));
        }
    } else if (!all || n > c.left() / 4 + 1) {
        c.skip(~0ull); // more than the header holds: marks bad
        return;
    }
    if (out)
        out->assign(static_cast<std::size_t>(n), {false, 0});
    for (std::uint64_t i = 0; i < n && !c.bad(); ++i) {
        if (!all && !defined[static_cast<std::size_t>(i)])
            continue;
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= static_cast<std::uint32_t>(c.byte()) << (8 * k);
        if (out)
            (*out)[static_cast<std::size_t>(i)] = {true, v};
    }
}

[[maybe_unused]] void skipDigests(Cursor &c, std::uint64_t n) {
    const bool all = c.byte() != 0;
    std::uint64_t defined = 0;
    if (all) {
        defined = n;
    } else {
        std::uint8_t b = 0;
        for (std::uint64_t i = 0; i < n && !c.bad(); ++i) {
            if (i % 8 == 0)
                b = c.byte();
            if (b & (0x80 >> (i % 8)))
                ++defined;
        }
    }
    if (defined > (1u << 26))
        c.skip(~0ull); // marks bad
    else
        c.skip(defined * 4);
}

// The filters a folder may apply after its compressor, and the compressors libarchive decodes.
bool isFilter(const std::string &name) {
    return name == "BCJ" || name == "BCJ2" || name == "PPC" || name == "IA64" || name == "ARM" ||
           name == "ARMT" || name == "SPARC" || name == "ARM64" || name == "Delta";
}

// The filter of `names` (one folder's coders) that libarchive cannot apply with the folder's
// compressor, or "". libarchive hands LZMA and LZMA2 data to liblzma with its filters (ARM
// Thumb only after LZMA2 in practice); after Copy, Deflate, BZip2 and PPMd it applies only the
// x86 ones itself.
std::string filterNotApplied(const std::vector<std::string> &names, std::string &compressor) {
    compressor.clear();
    for (const std::string &n : names)
        if (!isFilter(n)) {
            compressor = n;
            break;
        }
    for (const std::string &n : names) {
        if (!isFilter(n) || n == "BCJ" || n == "BCJ2")
            continue;
        if (compressor == "LZMA2" && n != "ARM64")
            continue;
        if (compressor == "LZMA" && n != "ARM64" && n != "ARMT")
            continue;
        return n;
    }
    return std::string();
}

bool readFolder(Cursor &c, Folder &f, std::uint64_t &outStreams) {
    const std::uint64_t coders = c.count();
    if (coders == 0 || coders > 32)
        return false;
    std::vector<std::string> names;
    std::uint64_t ins = 0, outs = 0;
    for (std::uint64_t k = 0; k < coders && !c.bad(); ++k) {
        const std::uint8_t flags = c.byte();
        auto id = c.bytes(flags & 0x0F);
        std::uint64_t ni = 1, no = 1;
        if (flags & 0x10) {
            ni = c.number();
            no = c.number();
            if (ni > 32 || no > 32)
                return false;
        }
        std::vector<std::uint8_t> props;
        if (flags & 0x20)
            props = c.bytes(c.count());
        if (k == 0) {
            f.id = id;
            f.props = props;
        }
        names.push_back(coderName(id, {}));
        if (coderEncrypts(id))
            f.encrypted = true;
        else if (!coderSupported(id) && f.unsupported.empty())
            f.unsupported = Error(Fault::Method, coderName(id, props));
        f.memory = std::max(f.memory, coderMemory(id, props));
        ins += ni;
        outs += no;
    }
    if (outs == 0)
        return false;
    const std::uint64_t pairs = outs - 1;
    std::vector<bool> bound(static_cast<std::size_t>(outs), false);
    for (std::uint64_t k = 0; k < pairs; ++k) {
        c.number();
        const std::uint64_t out = c.number();
        if (out < outs)
            bound[static_cast<std::size_t>(out)] = true;
    }
    f.mainOut = outs - 1;
    for (std::uint64_t k = 0; k < outs; ++k)
        if (!bound[static_cast<std::size_t>(k)]) {
            f.mainOut = k;
            break;
        }
    if (ins < pairs)
        return false;
    const std::uint64_t packed = ins - pairs;
    if (packed > 1)
        for (std::uint64_t k = 0; k < packed; ++k)
            c.number();
    outStreams = outs;
    f.packStreams = packed;
    f.name = coderName(f.id, f.props);
    f.copy = coders == 1 && f.name == "Copy";
    std::string compressor;
    const std::string filter = filterNotApplied(names, compressor);
    if (f.unsupported.empty() && !filter.empty())
        f.unsupported = Error(Fault::FilterWith, filter, compressor);
    return !c.bad();
}

bool readStreamsInfo(Cursor &c, StreamsInfo &s, std::vector<std::uint64_t> *unpackStreams) {
    std::uint8_t t = c.byte();
    if (t == kPackInfo) {
        s.packPos = c.number();
        const std::uint64_t n = c.count();
        for (t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
            if (t == kSize)
                for (std::uint64_t i = 0; i < n; ++i)
                    s.packSizes.push_back(c.number());
            else if (t == kCrc)
                readDigests(c, n, &s.packCrcs);
            else
                return false;
        }
        t = c.byte();
    }
    std::vector<std::uint64_t> outsPerFolder;
    if (t == kUnpackInfo) {
        if (c.byte() != kFolder)
            return false;
        const std::uint64_t n = c.count();
        if (c.byte() != 0) // folders stored elsewhere: not written by anyone we know
            return false;
        s.folders.resize(static_cast<std::size_t>(n));
        for (auto &f : s.folders) {
            std::uint64_t outs = 0;
            if (!readFolder(c, f, outs))
                return false;
            outsPerFolder.push_back(outs);
        }
        if (c.byte() != kCodersUnpackSize)
            return false;
        for (std::size_t i = 0; i < s.folders.size(); ++i)
            for (std::uint64_t k = 0; k < outsPerFolder[i]; ++k) {
                const std::uint64_t size = c.number();
                if (k + 1 == outsPerFolder[i])
                    s.folders[i].unpackSize = size; // the last output is the folder's data
                if (k == s.folders[i].mainOut)
                    s.folders[i].mainSize = size;
            }
        for (t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
            if (t == kCrc) {
                std::vector<std::pair<bool, std::uint32_t>> crcs;
                readDigests(c, n, &crcs);
                for (std::size_t i = 0; i < crcs.size() && i < s.folders.size(); ++i) {
                    s.folders[i].hasCrc = crcs[i].first;
                    s.folders[i].crc = crcs[i].second;
                }
            } else {
                return false;
            }
        }
        t = c.byte();
    }
    if (t == kSubStreamsInfo) {
        for (t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
            if (t == kNumUnpackStream) {
                // Every entry but a folder's last needs its size written: a count beyond what
                // the header holds is a lie.
                for (auto &f : s.folders) {
                    f.streams = c.number();
                    if (f.streams > c.left() + 1)
                        c.markAbsurd();
                }
            } else if (t == kSize) {
                for (auto &f : s.folders) {
                    std::uint64_t sum = 0;
                    for (std::uint64_t k = 1; k < f.streams && !c.bad(); ++k) {
                        const std::uint64_t size = c.number();
                        sum =
                            size > f.unpackSize - std::min(sum, f.unpackSize) ? ~0ull : sum + size;
                    }
                    if (sum > f.unpackSize)
                        s.badSizes = true; // the entries hold more than their folder
                }
            } else if (t == kCrc) {
                std::uint64_t n = 0;
                for (auto &f : s.folders)
                    n += f.streams;
                readDigests(c, n);
            } else {
                return false;
            }
        }
        t = c.byte();
    }
    if (unpackStreams)
        for (auto &f : s.folders)
            unpackStreams->push_back(f.streams);
    return t == kEnd && !c.bad();
}

// Reads `len` bytes at `off` of the archive into `out`; false when they are not there.
using ReadAt = std::function<bool(std::uint64_t off, std::size_t len, std::uint8_t *out)>;

// Unpacks a header encoded with LZMA or LZMA2, the coders 7z writers use for headers.
// `tried` turns true when the coder is one of those: an empty result then means damage.
std::vector<std::uint8_t> decodeHeader(const ReadAt &readAt, const StreamsInfo &s, bool &tried) {
    if (s.folders.size() != 1 || s.packSizes.empty() || s.folders[0].packStreams != 1)
        return {};
    lzma_vli filter;
    if (s.folders[0].id == std::vector<std::uint8_t>{3, 1, 1})
        filter = LZMA_FILTER_LZMA1;
    else if (s.folders[0].id == std::vector<std::uint8_t>{0x21})
        filter = LZMA_FILTER_LZMA2;
    else
        return {};
    tried = true;
    const std::uint64_t start = 32 + s.packPos, len = s.packSizes[0];
    const std::uint64_t outLen = s.folders[0].unpackSize;
    if (s.packPos > (std::uint64_t(1) << 62) || len == 0 || len > kMaxHeader || outLen == 0 ||
        outLen > kMaxHeader)
        return {};
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(len));
    if (!readAt(start, packed.size(), packed.data()))
        return {};
    lzma_filter filters[2] = {{filter, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, s.folders[0].props.data(),
                               s.folders[0].props.size()) != LZMA_OK)
        return {};
    lzma_stream st = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_decoder(&st, filters);
    free(filters[0].options); // the decoder keeps what it needs
    if (init != LZMA_OK)
        return {};
    std::vector<std::uint8_t> out;
    lzma_ret r = LZMA_OK;
    try {
        st.next_in = packed.data();
        st.avail_in = packed.size();
        while (r == LZMA_OK && st.total_out < outLen) {
            if (st.total_out == out.size())
                out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(
                    outLen, std::max<std::size_t>(out.size() * 2, 1u << 20))));
            const std::size_t at = static_cast<std::size_t>(st.total_out);
            st.next_out = out.data() + at;
            st.avail_out = out.size() - at;
            const std::size_t inBefore = st.avail_in;
            r = lzma_code(&st, LZMA_RUN);
            if (r == LZMA_OK && st.avail_in == 0 && st.avail_in == inBefore && st.avail_out > 0)
                break; // input used up
        }
    } catch (const std::bad_alloc &) {
        r = LZMA_MEM_ERROR;
    }
    const std::uint64_t produced = st.total_out;
    lzma_end(&st);
    if ((r != LZMA_OK && r != LZMA_STREAM_END) || produced != outLen)
        return {};
    return out;
}

void noteTroubles(const StreamsInfo &s, ProbeResult &r) {
    for (const Folder &f : s.folders) {
        r.encrypted = r.encrypted || f.encrypted;
        if (r.unsupported.empty())
            r.unsupported = f.unsupported;
        r.memoryNeeded = std::max(r.memoryNeeded, f.memory);
    }
}

// A result that says only that the header is not sound, and why.
ProbeResult damaged(const Error &why) {
    ProbeResult r;
    r.damaged = why;
    return r;
}

// `headerAt`: where the header starts, after the start header; the packed data lies before.
ProbeResult methodsFromHeader(Cursor &c, std::uint64_t headerAt) {
    StreamsInfo s;
    std::vector<std::uint64_t> perFolder;
    std::uint8_t t = c.byte();
    if (t == kMainStreamsInfo) {
        const bool read = readStreamsInfo(c, s, &perFolder);
        if (c.absurd())
            return damaged(Error{Fault::AbsurdCount});
        if (!read)
            return {};
        const Error fault = sizeFault(s, headerAt);
        if (!fault.empty())
            return damaged(fault);
        t = c.byte();
    }
    if (t != kFilesInfo)
        return {};
    const std::uint64_t files = c.count();
    std::vector<bool> empty(static_cast<std::size_t>(files), false);
    std::vector<std::uint32_t> modes(static_cast<std::size_t>(files), 0);
    for (std::uint8_t p = c.byte(); p != kEnd && !c.bad(); p = c.byte()) {
        const std::uint64_t size = c.number();
        if (p == kEmptyStream) {
            auto bits = c.bytes(size);
            for (std::size_t i = 0; i < empty.size() && i / 8 < bits.size(); ++i)
                empty[i] = bits[i / 8] & (0x80 >> (i % 8));
        } else if (p == kAttributes) {
            // Windows attributes; with flag 0x8000 the POSIX mode is in the high 16 bits.
            const auto raw = c.bytes(size);
            Cursor a(raw.data(), raw.size());
            const bool all = a.byte() != 0;
            std::vector<bool> defined(modes.size(), all);
            if (!all) {
                const auto bits = a.bytes((modes.size() + 7) / 8);
                for (std::size_t i = 0; i < defined.size() && i / 8 < bits.size(); ++i)
                    defined[i] = bits[i / 8] & (0x80 >> (i % 8));
            }
            a.byte(); // not external
            for (std::size_t i = 0; i < modes.size() && !a.bad(); ++i) {
                if (!defined[i])
                    continue;
                std::uint32_t v = 0;
                for (int k = 0; k < 4; ++k)
                    v |= static_cast<std::uint32_t>(a.byte()) << (8 * k);
                if ((v & 0x8000) && !a.bad())
                    modes[i] = v >> 16;
            }
        } else {
            c.skip(size);
        }
    }
    if (c.absurd())
        return damaged(Error{Fault::AbsurdCount});
    if (c.bad()) {
        ProbeResult none;
        noteTroubles(s, none);
        return none;
    }
    ProbeResult result;
    noteTroubles(s, result);
    result.modes = std::move(modes);
    for (std::uint64_t n : s.packSizes)
        result.packedData += n;
    for (const Folder &f : s.folders) {
        result.folderMethods.push_back(f.name);
        result.unpackedData += f.unpackSize;
        result.folderCrcs.push_back({f.mainSize, f.hasCrc, f.crc});
    }
    if (s.packCrcs.size() == s.packSizes.size()) {
        std::uint64_t at = 32 + s.packPos; // sizeFault() has kept these within the file
        for (std::size_t i = 0; i < s.packSizes.size(); ++i) {
            if (s.packCrcs[i].first)
                result.packCrcs.push_back({at, s.packSizes[i], i, s.packCrcs[i].second});
            at += s.packSizes[i];
        }
    }
    if (s.folders.size() >= ProbeResult::kNoFolder)
        return {};
    std::vector<std::uint32_t> &out = result.entryFolder;
    out.reserve(empty.size());
    std::size_t folder = 0;
    std::uint64_t used = 0;
    for (std::size_t i = 0; i < empty.size(); ++i) {
        if (empty[i]) {
            out.push_back(ProbeResult::kNoFolder);
            continue;
        }
        while (folder < s.folders.size() && used >= perFolder[folder]) {
            ++folder;
            used = 0;
        }
        if (folder >= s.folders.size())
            return damaged(Error{Fault::EntriesWithoutData});
        out.push_back(static_cast<std::uint32_t>(folder));
        ++used;
    }
    result.ok = true;
    return result;
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + "m";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0)
        return std::to_string(bytes >> 10) + "k";
    return std::to_string(bytes);
}

std::uint32_t le32(const std::vector<std::uint8_t> &v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) |
           (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

} // namespace

std::uint64_t headerBound(std::uint64_t archiveBytes) {
    constexpr std::uint64_t kFloor = 1u << 20, kPerByte = 512;
    return archiveBytes >= (kMaxHeader - kFloor) / kPerByte ? kMaxHeader
                                                            : kFloor + archiveBytes * kPerByte;
}

const std::string &ProbeResult::method(std::size_t i) const {
    static const std::string none;
    if (i >= entryFolder.size() || entryFolder[i] >= folderMethods.size())
        return none;
    return folderMethods[entryFolder[i]];
}

std::string coderName(const std::vector<std::uint8_t> &id, const std::vector<std::uint8_t> &props) {
    using V = std::vector<std::uint8_t>;
    if (id.empty() || id == V{0})
        return "Copy";
    if (id == V{3, 1, 1})
        return props.size() >= 5 ? "LZMA:" + sizeText(le32(props, 1)) : "LZMA";
    if (id == V{0x21}) {
        // One byte: the dictionary size as a mantissa of 2 or 3 and a power of two.
        if (props.size() != 1 || props[0] > 40)
            return "LZMA2";
        const std::uint64_t dict = props[0] == 40
                                       ? 0xFFFFFFFFu
                                       : std::uint64_t(2u | (props[0] & 1u)) << (props[0] / 2 + 11);
        return "LZMA2:" + sizeText(dict);
    }
    if (id == V{3, 4, 1})
        return props.size() >= 5
                   ? "PPMd:o" + std::to_string(props[0]) + ":" + sizeText(le32(props, 1))
                   : "PPMd";
    if (id == V{4, 1, 8})
        return "Deflate";
    if (id == V{4, 2, 2})
        return "BZip2";
    if (id == V{3, 3, 1, 3})
        return "BCJ";
    if (id == V{3})
        return "Delta";
    if (id == V{3, 3, 1, 0x1B})
        return "BCJ2";
    if (id == V{3, 3, 5, 1})
        return "ARM";
    if (id == V{3, 3, 7, 1})
        return "ARMT";
    if (id == V{3, 3, 2, 5})
        return "PPC";
    if (id == V{3, 3, 8, 5})
        return "SPARC";
    if (id == V{4, 1, 9})
        return "Deflate64";
    if (id == V{0xA})
        return "ARM64";
    if (id == V{6, 0xF1, 7, 1})
        return "AES";
    std::string hex;
    for (std::uint8_t b : id) {
        static const char digits[] = "0123456789ABCDEF";
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return "?" + hex;
}

bool coderSupported(const std::vector<std::uint8_t> &id) {
    static const char *const known[] = {"Copy",  "LZMA", "LZMA2", "PPMd", "Deflate", "BZip2", "BCJ",
                                        "Delta", "BCJ2", "ARM",   "ARMT", "PPC",     "SPARC"};
    const std::string name = coderName(id, {});
    for (const char *k : known)
        if (name == k)
            return true;
    return false;
}

bool coderEncrypts(const std::vector<std::uint8_t> &id) {
    return id == std::vector<std::uint8_t>{6, 0xF1, 7, 1};
}

std::uint64_t coderMemory(const std::vector<std::uint8_t> &id,
                          const std::vector<std::uint8_t> &props) {
    using V = std::vector<std::uint8_t>;
    if ((id == V{3, 1, 1} || id == V{3, 4, 1}) && props.size() >= 5)
        return le32(props, 1);
    if (id == V{0x21} && props.size() >= 1 && props[0] <= 40) {
        const unsigned bits = props[0];
        return bits == 40 ? 0xFFFFFFFFull : (std::uint64_t(2) | (bits & 1)) << (bits / 2 + 11);
    }
    return 0;
}

namespace {

// `total` is the archive's size: nothing is allocated for ranges that cannot be in it.
ProbeResult probe(const ReadAt &readAt, std::uint64_t total) {
    std::uint8_t start[32];
    if (!readAt(0, 32, start) || std::memcmp(start, kSignature, sizeof kSignature) != 0)
        return {};
    std::uint64_t off = 0, len = 0;
    for (int i = 0; i < 8; ++i) {
        off |= static_cast<std::uint64_t>(start[12 + i]) << (8 * i);
        len |= static_cast<std::uint64_t>(start[20 + i]) << (8 * i);
    }
    const auto le32At = [](const std::uint8_t *p) {
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    };
    if (updateCrc(0, start + 12, 20) != le32At(start + 8))
        return damaged(Error{Fault::StartHeaderCrc});
    if (len == 0)
        return {}; // an empty archive
    if (off > total || len > total || 32 + off + len > total) {
        ProbeResult cut;
        cut.cutShort = true;
        return cut;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(len));
    if (!readAt(32 + off, raw.size(), raw.data()))
        return {};
    if (updateCrc(0, raw.data(), raw.size()) != le32At(start + 28))
        return damaged(Error{Fault::HeaderCrc});
    Cursor c(raw.data(), raw.size());
    const std::uint8_t t = c.byte();
    if (t == kHeader)
        return methodsFromHeader(c, off);
    if (t != kEncodedHeader)
        return {};
    StreamsInfo s;
    ProbeResult encoded;
    const bool read = readStreamsInfo(c, s, nullptr);
    if (c.absurd())
        return damaged(Error{Fault::AbsurdCount});
    if (!read)
        return encoded;
    noteTroubles(s, encoded); // an encrypted header cannot be read further
    const Error fault = sizeFault(s, off);
    if (!fault.empty())
        return damaged(fault);
    if (s.packSizes.empty() || s.folders.size() != 1)
        return encoded;
    // Refused before anything is unpacked: a header claiming more than a real one could need.
    if (s.folders[0].unpackSize > headerBound(total))
        return damaged(Error{Fault::HeaderTooLarge, s.folders[0].unpackSize, headerBound(total)});
    if (!encoded.unsupported.empty() || encoded.encrypted)
        return encoded;
    bool decoded = false;
    const std::vector<std::uint8_t> header = decodeHeader(readAt, s, decoded);
    if (!decoded)
        return encoded; // a coder we do not unpack headers with: no verdict
    if (header.empty())
        return damaged(Error{Fault::HeaderUnpackFailed});
    if (s.folders[0].hasCrc && updateCrc(0, header.data(), header.size()) != s.folders[0].crc)
        return damaged(Error{Fault::HeaderCrc});
    Cursor h(header.data(), header.size());
    if (h.byte() != kHeader)
        return damaged(Error{Fault::HeaderUnpackFailed});
    return methodsFromHeader(h, off);
}

} // namespace

ProbeResult probeMethodsInBytes(const std::uint8_t *data, std::size_t size) {
    return probe(
        [&](std::uint64_t off, std::size_t len, std::uint8_t *out) {
            if (off > size || len > size - off)
                return false;
            std::memcpy(out, data + off, len);
            return true;
        },
        size);
}

ProbeResult probeMethods(const ArchiveSource &source) {
    if (source.inMemory())
        return probeMethodsInBytes(static_cast<const std::uint8_t *>(source.data), source.size);
    const int fd = ::open(source.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st;
    ProbeResult out;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        out = probe(
            [&](std::uint64_t off, std::size_t len, std::uint8_t *buf) {
                return off <= static_cast<std::uint64_t>(st.st_size) &&
                       pread(fd, buf, len, static_cast<off_t>(off)) == static_cast<ssize_t>(len);
            },
            static_cast<std::uint64_t>(st.st_size));
    ::close(fd);
    return out;
}

} // namespace yk
