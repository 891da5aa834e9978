#include "format/MethodProbe.h"

#include "codec/Crc.h"
#include "codec/Lzma2Chunks.h"
#include "format/HeaderCursor.h"
#include "format/SevenZipIds.h"

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

enum class Kind { Compressor, Filter, Cipher };
// Where the properties give the dictionary (or model) size: none, 4 bytes after a first byte
// (PPMd's first byte being its model order), LZMA2's one byte.
enum class Size { None, Le32, OrderLe32, Lzma2 };

struct Coder {
    std::vector<std::uint8_t> id;
    const char *name;
    Kind kind;
    bool decoded; // by libarchive
    Size size = Size::None;
};

const Coder kCoders[] = {
    {{0}, "Copy", Kind::Compressor, true},
    {{3, 1, 1}, "LZMA", Kind::Compressor, true, Size::Le32},
    {{0x21}, "LZMA2", Kind::Compressor, true, Size::Lzma2},
    {{3, 4, 1}, "PPMd", Kind::Compressor, true, Size::OrderLe32},
    {{4, 1, 8}, "Deflate", Kind::Compressor, true},
    {{4, 2, 2}, "BZip2", Kind::Compressor, true},
    {{3, 3, 1, 3}, "BCJ", Kind::Filter, true},
    {{3}, "Delta", Kind::Filter, true},
    {{3, 3, 1, 0x1B}, "BCJ2", Kind::Filter, true},
    {{3, 3, 5, 1}, "ARM", Kind::Filter, true},
    {{3, 3, 7, 1}, "ARMT", Kind::Filter, true},
    {{3, 3, 2, 5}, "PPC", Kind::Filter, true},
    {{3, 3, 8, 5}, "SPARC", Kind::Filter, true},
    {{4, 1, 9}, "Deflate64", Kind::Compressor, false},
    {{0xA}, "ARM64", Kind::Filter, false},
    {{6, 0xF1, 7, 1}, "AES", Kind::Cipher, false},
};

// An empty identifier is Copy's too.
const Coder *find(const std::vector<std::uint8_t> &id) {
    if (id.empty())
        return &kCoders[0];
    for (const Coder &c : kCoders)
        if (c.id == id)
            return &c;
    return nullptr;
}

bool isFilter(const std::string &name) {
    for (const Coder &c : kCoders)
        if (c.kind == Kind::Filter && name == c.name)
            return true;
    return false;
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + "m";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0)
        return std::to_string(bytes >> 10) + "k";
    return std::to_string(bytes);
}

// libarchive hands LZMA and LZMA2 data to liblzma with its filters (ARM Thumb only after LZMA2
// in practice); after Copy, Deflate, BZip2 and PPMd it applies only the x86 ones itself.
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
    std::uint64_t outs = 0; // outputs of its coders
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

// Reads `n` CRCs, each maybe undefined; into `out` when given (flag and value).
void readDigests(HeaderCursor &c, std::uint64_t n,
                 std::vector<std::pair<bool, std::uint32_t>> *out = nullptr) {
    const bool all = c.byte() != 0;
    if (n > (all ? c.left() / 4 + 1 : c.left() * 8 + 8)) {
        c.skip(~0ull); // more than the header holds: marks bad
        return;
    }
    std::vector<bool> defined(static_cast<std::size_t>(n), all);
    if (!all)
        readBits(c.bytes((n + 7) / 8), defined);
    if (out)
        out->assign(static_cast<std::size_t>(n), {false, 0});
    for (std::uint64_t i = 0; i < n && !c.bad(); ++i) {
        if (!defined[static_cast<std::size_t>(i)])
            continue;
        const std::uint32_t v = c.le32();
        if (out)
            (*out)[static_cast<std::size_t>(i)] = {true, v};
    }
}

bool readFolder(HeaderCursor &c, Folder &f) {
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
    f.outs = outs;
    f.packStreams = packed;
    f.name = coderName(f.id, f.props);
    f.copy = coders == 1 && f.name == "Copy";
    std::string compressor;
    const std::string filter = filterNotApplied(names, compressor);
    if (f.unsupported.empty() && !filter.empty())
        f.unsupported = Error(Fault::FilterWith, filter, compressor);
    return !c.bad();
}

bool readPackInfo(HeaderCursor &c, StreamsInfo &s) {
    s.packPos = c.number();
    const std::uint64_t n = c.count();
    for (std::uint8_t t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
        if (t == kSize)
            for (std::uint64_t i = 0; i < n; ++i)
                s.packSizes.push_back(c.number());
        else if (t == kCrc)
            readDigests(c, n, &s.packCrcs);
        else
            return false;
    }
    return true;
}

