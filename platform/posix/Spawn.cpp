#include "platform/posix/Spawn.h"

#include "platform/posix/ChildSetup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace platform::posix {

namespace {

void closePair(int fds[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
}

// The descriptors a start needs: /dev/null for the program's streams, and the pipe its report
// comes back on (the grandchild writes errno there when it fails; close-on-exec makes success
// an end of file). All clear of 0..2; on failure none is left open.
bool openDescriptors(int &devNull, int reportPipe[2], SpawnFailure &why) {
    devNull = aboveStdStreams(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (devNull < 0) {
        why.err = errno;
        return false;
    }
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
    return true;
}

// The middle child: starts the program in a grandchild and ends at once, leaving the program to
// init; reports a fork that failed.
[[noreturn]] void startOrphan(const ExecPlan &plan) {
    const pid_t grandchild = ::fork();
    if (grandchild == 0)
        execPlanned(plan);
    if (grandchild < 0)
        reportErrno(plan.reportFd, errno);
    ::_exit(grandchild < 0 ? 127 : 0);
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
    const std::vector<char *> argv = execArray(argStore);
    if (argv.empty())
        return false;
    const char *dir = workingDir.isEmpty() ? nullptr : workingDir.constData();
    int devNull = -1, reportPipe[2];
    if (!openDescriptors(devNull, reportPipe, why))
        return false;

    // In the order of ExecPlan's fields; no controlling terminal.
    const ExecPlan plan{program.constData(), argv.data(),      environ, dir, devNull, false,
                        reportPipe[1],       descriptorLimit()};

    int forkError = 0;
    const pid_t child = forkBlocked(&forkError);
    if (child == 0)
        startOrphan(plan);
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
    const int err = readReport(reportPipe[0]);
    if (err == 0)
        return true;
    why.err = err < 0 ? -err : err;
    why.inDirectory = err < 0;
    return false;
}

} // namespace platform::posix
