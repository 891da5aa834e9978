#include "format/EntryStream.h"

#include "format/ArchiveStart.h"

#include <algorithm>

namespace yk {

bool EntryStream::open(Error &error) {
    return reserveStartHeader(fd_, error);
}

bool EntryStream::add(const StoreEntry &entry, Error &error) {
    if (!finishEntry(error))
        return false;
    entries_.push_back(entry);
    entries_.back().crc = 0;
    inEntry_ = true;
    remaining_ = entry.size;
    return true;
}

bool EntryStream::write(const void *data, std::size_t size, Error &error) {
    if (!inEntry_ || size > remaining_) {
        error = Error{Fault::MoreDataThanDeclared};
        return false;
    }
    remaining_ -= size;
    return take(static_cast<const std::uint8_t *>(data), size, error);
}

bool EntryStream::finishEntry(Error &error) {
    if (!inEntry_)
        return true;
    static const std::uint8_t zeros[1 << 16] = {};
    while (remaining_ > 0) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, sizeof zeros));
        if (!write(zeros, n, error))
            return false;
    }
    inEntry_ = false;
    entryDone();
    return true;
}

bool EntryStream::writeAll(const void *data, std::size_t size, Error &error) {
    if (!yk::writeAll(fd_, data, size, error))
        return false;
    offset_ += size;
    hintWriteback();
    return true;
}

void EntryStream::hintWriteback() {
    writeback_.written(fd_, kStartHeaderSize + offset_);
}

bool EntryStream::writeHeader(const Bytes &header, Error &error) {
    if (!writeAll(header.data(), header.size(), error))
        return false;
    return fillStartHeader(fd_, header, offset_ - header.size(), error);
}

} // namespace yk
