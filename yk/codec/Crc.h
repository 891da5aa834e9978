#pragma once
// The CRC-32 of 7z (zlib's), the one checksum of the archiver.

#include <cstddef>
#include <cstdint>

namespace yk {

// Goes on from `crc` over any number of bytes.
std::uint32_t updateCrc(std::uint32_t crc, const void *data, std::size_t size);

// The CRC of two runs of bytes one after the other, from the CRC of each and the second's size.
std::uint32_t joinCrc(std::uint32_t first, std::uint32_t second, std::uint64_t secondSize);

} // namespace yk
