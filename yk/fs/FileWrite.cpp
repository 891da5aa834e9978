#include "fs/FileWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace yk {

bool writeAll(int fd, const void *data, std::size_t size, Error &error) {
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = Error::system(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void Writeback::written(int fd, std::uint64_t end) {
#ifdef SYNC_FILE_RANGE_WRITE
    if (end - from_ < kChunk)
        return;
    sync_file_range(fd, static_cast<off_t>(from_), static_cast<off_t>(end - from_),
                    SYNC_FILE_RANGE_WRITE);
    from_ = end;
#else
    (void)fd;
    (void)end;
#endif
}

} // namespace yk
