#pragma once
// Proof that a temporary file is yk's own. An add that gives its new archive a temporary name
// (see AtomicFile) first notes the file's identity and name in the user's state directory
// ($XDG_STATE_HOME/yk/temporaries, else ~/.local/state/yk/temporaries), where only the user's
// own programs write, and forgets it once the file is renamed or removed. Clean-up of stale
// temporaries deletes a file only when such a note names that very file (device, inode, name and
// directory): a file that merely has the name's pattern, extracted from an archive say, stays.

#include <sys/types.h>

#include <string>

namespace yk {

// Notes that the file open as `fd` is about to be named `name` in the directory `dirFd`. False
// when it cannot be noted (no state directory): the file is then never cleaned up by yk.
bool noteTemporary(int dirFd, const std::string &name, int fd);

// Forgets the note of the file open as `fd` (renamed into place, or removed).
void forgetTemporary(int fd);

// Whether `name` in `dirFd` is a regular file of this user that a note proves to be yk's own
// temporary file of that name; when it is, its note is forgotten with `forget`.
bool temporaryIsOurs(int dirFd, const std::string &name);
void forgetTemporaryAt(int dirFd, const std::string &name);

} // namespace yk
