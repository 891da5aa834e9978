#pragma once
// Opening an archive for reading, from a file or from memory, with only the archive's own format
// enabled: anything else is "not an archive" rather than a surprise.

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace yk {

struct ReaderFree {
    void operator()(struct archive *a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<struct archive, ReaderFree>;

// Where the archive bytes come from: a file, or a buffer (the fuzzing harness).
struct ArchiveSource {
    std::string path;
    const void *data = nullptr;
    std::size_t size = 0;

    static ArchiveSource file(const std::string &p) { return ArchiveSource{p, nullptr, 0}; }
    static ArchiveSource memory(const void *d, std::size_t n) { return ArchiveSource{"", d, n}; }
    bool inMemory() const { return data != nullptr || path.empty(); }
    std::string displayName() const { return inMemory() ? std::string("(память)") : path; }
};

// Opens the source; on failure returns null and sets `error` to a reason.
Reader openArchive(const ArchiveSource &source, std::string &error);

// The entry's name as UTF-8 text, whatever the locale.
std::string entryName(struct archive_entry *e);

// libarchive's last message for `a`, or a generic reason when it has none.
std::string archiveError(struct archive *a);

// A Russian reason for one of libarchive's messages, keeping the original in parentheses.
std::string explainArchiveError(const std::string &raw);

// The archive's size in bytes (file length or buffer size); 0 when unknown.
std::uint64_t archiveBytes(const ArchiveSource &source);

} // namespace yk
