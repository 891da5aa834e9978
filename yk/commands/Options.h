#pragma once
// What the command line asks of a command: the command, its switches, the archive and the names.

#include "cli/Grammar.h"

#include <string>
#include <vector>

namespace yk {

struct Options {
    Command command = Command::List;
    // add
    bool hidden = false;    // s: wildcards also match dot files
    bool storeDirs = false; // d: store directory entries
    bool noPaths = false;   // e: store (add) or write (extract) names without paths
    bool move = false;      // m: delete sources once the archive is in place
    bool recurse = false;   // r: wildcards match in every subdirectory
    bool literal = false;   // n: every name is a file name, '*' and '?' included
    int method = 1;         // 0 copy, 1 LZMA, 2 PPMd
    // extract
    bool systemAttr = false;  // a: accepted, nothing to do on POSIX
    bool currentTime = false; // t: extracted files get the current time
    bool yes = false;         // y: overwrite without asking
    // list
    bool full = false; // f
    // add, extract, test
    bool quiet = false; // q

    std::string archive;
    std::vector<std::string> names;
};

// The archive file an add writes: ARCHIVE plus ".yk" unless it already ends in ".yk" in any case.
inline std::string archiveFileForAdd(const std::string &archive) {
    return hasArchiveExtension(archive) ? archive : archive + ArchiveExtension;
}

} // namespace yk
