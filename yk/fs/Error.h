#pragma once
// What went wrong below the commands, as a value: which failure, its number (errno, or a figure
// of the archive) and what it concerns. No words here: commands/Messages turns it into the text
// the user reads. A function that can fail returns false and fills an Error.

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

namespace yk {

enum class Fault : std::uint8_t {
    None,
    System,       // code: errno
    NotRegular,   // code: the st_mode found
    OutOfMemory,  // code: the bytes the archive asks for, 0 when unknown
    NotAnArchive, // not the 7z format
    Library,      // libarchive failed without a system error
    // Reading an archive: what a failure of libarchive turns out to be.
    Encrypted,
    MultiVolume,
    CutShort,
    BadCrc,
    DataDamaged,
    ArchiveDamaged,
    Method,     // subject: a coder that cannot be decoded
    FilterWith, // subject: a filter applied after the compressor `other`
    // The header proves the archive unsound.
    StartHeaderCrc,
    HeaderCrc,
    AbsurdCount,
    EntriesWithoutData,
    EntriesExceedFolder,
    PackedBeyondHeader,
    CopySizeMismatch, // code: the size declared, bound: the size packed
    HeaderTooLarge,   // code: the size declared, bound: the most allowed
    HeaderUnpackFailed,
    FolderCrc,       // code: the folder, from 1
    PackedStreamCrc, // code: the packed stream, from 1
    // Writing an archive.
    MoreDataThanDeclared,
    NoMemoryToCompress,
    BadCompressionLevel,
    CompressorWontStart,
    CompressorFailed,
    NameTaken, // something appeared under the name a file was to take
};

struct Error {
    Error() = default;
    Error(Fault f, std::uint64_t c = 0, std::uint64_t b = 0) : what(f), code(c), bound(b) {}
    Error(Fault f, std::string s, std::string o = {})
        : what(f), subject(std::move(s)), other(std::move(o)) {}

    Fault what = Fault::None;
    std::uint64_t code = 0;  // errno for System, else the figure the fault names
    std::uint64_t bound = 0; // a second figure, where the fault names two
    std::string subject;     // the coder or filter concerned
    std::string other;       // a second name, where the fault names two
    std::string detail;      // libarchive's own words, shown after the reason

    bool empty() const { return what == Fault::None; }
    static Error system(int err) { return Error(Fault::System, static_cast<std::uint64_t>(err)); }
};

// A system call's outcome: `ok`, or false with `error` made from errno.
inline bool systemCall(bool ok, Error &error) {
    if (!ok)
        error = Error::system(errno);
    return ok;
}

} // namespace yk
