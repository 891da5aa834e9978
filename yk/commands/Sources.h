#pragma once
// Turns the names of an add command into the list of things to store: files, symbolic links and
// (with "d") directories, each with the name it gets in the archive. Problems are reported through
// the console and counted; nothing here opens a file for reading.

#include "commands/Console.h"
#include "commands/Options.h"
#include "fs/SourceFile.h"

#include <string>
#include <vector>

namespace yk {

struct Source {
    enum Kind { File, Directory, Symlink };
    Kind kind = File;
    std::string diskPath; // as found, relative to the working directory (or as given)
    std::string stored;   // archive name, already UTF-8 (see Names.h)
    FileId id;
};

struct SourceList {
    std::vector<Source> items;
    int failures = 0; // reported problems: missing names, unreadable directories, special files
};

// `exclude` is the archive itself (when it exists), which is never added into itself.
SourceList collectSources(const Options &options, const FileId *exclude, Console &console);

} // namespace yk