bool readUnpackInfo(HeaderCursor &c, StreamsInfo &s) {
    if (c.byte() != kFolder)
        return false;
    const std::uint64_t n = c.count();
    if (c.byte() != 0) // folders stored elsewhere: not written by anyone we know
        return false;
    s.folders.resize(static_cast<std::size_t>(n));
    for (auto &f : s.folders)
        if (!readFolder(c, f))
            return false;
    if (c.byte() != kCodersUnpackSize)
        return false;
    for (Folder &f : s.folders)
        for (std::uint64_t k = 0; k < f.outs; ++k) {
            const std::uint64_t size = c.number();
            if (k + 1 == f.outs)
                f.unpackSize = size; // the last output is the folder's data
            if (k == f.mainOut)
                f.mainSize = size;
        }
    for (std::uint8_t t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
        if (t != kCrc)
            return false;
        std::vector<std::pair<bool, std::uint32_t>> crcs;
        readDigests(c, n, &crcs);
        for (std::size_t i = 0; i < crcs.size() && i < s.folders.size(); ++i) {
            s.folders[i].hasCrc = crcs[i].first;
            s.folders[i].crc = crcs[i].second;
        }
    }
    return true;
}

// The sizes of each folder's entries but its last: they must fit in the folder.
void readEntrySizes(HeaderCursor &c, StreamsInfo &s) {
    for (auto &f : s.folders) {
        std::uint64_t sum = 0;
        for (std::uint64_t k = 1; k < f.streams && !c.bad(); ++k) {
            const std::uint64_t size = c.number();
            sum = size > f.unpackSize - std::min(sum, f.unpackSize) ? ~0ull : sum + size;
        }
        if (sum > f.unpackSize)
            s.badSizes = true; // the entries hold more than their folder
    }
}

bool readSubStreamsInfo(HeaderCursor &c, StreamsInfo &s) {
    for (std::uint8_t t = c.byte(); t != kEnd && !c.bad(); t = c.byte()) {
        if (t == kNumUnpackStream) {
            // Every entry but a folder's last needs its size written: a count beyond what the
            // header holds is a lie.
            for (auto &f : s.folders) {
                f.streams = c.number();
                if (f.streams > c.left() + 1)
                    c.markAbsurd();
            }
        } else if (t == kSize) {
            readEntrySizes(c, s);
        } else if (t == kCrc) {
            std::uint64_t n = 0;
            for (auto &f : s.folders)
                n += f.streams;
            readDigests(c, n);
        } else {
            return false;
        }
    }
    return true;
}

bool readStreamsInfo(HeaderCursor &c, StreamsInfo &s) {
    std::uint8_t t = c.byte();
    if (t == kPackInfo) {
        if (!readPackInfo(c, s))
            return false;
        t = c.byte();
    }
    if (t == kUnpackInfo) {
        if (!readUnpackInfo(c, s))
            return false;
        t = c.byte();
    }
    if (t == kSubStreamsInfo) {
        if (!readSubStreamsInfo(c, s))
            return false;
        t = c.byte();
    }
    return t == kEnd && !c.bad();
}

// Reads `len` bytes at `off` of the archive into `out`; false when they are not there.
using ReadAt = std::function<bool(std::uint64_t off, std::size_t len, std::uint8_t *out)>;

