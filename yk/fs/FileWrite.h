#pragma once
// Writing a file we create: every byte or why not, and the disk kept busy as we go.
#include "fs/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace yk {

// Writes all `size` bytes, going on after short writes and interruptions. A write that makes no
// progress counts as a full disk. On failure `error` says why.
bool writeAll(int fd, const void *data, std::size_t size, Error &error);

// Hands each few megabytes of a file to the disk as soon as they are written, so that the flush
// before the rename finds little left to do. Only a hint: failures are the flush's to report.
class Writeback {
public:
    // `end`: how far the file has been written.
    void written(int fd, std::uint64_t end);

private:
    static constexpr std::uint64_t kChunk = 4 << 20;
    std::uint64_t from_ = 0; // the file's bytes before this were handed to the disk
};

} // namespace yk
