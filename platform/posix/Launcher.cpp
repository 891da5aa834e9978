#include "platform/Launcher.h"

#include "platform/CommandLine.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/WorkingDir.h"
#include "platform/posix/Spawn.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// The directories searched for programs: PATH, or the usual ones when it is unset.
QByteArray searchPath() {
    const QByteArray path = qgetenv("PATH");
    return path.isEmpty() ? QByteArray("/usr/local/bin:/usr/bin:/bin") : path;
}

bool endsWithExe(const QByteArray &name) {
    return name.size() > 4 && name.right(4).toLower() == ".exe";
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
    if (showMode != ShowHidden && startConsole(argv, workingDir))
        return true;
    return posix::spawnDetached(program, argv, workingDir);
}

} // namespace platform
