#pragma once
// Names in a directory held open, as extraction meets them: no step follows a link. A failure is
// an Error (errno), never words.

#include "fs/Error.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace yk {

// A file's identity, whatever its name.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    static FileId of(const struct stat &st) { return {st.st_dev, st.st_ino}; }
    bool operator==(const FileId &o) const { return dev == o.dev && ino == o.ino; }
    bool operator<(const FileId &o) const { return dev < o.dev || (dev == o.dev && ino < o.ino); }
};

// What is at `path` itself (a link, not its target, unless `followLink`).
bool pathState(const std::string &path, struct stat &st, Error &error, bool followLink = false);
// What is at `name` in `dir` (AT_FDCWD: the working directory), a link itself and not where it
// leads; with an empty name, what `dir` is open on.
bool statAt(int dir, const std::string &name, struct stat &st, Error &error);
// The directory `name` in `dir`, opened not through a link (ELOOP, ENOTDIR): its descriptor or -1.
int openDirAt(int dir, const std::string &name, Error &error);
// The working directory's subdirectory `parts`, opened one level at a time as openDirAt does:
// there is no limit on the length of the whole path.
int openPath(const std::vector<std::string> &parts, Error &error);
bool makeDirAt(int dir, const std::string &name, mode_t mode, Error &error);
bool removeAt(int dir, const std::string &name, Error &error);
// Puts a link to `to` at `name` in `dir`: without `replace` under that name at once, never over
// what appeared there meanwhile (EEXIST); with it, under a temporary name renamed over what is.
bool placeLink(int dir, const std::string &name, const std::string &to, bool replace, Error &error);
// Makes an empty file `name` in `dir`, never over anything (EEXIST), with `mode` and `times`.
bool makeEmptyFile(int dir, const std::string &name, mode_t mode, const struct timespec *times,
                   Error &error);
// Gives the open `fd` the access and modification `times` unless null, where the file system
// keeps them (that is no failure), then `mode`.
bool setModeAndTimes(int fd, mode_t mode, const struct timespec *times, Error &error);
// Where `path` leads, every link followed.
bool realPath(const std::string &path, std::string &real, Error &error);

} // namespace yk
