#pragma once
// A bounds-checked reader over the bytes of a 7z header; every failure sets `bad` and yields
// zeros, so that a reader checks once at the end.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yk {

class HeaderCursor {
public:
    HeaderCursor(const std::uint8_t *p, std::size_t n) : p_(p), n_(n) {}
    bool bad() const { return bad_; }
    std::size_t left() const { return n_ - i_; }
    std::uint8_t byte() {
        const std::uint8_t *p = take(1);
        return p ? *p : 0;
    }
    // A 7z number: the first byte's leading one bits say how many more bytes follow.
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
    // A little-endian number of `size` bytes (at most 8).
    std::uint64_t le(int size) {
        std::uint64_t v = 0;
        for (int k = 0; k < size; ++k)
            v |= static_cast<std::uint64_t>(byte()) << (8 * k);
        return v;
    }
    std::uint32_t le32() { return static_cast<std::uint32_t>(le(4)); }
    void skip(std::uint64_t k) { take(k); }
    std::vector<std::uint8_t> bytes(std::uint64_t k) {
        const std::uint8_t *p = take(k);
        return p ? std::vector<std::uint8_t>(p, p + k) : std::vector<std::uint8_t>();
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

private:
    // The next `k` bytes; null, and the cursor at the end, when fewer are left.
    const std::uint8_t *take(std::uint64_t k) {
        if (k > n_ - i_) {
            bad_ = true;
            i_ = n_;
            return nullptr;
        }
        i_ += static_cast<std::size_t>(k);
        return p_ + i_ - k;
    }

    const std::uint8_t *p_;
    std::size_t n_;
    std::size_t i_ = 0;
    bool bad_ = false;
    bool absurd_ = false;
};

// The bits of a bit vector (most significant first) into `out`, as many as both hold.
inline void readBits(const std::vector<std::uint8_t> &raw, std::vector<bool> &out) {
    for (std::size_t i = 0; i < out.size() && i / 8 < raw.size(); ++i)
        out[i] = raw[i / 8] & (0x80 >> (i % 8));
}

} // namespace yk
