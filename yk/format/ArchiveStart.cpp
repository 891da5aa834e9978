#include "format/ArchiveStart.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace yk {

namespace {

bool writeStart(int fd, const Bytes &start, Error &error) {
    if (::pwrite(fd, start.data(), start.size(), 0) != static_cast<ssize_t>(start.size())) {
        error = Error::system(errno);
        return false;
    }
    return true;
}

} // namespace

bool reserveStartHeader(int fd, Error &error) {
    if (!writeStart(fd, startHeader(0, 0, 0), error))
        return false;
    if (::lseek(fd, static_cast<off_t>(kStartHeaderSize), SEEK_SET) < 0) {
        error = Error::system(errno);
        return false;
    }
    return true;
}

bool fillStartHeader(int fd, const Bytes &header, std::uint64_t headerOffset, Error &error) {
    return writeStart(fd,
                      header.empty() ? startHeader(0, 0, 0)
                                     : startHeader(headerOffset, header.size(),
                                                   updateCrc(0, header.data(), header.size())),
                      error);
}

} // namespace yk
