#include "platform/Launcher.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/WorkingDir.h"
#include "platform/posix/Spawn.h"

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

bool endsWithExe(const QByteArray &name) {
    return name.size() > 4 && name.right(4).toLower() == ".exe";
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

QByteArray findProgram(const QByteArray &name, const QByteArray &ownDir, const QByteArray &workDir,
                       const QByteArray &pathList) {
    if (name.isEmpty() || name.contains('\0'))
        return {};
    QList<QByteArray> names{name};
    if (endsWithExe(name))
        names.append(name.chopped(4));
    if (name.contains('/')) {
        for (const QByteArray &n : names) {
            const QByteArray path =
                n.startsWith('/') || workDir.isEmpty() ? n : joinPath(workDir, n);
            if (posix::isExecutableFile(path))
                return path;
        }
        return {};
    }
    // Each directory is looked in once: the own directory is often on PATH, and an empty
    // PATH entry repeats workDir.
    QList<QByteArray> dirs;
    auto addDir = [&dirs](const QByteArray &dir) {
        if (!dir.isEmpty() && !dirs.contains(dir))
            dirs.append(dir);
    };
    addDir(ownDir);
    addDir(workDir);
    for (const QByteArray &dir : pathList.split(':'))
        addDir(dir.isEmpty() ? workDir : dir);
    for (const QByteArray &dir : dirs) {
        for (const QByteArray &n : names) {
            const QByteArray path = joinPath(dir, n);
            if (posix::isExecutableFile(path))
                return path;
        }
    }
    return {};
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

bool winExec(const QByteArray &commandLine, int showMode, const QByteArray &workingDir) {
    QList<QByteArray> argv = splitCommandLine(commandLine);
    if (argv.isEmpty())
        return false;
    const QByteArray pathList = searchPath();
    const QByteArray workDir = workingDir.isEmpty() ? QByteArray(".") : workingDir;
    QByteArray program = findProgram(argv.first(), ownDirectory(), workDir, pathList);
    if (program.isEmpty())
        return false;
    if (!program.startsWith('/')) {
        // The child enters workingDir before it starts the program.
        const QByteArray here = workingDirectory();
        if (here.isEmpty())
            return false;
        program = joinPath(here, program);
    }
    // The started program sees its own path as argv[0], as a program started by path does.
    argv.first() = program;
    if (showMode != ShowHidden) {
        const Terminal terminal = findTerminal();
        if (!terminal.program.isEmpty()) {
            const QList<QByteArray> args = consoleArguments(terminal, argv);
            return posix::spawnDetached(terminal.program, args, workingDir);
        }
    }
    return posix::spawnDetached(program, argv, workingDir);
}

} // namespace platform
