#include "format/ArchiveReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace yk {

namespace {
// libarchive's own error numbers on POSIX (its headers leave them unnamed): a malformed archive,
// and a caller's mistake. Anything else positive is the system's errno; -1 is "other".
constexpr int kFormatError = EILSEQ;
constexpr int kMisuse = EINVAL;

// "name.7z.001", "name.002": the numbered parts a multi-volume archive is split into.
bool looksLikeVolume(const std::string &path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != 4)
        return false;
    for (std::size_t i = dot + 1; i < path.size(); ++i)
        if (path[i] < '0' || path[i] > '9')
            return false;
    return true;
}
} // namespace

ArchiveInput::ArchiveInput(ArchiveSource source) : source_(std::move(source)) {}

ArchiveInput::~ArchiveInput() {
    reader_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool ArchiveInput::open(Error &error) {
    if (!source_.inMemory()) {
        // Non-blocking, so that a FIFO or a device given as the archive cannot hold us here;
        // anything but a regular file is refused before a byte is read.
        fd_ = ::open(source_.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st;
        if (fd_ < 0 || fstat(fd_, &st) != 0) {
            error = Error::system(errno);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            error = Error{Fault::NotRegular, st.st_mode};
            return false;
        }
        const int flags = fcntl(fd_, F_GETFL);
        if (flags >= 0)
            fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    }
    // Our own reading of the header comes first: an archive it proves unsound (a header bomb,
    // absurd counts, a wrong CRC or size) never reaches libarchive, which would believe it.
    if (!header().damaged.empty()) {
        error = header().damaged;
        return false;
    }
    reader_.reset(archive_read_new());
    if (!reader_) {
        error = Error{Fault::OutOfMemory};
        return false;
    }
    archive_read_support_format_7zip(reader_.get());
    const int rc = source_.inMemory()
                       ? archive_read_open_memory(reader_.get(), source_.data, source_.size)
                       : archive_read_open_fd(reader_.get(), fd_, 1 << 16);
    if (rc != ARCHIVE_OK) {
        // Only the signature is checked on opening: a format error means "not a 7z archive".
        error =
            archive_errno(reader_.get()) == kFormatError ? Error{Fault::NotAnArchive} : failure();
        reader_.reset();
        return false;
    }
    return true;
}

const ProbeResult &ArchiveInput::header() {
    if (!header_)
        header_ = probeMethods(source_);
    return *header_;
}

Error ArchiveInput::failure(struct archive_entry *e, int rc) {
    struct archive *a = reader_.get();
    Error error = archiveFailure(a ? archive_errno(a) : 0, a ? archive_error_string(a) : nullptr);
    if (error.what == Fault::OutOfMemory)
        error.code = header().memoryNeeded;
    if (error.what != Fault::Library)
        return error;
    const std::string detail = error.detail;
    // libarchive's own failures (no system error): explain them from what the header says.
    const ProbeResult &h = header();
    if ((e && archive_entry_is_encrypted(e)) || h.encrypted)
        error.what = Fault::Encrypted;
    else if (!h.unsupported.empty())
        (error = h.unsupported).detail = detail;
    else if (h.cutShort)
        error.what = looksLikeVolume(source_.path) ? Fault::MultiVolume : Fault::CutShort;
    else if (e) // with ARCHIVE_WARN the data decoded but its CRC differs
        error.what = rc == ARCHIVE_WARN ? Fault::BadCrc : Fault::DataDamaged;
    else
        error.what = Fault::ArchiveDamaged;
    return error;
}

std::string entryName(struct archive_entry *e) {
    if (const char *u = archive_entry_pathname_utf8(e))
        return u;
    if (const char *p = archive_entry_pathname(e))
        return p;
    return std::string();
}

Error archiveError(struct archive *a) {
    return archiveFailure(archive_errno(a), archive_error_string(a));
}

Error archiveFailure(int errnum, const char *text) {
    Error error{Fault::Library};
    if (errnum == ENOMEM)
        error.what = Fault::OutOfMemory;
    else if (errnum > 0 && errnum != kFormatError && errnum != kMisuse)
        error = Error::system(errnum);
    error.detail = text ? text : "";
    return error;
}

bool ArchiveInput::readAt(std::uint64_t at, void *to, std::size_t n) const {
    if (source_.inMemory()) {
        if (at > source_.size || n > source_.size - at)
            return false;
        std::memcpy(to, static_cast<const std::uint8_t *>(source_.data) + at, n);
        return true;
    }
    return fd_ >= 0 && pread(fd_, to, n, static_cast<off_t>(at)) == static_cast<ssize_t>(n);
}

std::uint64_t archiveBytes(const ArchiveSource &source) {
    if (source.inMemory())
        return source.size;
    struct stat st;
    return stat(source.path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool isRegularFile(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace yk
