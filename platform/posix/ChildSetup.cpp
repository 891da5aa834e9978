#include "platform/posix/ChildSetup.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform::posix {

int aboveStdStreams(int fd) {
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

std::vector<char *> execArray(QList<QByteArray> &store) {
    std::vector<char *> p;
    for (QByteArray &s : store) {
        if (s.contains('\0'))
            return {};
        p.push_back(s.data());
    }
    p.push_back(nullptr);
    return p;
}

int descriptorLimit() {
    const long openMax = ::sysconf(_SC_OPEN_MAX);
    return openMax > 0 && openMax < 65536 ? int(openMax) : 65536;
}

void reportErrno(int fd, int err) {
    if (::write(fd, &err, sizeof err) < 0) {
        // The parent learns of the failure from the exit anyway.
    }
}

void execPlanned(const ExecPlan &plan) {
    if (plan.orphan) {
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            reportErrno(plan.reportFd, errno);
        if (grandchild != 0)
            ::_exit(grandchild < 0 ? 127 : 0);
    }
    ::setsid();
    if (plan.controllingTty && ::ioctl(plan.streamFd, TIOCSCTTY, 0) != 0) {
        reportErrno(plan.reportFd, errno);
        ::_exit(127);
    }
    ::dup2(plan.streamFd, 0);
    ::dup2(plan.streamFd, 1);
    ::dup2(plan.streamFd, 2);
    // Whatever the program left open without close-on-exec stays with us.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < plan.maxFd; ++fd)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction old;
        if (::sigaction(sig, nullptr, &old) == 0 && (old.sa_handler != SIG_IGN || sig == SIGPIPE))
            ::sigaction(sig, &dfl, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (plan.workingDir && ::chdir(plan.workingDir) != 0) {
        // Negative: the parent tells a directory it cannot enter from a program it cannot run.
        reportErrno(plan.reportFd, -errno);
        ::_exit(127);
    }
    ::execve(plan.program, plan.argv, plan.envp);
    reportErrno(plan.reportFd, errno);
    ::_exit(127);
}

pid_t forkBlocked(int *forkErr) {
    sigset_t all, old;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    const pid_t child = ::fork();
    *forkErr = errno;
    if (child != 0)
        ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return child;
}

int readReport(int fd) {
    // Close-on-exec makes a successful start an end of file.
    int err = 0;
    ssize_t n;
    do
        n = ::read(fd, &err, sizeof err);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n == 0)
        return 0;
    return n == ssize_t(sizeof err) ? err : EIO;
}

} // namespace platform::posix
