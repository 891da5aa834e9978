#pragma once
// A new version of a file, written beside it and put in its place only when complete: until
// commit() the old file is untouched, and a kill at any moment leaves it whole. The new data
// lives in an unnamed file (O_TMPFILE) where the file system allows, and is given a temporary
// name only for the instant before the rename; elsewhere it lives in a hidden temporary file
// from the start. Either name is ".NAME.yktmp-PID-XXXXXX" (see temporaryOwner), removed on
// failure; only a kill can leave one behind. For an archive (noteWhenNamed) the name is noted
// first (TempRecord.h), and the next add of that archive removes what a note proves its own.

#include "fs/DirFd.h"
#include "fs/Error.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace yk {

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    ~AtomicFile(); // discards an uncommitted file

    // Creates the temporary file in the target's directory. False with `error` set on failure.
    bool open(const std::string &target, Error &error);
    // The same for the entry `name` of the directory open as `dirFd` (which must stay open
    // until commit).
    bool openAt(int dirFd, const std::string &name, Error &error);
    int fd() const { return fd_; }
    // Notes the temporary name before it is given, so that a later add may remove the file.
    void noteWhenNamed() { noted_ = true; }

    // Gives the data `mode` and `times` (setModeAndTimes), renames it over the target. With
    // `durable`, the data and then the directory are flushed to disk around the rename (an
    // archive must never be replaced by an empty file after a crash). Without `replace`, whatever
    // has appeared under the target's name since is kept: the commit then fails with NameTaken.
    bool commit(mode_t mode, bool durable, Error &error, bool replace = true,
                const struct timespec *times = nullptr);
    // The old file's permissions, or the usual ones for a new file (umask applied).
    mode_t modeForTarget() const;

private:
    bool nameTemporary(Error &error);

    int dirFd_ = -1;
    DirFd ownDir_; // the directory, when open() opened it
    std::string name_;
    std::string tempName_; // empty while the file is unnamed
    int fd_ = -1;
    bool noted_ = false;
};

// The prefix of every temporary file made for `name` in its directory.
std::string temporaryPrefix(const std::string &name);

// The process that made the temporary file `entry` for `name`, or 0 when `entry` is not one.
pid_t temporaryOwner(const std::string &name, const std::string &entry);

// Removes the temporary files of earlier writes of `name` in `dirFd` that were killed before
// their rename, and gives their names. Only those of dead processes go (a live owner may be
// another program that got the same process number), and only those a note proves to be yk's
// own: a user's file of that name stays. The caller holds the lock that keeps other writers out.
std::vector<std::string> removeStaleTemporaries(int dirFd, const std::string &name);

// The current umask, read without changing it for good.
mode_t currentUmask();

} // namespace yk
