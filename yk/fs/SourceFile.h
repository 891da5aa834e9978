#pragma once
// The files an add lists, as the file system has them: what a directory holds and what is at a
// path (links not followed), a file read without blocking, and whether it is still as it was.

#include "fs/DirFd.h"
#include "fs/Error.h"
#include "fs/Tree.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace yk {

// The names in directory `dir` ("" for the working directory), sorted, without "." and "..".
bool listDir(const std::string &dir, std::vector<std::string> &names, Error &error);
// The target of the link at `path`, whose state gave `size`.
bool readLink(const std::string &path, off_t size, std::string &target, Error &error);
// Removes `path` only while it is in the state `seen` (as archived): Changed when it is not, Gone
// when nothing is there any more, Failed with `error` when it cannot be removed.
enum class Removal { Removed, Gone, Changed, Failed };
Removal removeIfUnchanged(const std::string &path, const struct stat &seen, Error &error);

// A listed regular file open to be read, without blocking and without following a link: what
// took its place since it was listed (a pipe, a link) must not stall or mislead the add.
class SourceFile {
public:
    // False with `error`: the system's, or ENOENT when `path` is no longer the regular file `id`.
    bool open(const std::string &path, const FileId &id, Error &error);
    const struct stat &state() const { return st_; } // as opened
    // Reads up to `size` bytes: how many, 0 at the end, -1 with `error`.
    ssize_t read(void *to, std::size_t size, Error &error);
    bool unchanged() const; // the same size, modification and change time as when opened

private:
    DirFd fd_;
    struct stat st_ {};
};

} // namespace yk
