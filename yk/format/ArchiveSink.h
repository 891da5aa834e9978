#pragma once
// Where an add writes its entries: libarchive's 7z writer for the compressing methods, or the
// archiver's own writer for plain copies, which streams the data straight into the archive file
// (libarchive's writer keeps all data in a temporary file until the end and then copies it).
// Entries arrive as libarchive entries either way: new files and the old archive's entries alike.

#include "fs/Error.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace yk {

class ArchiveSink {
public:
    virtual ~ArchiveSink() = default;
    // Each returns false with `error` set when the archive cannot be written.
    // Starts the archive; openSink() calls it.
    virtual bool open(Error &error) = 0;
    // Begins an entry; a regular file's data (archive_entry_size bytes) follows through data().
    virtual bool header(struct archive_entry *e, Error &error) = 0;
    virtual bool data(const void *bytes, std::size_t size, Error &error) = 0;
    // Completes the archive (not yet flushed to disk).
    virtual bool close(Error &error) = 0;
    // Gives up the archive: nothing more is written to it, not even on destruction.
    virtual void abandon() {}
};

// A sink writing to `fd` with method 0 (copy), 1 (LZMA2, on every core) or 2 (PPMd). Null with
// `error` set when it cannot be set up.
std::unique_ptr<ArchiveSink> openSink(int method, int fd, Error &error);

} // namespace yk
