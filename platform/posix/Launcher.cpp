#include "platform/Launcher.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/WorkingDir.h"
#include "platform/posix/Spawn.h"

#include <cerrno>
#include <climits>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// Keeps the window open after the program ends, so that its output can be read. The program
// and its arguments arrive as "$@": the shell parses nothing of them.
constexpr char ConsoleWrapper[] =
    "\"$@\"; printf '\\n%s' 'Нажмите Enter, чтобы закрыть окно.'; read -r _";
constexpr char ConsoleName[] = "yk-console";

// Terminal emulators and the options after which they take a program and its arguments.
struct KnownTerminal {
    const char *name;
    const char *option; // nullptr: the program follows directly
};
constexpr KnownTerminal UsualTerminals[] = {
    {"x-terminal-emulator", "-e"},
    {"$TERMINAL", "-e"},
    {"xterm", "-e"},
    {"uxterm", "-e"},
    {"urxvt", "-e"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"mate-terminal", "-x"},
    {"gnome-terminal", "--"},
    {"alacritty", "-e"},
    {"kitty", nullptr},
    {"foot", nullptr},
};

QList<QList<QByteArray>> &terminalOverride() {
    static QList<QList<QByteArray>> candidates;
    return candidates;
}

// The directories searched for programs: PATH, or the usual ones when it is unset.
QByteArray searchPath() {
    const QByteArray path = qgetenv("PATH");
    return path.isEmpty() ? QByteArray("/usr/local/bin:/usr/bin:/bin") : path;
}

QList<QList<QByteArray>> usualCandidates() {
    QList<QList<QByteArray>> list;
    for (const KnownTerminal &t : UsualTerminals) {
        QByteArray name = t.name;
        if (name == "$TERMINAL") {
            name = qgetenv("TERMINAL");
            if (name.isEmpty())
                continue;
        }
        QList<QByteArray> entry{name};
        if (t.option)
            entry.append(t.option);
        list.append(entry);
    }
    return list;
}

} // namespace

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

void setTerminalCandidates(const QList<QList<QByteArray>> &candidates) {
    terminalOverride() = candidates;
}

Terminal findTerminal() {
    const bool overridden = !terminalOverride().isEmpty();
    if (!overridden && qgetenv("DISPLAY").isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty())
        return {};
    const QList<QList<QByteArray>> candidates = overridden ? terminalOverride() : usualCandidates();
    const QByteArray pathList = searchPath();
    for (const QList<QByteArray> &candidate : candidates) {
        if (candidate.isEmpty())
            continue;
        const QByteArray found = findProgram(candidate.first(), {}, {}, pathList);
        if (!found.isEmpty())
            return {found, candidate.mid(1)};
    }
    return {};
}

QList<QByteArray> consoleArguments(const Terminal &terminal, const QList<QByteArray> &argv) {
    QList<QByteArray> args{terminal.program};
    args += terminal.execOptions;
    args += {"/bin/sh", "-c", ConsoleWrapper, ConsoleName};
    args += argv;
    return args;
}

namespace {

// The reason for a start the system refused.
LaunchError spawnError(const posix::SpawnFailure &failure, const QByteArray &program,
                       const QByteArray &workingDir) {
    LaunchError error;
    error.systemError = failure.err;
    if (failure.inDirectory) {
        error.reason = LaunchError::NoDirectory;
        error.path = workingDir;
        return error;
    }
    error.path = program;
    switch (failure.err) {
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
    posix::SpawnFailure failure;
    if (posix::spawnDetached(program, args, workingDir, &failure))
        return true;
    if (out)
        *out = spawnError(failure, program, workingDir);
    return false;
}

} // namespace

bool winExec(const QByteArray &commandLine, int showMode, const QByteArray &workingDir,
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
        const Terminal terminal = findTerminal();
        if (!terminal.program.isEmpty()) {
            const QList<QByteArray> args = consoleArguments(terminal, argv);
            return spawn(terminal.program, args, workingDir, error);
        }
    }
    return spawn(program, argv, workingDir, error);
}

} // namespace platform
