#pragma once
// What the archive writers share: the archive file with its start header reserved first and
// filled in last, and the entries as they come, each one's data through write(). Fewer bytes
// than announced are made up with zeros, more are refused, so that the archive always agrees
// with its header.

#include "format/StoreFormat.h"
#include "fs/FileWrite.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace yk {

class EntryStream {
public:
    virtual ~EntryStream() = default;
    EntryStream(const EntryStream &) = delete;
    EntryStream &operator=(const EntryStream &) = delete;

    // Writes the placeholder start header.
    virtual bool open(Error &error);

    // Begins an entry; its data (when `entry.size` is not 0) follows through write(). The entry
    // ends with the next add() or at the end.
    bool add(const StoreEntry &entry, Error &error);
    bool write(const void *data, std::size_t size, Error &error);
    // Writes what is left, the header after the data, and fills in the start header. The file
    // is not flushed.
    virtual bool close(Error &error) = 0;

protected:
    explicit EntryStream(int fd) : fd_(fd) {}

    // The current entry's next bytes, and the end of its data.
    virtual bool take(const std::uint8_t *data, std::size_t size, Error &error) = 0;
    virtual void entryDone() {}
    bool finishEntry(Error &error);

    // Appends to the file, counting the bytes (see `offset_`) and letting the disk work on them.
    bool writeAll(const void *data, std::size_t size, Error &error);
    void hintWriteback();
    // Writes the header after the data and fills in the start header. The file is not flushed.
    bool writeHeader(const Bytes &header, Error &error);

    const int fd_;
    std::uint64_t offset_ = 0; // bytes written after the start header
    std::vector<StoreEntry> entries_;

private:
    bool inEntry_ = false;
    std::uint64_t remaining_ = 0;
    Writeback writeback_;
};

} // namespace yk
