#include "format/ArchiveReader.h"

#include "fs/Messages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

std::string ArchiveSource::displayName() const {
    return inMemory() ? msg::inMemoryName() : path;
}

ArchiveInput::ArchiveInput(ArchiveSource source) : source_(std::move(source)) {}

ArchiveInput::~ArchiveInput() {
    reader_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool ArchiveInput::open(std::string &error) {
    if (!source_.inMemory()) {
        // Non-blocking, so that a FIFO or a device given as the archive cannot hold us here;
        // anything but a regular file is refused before a byte is read.
        fd_ = ::open(source_.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            error = msg::errnoText(errno);
            return false;
        }
        struct stat st;
        if (fstat(fd_, &st) != 0) {
            error = msg::errnoText(errno);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            error = msg::notRegularFile(msg::fileKind(st.st_mode));
            return false;
        }
        const int flags = fcntl(fd_, F_GETFL);
        if (flags >= 0)
            fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    }
    // Our own reading of the header comes first: an archive it proves unsound (a header bomb,
    // absurd counts, a wrong CRC or size) never reaches libarchive, which would believe it.
    if (!header().damaged.empty()) {
        error = msg::archiveDamaged() + ": " + header().damaged;
        return false;
    }
    reader_.reset(archive_read_new());
    if (!reader_) {
        error = msg::outOfMemory(0);
        return false;
    }
    archive_read_support_format_7zip(reader_.get());
    const int rc = source_.inMemory()
                       ? archive_read_open_memory(reader_.get(), source_.data, source_.size)
                       : archive_read_open_fd(reader_.get(), fd_, 1 << 16);
    if (rc != ARCHIVE_OK) {
        // Only the signature is checked on opening: a format error means "not a 7z archive".
        error = archive_errno(reader_.get()) == kFormatError ? msg::notAnArchive() : failure();
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

std::string ArchiveInput::failure(struct archive_entry *e, int rc) {
    struct archive *a = reader_.get();
    const int err = a ? archive_errno(a) : 0;
    const char *text = a ? archive_error_string(a) : nullptr;
    if (err == ENOMEM)
        return msg::withDetail(msg::outOfMemory(header().memoryNeeded), text);
    if (err > 0 && err != kFormatError && err != kMisuse)
        return msg::withDetail(msg::errnoText(err), text);
    // libarchive's own failures (no system error): explain them from what the header says.
    if (e && archive_entry_is_encrypted(e))
        return msg::withDetail(msg::notSupported(msg::encryptedData()), text);
    const ProbeResult &h = header();
    if (h.encrypted)
        return msg::withDetail(msg::notSupported(msg::encryptedData()), text);
    if (!h.unsupported.empty())
        return msg::withDetail(msg::notSupported(h.unsupported), text);
    if (h.cutShort)
        return msg::withDetail(looksLikeVolume(source_.path) ? msg::notSupported(msg::multiVolume())
                                                             : msg::cutShort(),
                               text);
    if (e && rc == ARCHIVE_WARN)
        return msg::withDetail(msg::badCrc(), text); // the data decoded but its CRC differs
    if (e)
        return msg::withDetail(msg::dataDamaged(), text);
    return msg::withDetail(msg::archiveDamaged(), text);
}

std::string entryName(struct archive_entry *e) {
    if (const char *u = archive_entry_pathname_utf8(e))
        return u;
    if (const char *p = archive_entry_pathname(e))
        return p;
    return std::string();
}

std::string archiveError(struct archive *a) {
    return describeArchiveFailure(archive_errno(a), archive_error_string(a));
}

std::string describeArchiveFailure(int errnum, const char *text) {
    if (errnum == ENOMEM)
        return msg::withDetail(msg::outOfMemory(0), text);
    if (errnum > 0 && errnum != kFormatError && errnum != kMisuse)
        return msg::withDetail(msg::errnoText(errnum), text);
    return msg::withDetail(msg::libraryFailure(), text);
}

std::uint64_t archiveBytes(const ArchiveSource &source) {
    if (source.inMemory())
        return source.size;
    struct stat st;
    return stat(source.path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool isRegularFile(const std::string &path, std::string *kind) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (kind)
            kind->clear();
        return false;
    }
    if (S_ISREG(st.st_mode))
        return true;
    if (kind)
        *kind = msg::fileKind(st.st_mode);
    return false;
}

} // namespace yk
