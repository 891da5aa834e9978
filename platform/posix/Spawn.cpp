#include "platform/posix/Spawn.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace platform::posix {

namespace {

// Keeps descriptors clear of 0..2, which the child overwrites with /dev/null.
int aboveStdStreams(int fd) {
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

void closePair(int fds[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
}

void report(int fd, int err) {
    if (::write(fd, &err, sizeof err) < 0) {
        // The parent learns of the failure from the exit anyway.
    }
}

// Runs in the grandchild: async-signal-safe calls only.
[[noreturn]] void execDetached(const char *program, char *const argv[], const char *workingDir,
                               int devNull, int reportFd, int maxFd) {
    ::setsid();
    ::dup2(devNull, 0);
    ::dup2(devNull, 1);
    ::dup2(devNull, 2);
    // Whatever the program left open without close-on-exec stays with us.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < maxFd; ++fd)
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
    if (workingDir && ::chdir(workingDir) != 0) {
        // Negative: the parent tells a directory it cannot enter from a program it cannot run.
        report(reportFd, -errno);
        ::_exit(127);
    }
    ::execve(program, argv, environ);
    report(reportFd, errno);
    ::_exit(127);
}

} // namespace

bool isExecutableFile(const QByteArray &path) {
    struct stat st;
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), X_OK) == 0;
}

bool spawnDetached(const QByteArray &program, const QList<QByteArray> &args,
                   const QByteArray &workingDir, SpawnFailure *failure) {
    SpawnFailure ignored;
    SpawnFailure &why = failure ? *failure : ignored;
    why = {EINVAL, false};
    if (program.isEmpty() || program.contains('\0') || workingDir.contains('\0'))
        return false;
    // Everything the children need is made before fork: they may not allocate.
    QList<QByteArray> argStore = args;
    std::vector<char *> argv;
    for (QByteArray &a : argStore) {
        if (a.contains('\0'))
            return false;
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const char *dir = workingDir.isEmpty() ? nullptr : workingDir.constData();

    const int devNull = aboveStdStreams(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (devNull < 0) {
        why.err = errno;
        return false;
    }
    // The grandchild writes errno here when it fails; close-on-exec makes success an EOF.
    int reportPipe[2];
    if (::pipe2(reportPipe, O_CLOEXEC) != 0) {
        why.err = errno;
        ::close(devNull);
        return false;
    }
    reportPipe[0] = aboveStdStreams(reportPipe[0]);
    reportPipe[1] = aboveStdStreams(reportPipe[1]);
    if (reportPipe[0] < 0 || reportPipe[1] < 0) {
        ::close(devNull);
        closePair(reportPipe);
        return false;
    }

    // For kernels without close_range: sysconf is not safe to call after fork.
    const long openMax = ::sysconf(_SC_OPEN_MAX);
    const int maxFd = openMax > 0 && openMax < 65536 ? int(openMax) : 65536;

    // No handler of ours may run in the children before exec.
    sigset_t all, old;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    const pid_t child = ::fork();
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            execDetached(program.constData(), argv.data(), dir, devNull, reportPipe[1], maxFd);
        if (grandchild < 0)
            report(reportPipe[1], errno);
        ::_exit(grandchild < 0 ? 127 : 0);
    }
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(devNull);
    ::close(reportPipe[1]);
    if (child < 0) {
        why.err = forkError;
        ::close(reportPipe[0]);
        return false;
    }
    // The middle child exits at once; reaping it leaves the program to init.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do
        n = ::read(reportPipe[0], &err, sizeof err);
    while (n < 0 && errno == EINTR);
    ::close(reportPipe[0]);
    if (n == 0)
        return true;
    why.err = n == ssize_t(sizeof err) ? (err < 0 ? -err : err) : EIO;
    why.inDirectory = n == ssize_t(sizeof err) && err < 0;
    return false;
}

} // namespace platform::posix
