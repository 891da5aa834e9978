#pragma once
// Opening an archive for reading, from a file or from memory, with only the archive's own format
// enabled: anything else is "not an archive" rather than a surprise. Failures are explained from
// libarchive's error numbers and from what our own reading of the header says (cut short,
// encrypted, a method libarchive lacks); libarchive's own text is kept only as a detail.

#include "format/MethodProbe.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace yk {

struct ReaderFree {
    void operator()(struct archive *a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<struct archive, ReaderFree>;

// An open archive being read, with the means to explain why reading it failed.
class ArchiveInput {
public:
    explicit ArchiveInput(ArchiveSource source);
    ~ArchiveInput();
    ArchiveInput(const ArchiveInput &) = delete;
    ArchiveInput &operator=(const ArchiveInput &) = delete;

    // Opens the archive: a file must be a regular file (a FIFO or a device is refused at once,
    // never opened in a way that blocks). False with `error` set.
    bool open(Error &error);

    struct archive *get() const {
        return reader_.get();
    }
    const ArchiveSource &source() const { return source_; }
    int fd() const { return fd_; } // the archive file, -1 for one in memory
    // Copies `n` of the archive's bytes from offset `at`: false when they are not all there.
    bool readAt(std::uint64_t at, void *to, std::size_t n) const;

    // The header as our own reader understands it; read once, on first use.
    const ProbeResult &header();

    // What libarchive's last failure was; `e` is the entry being read, if any, and `rc` what
    // the failing call returned.
    Error failure(struct archive_entry *e = nullptr, int rc = ARCHIVE_FATAL);

private:
    ArchiveSource source_;
    int fd_ = -1;
    Reader reader_; // after fd_: freed before it is closed
    std::optional<ProbeResult> header_;
};

// The entry's name as UTF-8 text, whatever the locale.
std::string entryName(struct archive_entry *e);

// libarchive's last failure on `a`, by its error number, with libarchive's own text as the
// detail. For writers and whatever has no header to consult.
Error archiveError(struct archive *a);
Error archiveFailure(int errnum, const char *text);

// The archive's size in bytes (file length or buffer size); 0 when unknown.
std::uint64_t archiveBytes(const ArchiveSource &source);

// Whether `path` names a regular file (after links).
bool isRegularFile(const std::string &path);

} // namespace yk
