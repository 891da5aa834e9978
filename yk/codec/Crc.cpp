#include "codec/Crc.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace yk {

// zlib's crc32 takes at most UINT_MAX bytes at a time.
std::uint32_t updateCrc(std::uint32_t crc, const void *data, std::size_t size) {
    const auto *p = static_cast<const Bytef *>(data);
    while (size > 0) {
        const uInt n = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
        crc = static_cast<std::uint32_t>(crc32(crc, p, n));
        p += n;
        size -= n;
    }
    return crc;
}

std::uint32_t joinCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondSize) {
    return static_cast<std::uint32_t>(
        crc32_combine(first, second, static_cast<z_off_t>(secondSize)));
}

} // namespace yk
