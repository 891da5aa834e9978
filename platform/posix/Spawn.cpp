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

    ExecPlan plan;
    plan.program = program.constData();
    plan.argv = argv.data();
    plan.envp = environ;
    plan.workingDir = dir;
    plan.streamFd = devNull;
    plan.reportFd = reportPipe[1];
    plan.maxFd = descriptorLimit();

    int forkError = 0;
    const pid_t child = forkBlocked(&forkError);
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            execPlanned(plan);
        if (grandchild < 0)
            reportErrno(reportPipe[1], errno);
        ::_exit(grandchild < 0 ? 127 : 0);
    }
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
