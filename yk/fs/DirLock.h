#pragma once
// The lock that serialises adds into one directory's archives: an advisory lock (flock) on the
// directory itself, so no lock file is left anywhere, and the kernel releases it when the
// holder ends however it ends. Readers take no lock: an archive is replaced by a rename.

#include "fs/DirFd.h"
#include "fs/Error.h"

#include <string>

namespace yk {

class DirLock {
public:
    explicit DirLock(std::string dir) : dir_(std::move(dir)) {}

    // Opens the directory; false with `error` set.
    bool open(Error &error);
    int fd() const { return fd_.get(); }

    enum Result { Locked, Busy, Failed };
    // Takes the lock if nobody holds it; Failed with `error` set when locks are unavailable here.
    Result tryLock(Error &error);
    // Waits for the lock; false with `error` set.
    bool wait(Error &error);

private:
    Result take(int operation, Error &error);

    std::string dir_;
    DirFd fd_;
};

} // namespace yk
