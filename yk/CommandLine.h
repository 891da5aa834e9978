#pragma once
// Parsing of the archiver's command line: one command word made of a command letter and its
// switch letters, then the archive, then (for add) the names. No dash options exist, so every
// later argument is an operand, whatever it looks like.

#include <optional>
#include <string>
#include <vector>

namespace yk {

enum class Command { Add, Extract, List, Test };

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

// Returns nothing when the arguments (without the program name) do not follow the grammar.
std::optional<Options> parseCommandLine(const std::vector<std::string> &args);

// The archive file an add writes: ARCHIVE plus ".yk" unless it already ends in ".yk" in any case.
std::string archiveFileForAdd(const std::string &archive);

// True when the name ends in ".yk", compared without regard to ASCII case.
bool hasArchiveExtension(const std::string &name);

} // namespace yk
