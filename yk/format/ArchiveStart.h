#pragma once
// The start header of an archive being written: a blank one goes first, so that the packed data
// can follow at once, and it is filled in when the header has been written at the end.

#include "format/StoreFormat.h"
#include "fs/Error.h"

#include <cstdint>
#include <string>

namespace yk {

// Writes a blank start header and leaves the file position just after it.
bool reserveStartHeader(int fd, Error &error);

// Fills in the start header for `header`, written `headerOffset` bytes after the start header.
// An empty header (an archive of nothing) leaves it blank.
bool fillStartHeader(int fd, const Bytes &header, std::uint64_t headerOffset, Error &error);

} // namespace yk
