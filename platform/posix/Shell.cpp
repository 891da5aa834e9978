#include "platform/Shell.h"

#include <QList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

QByteArray &openerName() {
    static QByteArray name = "xdg-open";
    return name;
}

bool isExecutableFile(const QByteArray &path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), X_OK) == 0;
}

// Resolved before fork: execvp may allocate, which a child of a threaded process must not.
QByteArray findProgram(const QByteArray &name) {
    if (name.contains('/'))
        return isExecutableFile(name) ? name : QByteArray();
    QByteArray path = qgetenv("PATH");
    if (path.isEmpty())
        path = "/usr/local/bin:/usr/bin:/bin";
    for (const QByteArray &dir : path.split(':')) {
        const QByteArray candidate = (dir.isEmpty() ? QByteArray(".") : dir) + '/' + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return QByteArray();
}

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

// Runs in the grandchild: async-signal-safe calls only.
[[noreturn]] void execOpener(const char *program, char *const argv[], int devNull, int report,
                             int maxFd) {
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
    ::execve(program, argv, environ);
    const int err = errno;
    if (::write(report, &err, sizeof err) < 0) {
        // The parent learns of the failure from the exit anyway.
    }
    ::_exit(127);
}

} // namespace

void setShellOpener(const QByteArray &program) {
    openerName() = program.isEmpty() ? QByteArray("xdg-open") : program;
}

bool shellOpen(const QByteArray &target) {
    if (target.isEmpty() || target.contains('\0'))
        return false;
    QByteArray program = findProgram(openerName());
    if (program.isEmpty())
        return false;
    QByteArray name = openerName();
    QByteArray arg = target;
    if (arg.startsWith('-'))
        arg.prepend("./");
    char *const argv[] = {name.data(), arg.data(), nullptr};

    const int devNull = aboveStdStreams(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (devNull < 0)
        return false;
    // The grandchild writes errno here when exec fails; close-on-exec makes success an EOF.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        ::close(devNull);
        return false;
    }
    report[0] = aboveStdStreams(report[0]);
    report[1] = aboveStdStreams(report[1]);
    if (report[0] < 0 || report[1] < 0) {
        ::close(devNull);
        closePair(report);
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
            execOpener(program.constData(), argv, devNull, report[1], maxFd);
        if (grandchild < 0) {
            const int err = errno;
            if (::write(report[1], &err, sizeof err) < 0) {
                // Nothing more to tell.
            }
        }
        ::_exit(grandchild < 0 ? 127 : 0);
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(devNull);
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        return false;
    }
    // The middle child exits at once; reaping it leaves the opener to init.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do
        n = ::read(report[0], &err, sizeof err);
    while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return n == 0;
}

} // namespace platform
