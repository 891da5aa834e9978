#include "platform/posix/Child.h"

#include "platform/posix/ChildSetup.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform::posix {

namespace {

std::vector<char *> pointers(QList<QByteArray> &store) {
    std::vector<char *> p;
    for (QByteArray &s : store)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

bool holdsNul(const QList<QByteArray> &list) {
    for (const QByteArray &s : list)
        if (s.contains('\0'))
            return true;
    return false;
}

} // namespace

StartedChild startChild(const QByteArray &program, const QList<QByteArray> &argv,
                        const QList<QByteArray> &env, const QByteArray &workingDir, bool onPty,
                        int cols, int rows) {
    StartedChild result;
    if (program.isEmpty() || program.contains('\0') || workingDir.contains('\0') ||
        holdsNul(argv) || holdsNul(env)) {
        result.error = EINVAL;
        return result;
    }
    // Everything the child needs is made before fork: it may not allocate.
    QList<QByteArray> argStore = argv, envStore = env;
    const std::vector<char *> argp = pointers(argStore), envp = pointers(envStore);
    const char *dir = workingDir.isEmpty() ? nullptr : workingDir.constData();

    int master = -1, stream = -1;
    if (onPty) {
        struct winsize ws = {};
        ws.ws_col = static_cast<unsigned short>(cols > 0 ? cols : 80);
        ws.ws_row = static_cast<unsigned short>(rows > 0 ? rows : 24);
        if (::openpty(&master, &stream, nullptr, nullptr, &ws) != 0) {
            result.error = errno;
            return result;
        }
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(stream, F_SETFD, FD_CLOEXEC);
        master = aboveStdStreams(master);
    } else {
        stream = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    }
    stream = aboveStdStreams(stream);
    int reportPipe[2] = {-1, -1};
    if (stream < 0 || (onPty && master < 0) || ::pipe2(reportPipe, O_CLOEXEC) != 0) {
        result.error = errno ? errno : EMFILE;
        for (int fd : {master, stream})
            if (fd >= 0)
                ::close(fd);
        return result;
    }
    reportPipe[0] = aboveStdStreams(reportPipe[0]);
    reportPipe[1] = aboveStdStreams(reportPipe[1]);

    ExecPlan plan;
    plan.program = program.constData();
    plan.argv = argp.data();
    plan.envp = envp.data();
    plan.workingDir = dir;
    plan.streamFd = stream;
    plan.controllingTty = onPty;
    plan.reportFd = reportPipe[1];
    plan.maxFd = descriptorLimit();

    int forkErr = 0;
    const pid_t child = forkBlocked(&forkErr);
    if (child == 0)
        execPlanned(plan);
    ::close(stream);
    ::close(reportPipe[1]);
    if (child < 0) {
        ::close(reportPipe[0]);
        if (master >= 0)
            ::close(master);
        result.error = forkErr;
        return result;
    }
    if (const int err = readReport(reportPipe[0])) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        if (master >= 0)
            ::close(master);
        result.error = err < 0 ? -err : err;
        return result;
    }
    if (master >= 0)
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    result.pid = child;
    result.ptyMaster = master;
    return result;
}

ChildWatch::ChildWatch(pid_t pid, QObject *parent) : QObject(parent), pid_(pid) {
#ifdef SYS_pidfd_open
    pidFd_ = int(::syscall(SYS_pidfd_open, pid, 0));
#endif
    if (pidFd_ >= 0) {
        ::fcntl(pidFd_, F_SETFD, FD_CLOEXEC);
        notifier_ = new QSocketNotifier(pidFd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ChildWatch::poll);
    } else {
        timer_ = new QTimer(this);
        timer_->setInterval(50);
        connect(timer_, &QTimer::timeout, this, &ChildWatch::poll);
        timer_->start();
    }
}

ChildWatch::~ChildWatch() {
    if (pidFd_ >= 0)
        ::close(pidFd_);
}

bool ChildWatch::poll() {
    if (ended_)
        return true;
    int status = 0;
    pid_t r;
    do
        r = ::waitpid(pid_, &status, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    ended_ = true;
    status_ = r == pid_ ? status : 0;
    if (notifier_)
        notifier_->setEnabled(false);
    if (timer_)
        timer_->stop();
    emit ended(status_);
    return true;
}

} // namespace platform::posix
