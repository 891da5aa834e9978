#pragma once
// What the command line asks of a command: the command, its switches, the archive and the names.

#include "cli/Grammar.h"

#include <string>
#include <vector>

namespace yk {

struct Options : CommandWord {
    bool on(Switch s) const { return switches.on(s); }

    std::string archive;
    std::vector<std::string> names;
};

// The archive file an add writes: ARCHIVE plus ".yk" unless it already ends in ".yk" in any case.
inline std::string archiveFileForAdd(const std::string &archive) {
    return hasArchiveExtension(archive) ? archive : archive + ArchiveExtension;
}

} // namespace yk