// Unpacks a header encoded with LZMA or LZMA2, the coders 7z writers use for headers.
// `tried` turns true when the coder is one of those: an empty result then means damage.
std::vector<std::uint8_t> decodeHeader(const ReadAt &readAt, const StreamsInfo &s, bool &tried) {
    if (s.folders.size() != 1 || s.packSizes.empty() || s.folders[0].packStreams != 1)
        return {};
    const std::string coder = coderName(s.folders[0].id, {});
    if (coder != "LZMA" && coder != "LZMA2")
        return {};
    const lzma_vli filter = coder == "LZMA" ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA2;
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

// Windows attributes, one per entry; with flag 0x8000 the POSIX mode is in the high 16 bits.
void readModes(const std::vector<std::uint8_t> &raw, std::vector<std::uint32_t> &modes) {
    HeaderCursor a(raw.data(), raw.size());
    const bool all = a.byte() != 0;
    std::vector<bool> defined(modes.size(), all);
    if (!all)
        readBits(a.bytes((modes.size() + 7) / 8), defined);
    a.byte(); // not external
    for (std::size_t i = 0; i < modes.size() && !a.bad(); ++i) {
        if (!defined[i])
            continue;
        const std::uint32_t v = a.le32();
        if ((v & 0x8000) && !a.bad())
            modes[i] = v >> 16;
    }
}

// The entries' properties that matter here: which have no data, and their modes.
void readFilesInfo(HeaderCursor &c, std::vector<bool> &empty, std::vector<std::uint32_t> &modes) {
    const std::uint64_t files = c.count();
    empty.assign(static_cast<std::size_t>(files), false);
    modes.assign(static_cast<std::size_t>(files), 0);
    for (std::uint8_t p = c.byte(); p != kEnd && !c.bad(); p = c.byte()) {
        const std::uint64_t size = c.number();
        if (p == kEmptyStream)
            readBits(c.bytes(size), empty);
        else if (p == kAttributes)
            readModes(c.bytes(size), modes);
        else
            c.skip(size);
    }
}

// What the streams say of the folders: their methods, sizes and CRCs.
void describeFolders(const StreamsInfo &s, ProbeResult &result) {
    noteTroubles(s, result);
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
}

// The folder of each entry with data, in order, each folder holding as many as it says.
bool assignFolders(const StreamsInfo &s, const std::vector<bool> &empty,
                   std::vector<std::uint32_t> &out) {
    out.reserve(empty.size());
    std::size_t folder = 0;
    std::uint64_t used = 0;
    for (std::size_t i = 0; i < empty.size(); ++i) {
        if (empty[i]) {
            out.push_back(ProbeResult::kNoFolder);
            continue;
        }
        while (folder < s.folders.size() && used >= s.folders[folder].streams) {
            ++folder;
            used = 0;
        }
        if (folder >= s.folders.size())
            return false;
        out.push_back(static_cast<std::uint32_t>(folder));
        ++used;
    }
    return true;
}

// `headerAt`: where the header starts, after the start header; the packed data lies before.
ProbeResult methodsFromHeader(HeaderCursor &c, std::uint64_t headerAt) {
    StreamsInfo s;
    std::uint8_t t = c.byte();
    if (t == kMainStreamsInfo) {
        const bool read = readStreamsInfo(c, s);
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
    std::vector<bool> empty;
    ProbeResult result;
    readFilesInfo(c, empty, result.modes);
    if (c.absurd())
        return damaged(Error{Fault::AbsurdCount});
    if (c.bad()) {
        ProbeResult none;
        noteTroubles(s, none);
        return none;
    }
    describeFolders(s, result);
    if (s.folders.size() >= ProbeResult::kNoFolder)
        return {};
    if (!assignFolders(s, empty, result.entryFolder))
        return damaged(Error{Fault::EntriesWithoutData});
    result.ok = true;
    return result;
}

} // namespace

std::uint64_t headerBound(std::uint64_t archiveBytes) {
    constexpr std::uint64_t kFloor = 1u << 20, kPerByte = 512;
    return archiveBytes >= (kMaxHeader - kFloor) / kPerByte ? kMaxHeader
                                                            : kFloor + archiveBytes * kPerByte;
}

std::string coderName(const std::vector<std::uint8_t> &id, const std::vector<std::uint8_t> &props) {
    const Coder *c = find(id);
    if (!c) {
        std::string hex;
        for (std::uint8_t b : id) {
            static const char digits[] = "0123456789ABCDEF";
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        return "?" + hex;
    }
    const bool sized = c->size == Size::Lzma2 ? props.size() == 1 && props[0] <= 40
                                              : c->size != Size::None && props.size() >= 5;
    if (!sized)
        return c->name;
    const std::string order =
        c->size == Size::OrderLe32 ? ":o" + std::to_string(props[0]) : std::string();
    return c->name + order + ":" + sizeText(coderMemory(id, props));
}

bool coderSupported(const std::vector<std::uint8_t> &id) {
    const Coder *c = find(id);
    return c && c->decoded;
}

bool coderEncrypts(const std::vector<std::uint8_t> &id) {
    const Coder *c = find(id);
    return c && c->kind == Kind::Cipher;
}

std::uint64_t coderMemory(const std::vector<std::uint8_t> &id,
                          const std::vector<std::uint8_t> &props) {
    const Coder *c = find(id);
    if (c && c->size == Size::Lzma2)
        return props.size() >= 1 && props[0] <= 40 ? lzma2DictSize(props[0]) : 0;
    return c && c->size != Size::None && props.size() >= 5 ? HeaderCursor(&props[1], 4).le32() : 0;
}

const std::string &ProbeResult::method(std::size_t i) const {
    static const std::string none;
    if (i >= entryFolder.size() || entryFolder[i] >= folderMethods.size())
        return none;
    return folderMethods[entryFolder[i]];
}

namespace {

// `total` is the archive's size: nothing is allocated for ranges that cannot be in it.
ProbeResult probe(const ReadAt &readAt, std::uint64_t total) {
    std::uint8_t start[32];
    if (!readAt(0, 32, start) || std::memcmp(start, kSignature, sizeof kSignature) != 0)
        return {};
    HeaderCursor fields(start + 8, 24);
    const std::uint32_t startCrc = fields.le32();
    const std::uint64_t off = fields.le(8), len = fields.le(8);
    const std::uint32_t headerCrc = fields.le32();
    if (updateCrc(0, start + 12, 20) != startCrc)
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
    if (updateCrc(0, raw.data(), raw.size()) != headerCrc)
        return damaged(Error{Fault::HeaderCrc});
    HeaderCursor c(raw.data(), raw.size());
    const std::uint8_t t = c.byte();
    if (t == kHeader)
        return methodsFromHeader(c, off);
    if (t != kEncodedHeader)
        return {};
    StreamsInfo s;
    ProbeResult encoded;
    const bool read = readStreamsInfo(c, s);
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
    HeaderCursor h(header.data(), header.size());
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
