#include "format/Coders.h"

#include "codec/Lzma2Chunks.h"

namespace yk {

namespace {

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

std::uint32_t le32(const std::vector<std::uint8_t> &v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) |
           (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

} // namespace

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
    return c && c->size != Size::None && props.size() >= 5 ? le32(props, 1) : 0;
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

} // namespace yk
