#include "platform/Launcher.h"

#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/WorkingDir.h"
#include "platform/posix/Spawn.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace platform {

QByteArray searchPath(const QByteArray &pathList) {
    QList<QByteArray> dirs = pathList.split(':');
    dirs.removeIf([](const QByteArray &d) { return !d.startsWith('/'); });
    return dirs.isEmpty() ? QByteArray("/usr/local/bin:/usr/bin:/bin") : dirs.join(':');
}

QByteArray ownDirectory() {
    std::vector<char> buf(PATH_MAX);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (size_t(n) < buf.size()) {
            const QByteArray exe(buf.data(), int(n));
            const int slash = int(exe.lastIndexOf('/'));
            return slash <= 0 ? QByteArray("/") : exe.left(slash);
        }
        buf.resize(buf.size() * 2);
    }
}

namespace {

// The reason for a start the system refused.
LaunchError spawnError(const posix::StartedChild &failure, const QByteArray &program,
                       const QByteArray &workingDir) {
    LaunchError error;
    error.systemError = failure.error;
    if (failure.inDirectory) {
        error.reason = LaunchError::NoDirectory;
        error.path = workingDir;
        return error;
    }
    error.path = program;
    switch (failure.error) {
    case E2BIG:
        error.reason = LaunchError::TooLong;
        break;
    case ENOENT:
    case ENOTDIR:
        error.reason = LaunchError::NotFound;
        break;
    case EACCES:
    case EPERM:
    case ENOEXEC:
    case ETXTBSY:
        error.reason = LaunchError::NotExecutable;
        break;
    case EAGAIN:
    case ENOMEM:
    case EMFILE:
    case ENFILE:
        error.reason = LaunchError::NoResources;
        break;
    default:
        error.reason = LaunchError::Other;
        break;
    }
    return error;
}

bool fail(LaunchError *out, LaunchError::Reason reason, const QByteArray &path = {}) {
    if (out) {
        out->reason = reason;
        out->path = path;
    }
    return false;
}

// Starts program with args and turns a refusal into its reason.
bool spawn(const QByteArray &program, const QList<QByteArray> &args, const QByteArray &workingDir,
           LaunchError *out) {
    const posix::StartedChild started = posix::spawnDetached(program, args, workingDir);
    if (started.error && out)
        *out = spawnError(started, program, workingDir);
    return started.error == 0;
}

// What a console window adds to the program's arguments and environment: the emulator, its
// options, the wrapper script, the claim's path and a locale.
constexpr long ConsoleOverhead = 4096;

// Whether argv, with this process's environment and the console's additions, fits what the
// system passes to a new program. The console windows are tried after winExec has returned,
// so a line too long for them must be caught here, or the failure would go unseen.
bool fitsArgumentSpace(const QList<QByteArray> &argv) {
    // The kernel caps a single string at 32 pages and the whole at a quarter of the stack
    // limit, never more than 6 MiB.
    constexpr long MaxString = 32 * 4096;
    long limit = ::sysconf(_SC_ARG_MAX);
    if (limit <= 0)
        limit = 128 * 1024;
    limit = std::min(limit, 6L * 1024 * 1024);
    long total = ConsoleOverhead;
    auto count = [&total](long size) {
        if (size + 1 > MaxString)
            return false;
        total += size + 1 + long(sizeof(char *));
        return true;
    };
    for (const QByteArray &arg : argv)
        if (!count(arg.size()))
            return false;
    for (char **e = environ; *e; ++e)
        if (!count(long(std::strlen(*e))))
            return false;
    return total <= limit;
}

// Whether the child will be able to enter workingDir, as the start would do.
int directoryError(const QByteArray &workingDir) {
    if (workingDir.isEmpty())
        return 0;
    struct stat st;
    if (::stat(workingDir.constData(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    return ::access(workingDir.constData(), X_OK) == 0 ? 0 : errno;
}

} // namespace

bool winExec(const QByteArray &commandLine, ShowMode showMode, const QByteArray &workingDir,
             LaunchError *error) {
    if (error)
        *error = {};
    QList<QByteArray> argv = splitCommandLine(commandLine);
    if (argv.isEmpty() || commandLine.contains('\0'))
        return fail(error, LaunchError::BadLine);
    const QByteArray pathList = searchPath();
    const QByteArray workDir = workingDir.isEmpty() ? QByteArray(".") : workingDir;
    QByteArray program = findProgram(argv.first(), ownDirectory(), workDir, pathList);
    if (program.isEmpty()) {
        const QByteArray unexecutable =
            findUnexecutable(argv.first(), ownDirectory(), workDir, pathList);
        return unexecutable.isEmpty() ? fail(error, LaunchError::NotFound, argv.first())
                                      : fail(error, LaunchError::NotExecutable, unexecutable);
    }
    if (!program.startsWith('/')) {
        // The child enters workingDir before it starts the program.
        const QByteArray here = workingDirectory();
        if (here.isEmpty())
            return fail(error, LaunchError::NoDirectory, QByteArray("."));
        program = joinPath(here, program);
    }
    // The started program sees its own path as argv[0], as a program started by path does.
    argv.first() = program;
    if (showMode != ShowHidden) {
        if (!fitsArgumentSpace(argv)) {
            if (error)
                error->systemError = E2BIG;
            return fail(error, LaunchError::TooLong, program);
        }
        if (const int err = directoryError(workingDir)) {
            if (error)
                error->systemError = err;
            return fail(error, LaunchError::NoDirectory, workingDir);
        }
        if (startConsole(argv, workingDir))
            return true;
    }
    return spawn(program, argv, workingDir, error);
}

} // namespace platform
