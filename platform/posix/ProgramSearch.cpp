// Where a program named on a command line is found. The shown directory is never searched:
// a program dropped into a browsed folder, or unpacked from an archive, must not run when the
// user presses a button.
#include "platform/Files.h"
#include "platform/Launcher.h"
#include "platform/posix/Spawn.h"

#include <sys/stat.h>

namespace platform {

namespace {

bool endsWithExe(const QByteArray &name) {
    return name.size() > 4 && name.right(4).toLower() == ".exe";
}

// The name as given, then without ".exe".
QList<QByteArray> spellings(const QByteArray &name) {
    QList<QByteArray> names{name};
    if (endsWithExe(name))
        names.append(name.chopped(4));
    return names;
}

// The own directory, then each absolute entry of pathList, each once (the own directory is
// often on PATH too). Empty and relative entries would name the working directory or a place
// under it, so they are left out.
QList<QByteArray> searchDirectories(const QByteArray &ownDir, const QByteArray &pathList) {
    QList<QByteArray> dirs;
    auto addDir = [&dirs](const QByteArray &dir) {
        if (dir.startsWith('/') && !dirs.contains(dir))
            dirs.append(dir);
    };
    addDir(ownDir);
    for (const QByteArray &dir : pathList.split(':'))
        addDir(dir);
    return dirs;
}

// The candidate paths in the order they are tried.
QList<QByteArray> candidates(const QByteArray &name, const QByteArray &ownDir,
                             const QByteArray &workDir, const QByteArray &pathList) {
    QList<QByteArray> paths;
    if (name.isEmpty() || name.contains('\0'))
        return paths;
    const QList<QByteArray> names = spellings(name);
    if (name.contains('/')) {
        // A relative path is taken in workDir only, never in whatever directory we are in.
        for (const QByteArray &n : names) {
            if (n.startsWith('/'))
                paths.append(n);
            else if (!workDir.isEmpty())
                paths.append(joinPath(workDir, n));
        }
        return paths;
    }
    for (const QByteArray &dir : searchDirectories(ownDir, pathList))
        for (const QByteArray &n : names)
            paths.append(joinPath(dir, n));
    return paths;
}

bool isRegularFile(const QByteArray &path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QByteArray findProgram(const QByteArray &name, const QByteArray &ownDir, const QByteArray &workDir,
                       const QByteArray &pathList) {
    for (const QByteArray &path : candidates(name, ownDir, workDir, pathList))
        if (posix::isExecutableFile(path))
            return path;
    return {};
}

QByteArray findUnexecutable(const QByteArray &name, const QByteArray &ownDir,
                            const QByteArray &workDir, const QByteArray &pathList) {
    for (const QByteArray &path : candidates(name, ownDir, workDir, pathList))
        if (isRegularFile(path))
            return path;
    return {};
}

} // namespace platform
