#pragma once
// A descriptor (mostly a directory's) closed when it goes out of scope.

#include <unistd.h>

namespace yk {

class DirFd {
public:
    explicit DirFd(int fd = -1) : fd_(fd) {}
    ~DirFd() { reset(-1); }
    DirFd(const DirFd &) = delete;
    DirFd &operator=(const DirFd &) = delete;
    void reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace yk
