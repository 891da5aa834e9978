#pragma once
// The lock that serialises adds into one directory's archives: an advisory lock (flock) on the
// directory itself, so no lock file is left anywhere, and the kernel releases it when the
// holder ends however it ends. Readers take no lock: an archive is replaced by a rename.

#include <string>

namespace yk {

class DirLock {
public:
    explicit DirLock(std::string dir) : dir_(std::move(dir)) {}
    ~DirLock();
    DirLock(const DirLock &) = delete;
    DirLock &operator=(const DirLock &) = delete;

    // Opens the directory; false with a reason.
    bool open(std::string &error);
    int fd() const { return fd_; }

    enum Result { Locked, Busy, Failed };
    // Takes the lock if nobody holds it; Failed with a reason when locks are unavailable here.
    Result tryLock(std::string &error);
    // Waits for the lock; false with a reason.
    bool wait(std::string &error);

private:
    std::string dir_;
    int fd_ = -1;
};

} // namespace yk
