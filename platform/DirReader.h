#pragma once
// Directory enumeration with the names' exact bytes.
#include <QByteArray>
#include <functional>
#include <vector>

namespace platform {

class DirectoryHandle;

struct DirEntry {
    QByteArray name;          // exact bytes, never "." or ".."
    bool isDirectory = false; // a symbolic link to a directory counts as a directory
};

// Reads every entry of dir with readdir; d_type decides, and only DT_UNKNOWN and DT_LNK entries
// are stat'ed (an entry that vanished meanwhile is left out; a dangling link is a file). out is
// emptied first and filled in directory order, unsorted. Returns false (and leaves errno) when the
// directory cannot be opened or read; entries read before a read error are kept in out.
// onEntry, when given, sees each entry as it is added, while the reading goes on.
bool readDirectory(const QByteArray &dir, std::vector<DirEntry> &out,
                   const std::function<void(const DirEntry &)> &onEntry = {});
// The same for a directory held open, read from its start.
bool readDirectory(const DirectoryHandle &dir, std::vector<DirEntry> &out,
                   const std::function<void(const DirEntry &)> &onEntry = {});

} // namespace platform
