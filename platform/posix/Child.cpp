#include "platform/posix/Child.h"

#include "platform/Launcher.h"
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

// The child's standard streams: the terminal side of a new pseudo-terminal of cols x rows,
// whose other side goes to master, or else /dev/null; clear of 0..2. -1 on failure.
int openStreams(bool onPty, int cols, int rows, int &master) {
    if (!onPty)
        return aboveStdStreams(::open("/dev/null", O_RDWR | O_CLOEXEC));
    struct winsize ws = {};
    ws.ws_col = static_cast<unsigned short>(cols > 0 ? cols : 80);
    ws.ws_row = static_cast<unsigned short>(rows > 0 ? rows : 24);
    int stream = -1;
    if (::openpty(&master, &stream, nullptr, nullptr, &ws) != 0)
        return -1;
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(stream, F_SETFD, FD_CLOEXEC);
    master = aboveStdStreams(master);
    return aboveStdStreams(stream);
}

// The start's outcome once forked: 0 when the program runs, else the errno (negated when the
// directory could not be entered), the child reaped; an orphan's middle child always is.
// Closes report.
int startOutcome(pid_t child, int forkErr, int report, bool orphan) {
    if (child < 0) {
        ::close(report);
        return forkErr;
    }
    const int err = readReport(report);
    if (err || orphan)
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    return err;
}

} // namespace

StartedChild startChild(const QByteArray &program, const QList<QByteArray> &argv,
                        const QList<QByteArray> &env, const QByteArray &workingDir, bool onPty,
                        int cols, int rows, bool orphan) {
    StartedChild result;
    // Everything the child needs is made before fork: it may not allocate.
    QList<QByteArray> argStore = argv, envStore = env;
    for (QByteArray &e : envStore)
        if (e.startsWith("PATH="))
            e = "PATH=" + searchPath(e.mid(5));
    const std::vector<char *> argp = execArray(argStore), envp = execArray(envStore);
    if (program.isEmpty() || program.contains('\0') || workingDir.contains('\0') || argp.empty() ||
        envp.empty()) {
        result.error = EINVAL;
        return result;
    }
    const char *dir = workingDir.isEmpty() ? nullptr : workingDir.constData();

    int master = -1;
    const int stream = openStreams(onPty, cols, rows, master);
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

    // In the order of ExecPlan's fields.
    const ExecPlan plan{program.constData(), argp.data(),       envp.data(), dir, stream, onPty,
                        reportPipe[1],       descriptorLimit(), orphan};

    int forkErr = 0;
    const pid_t child = forkBlocked(&forkErr);
    if (child == 0)
        execPlanned(plan);
    ::close(stream);
    ::close(reportPipe[1]);
    const int err = startOutcome(child, forkErr, reportPipe[0], orphan);
    result.error = err < 0 ? -err : err;
    result.inDirectory = err < 0;
    if (err) {
        if (master >= 0)
            ::close(master);
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
