#include "platform/Shell.h"

#include "platform/posix/Spawn.h"

namespace platform {

namespace {

QByteArray &openerName() {
    static QByteArray name = "xdg-open";
    return name;
}

// Resolved before fork: execvp may allocate, which a child of a threaded process must not.
QByteArray findProgram(const QByteArray &name) {
    if (name.contains('/'))
        return posix::isExecutableFile(name) ? name : QByteArray();
    QByteArray path = qgetenv("PATH");
    if (path.isEmpty())
        path = "/usr/local/bin:/usr/bin:/bin";
    for (const QByteArray &dir : path.split(':')) {
        const QByteArray candidate = (dir.isEmpty() ? QByteArray(".") : dir) + '/' + name;
        if (posix::isExecutableFile(candidate))
            return candidate;
    }
    return QByteArray();
}

} // namespace

void setShellOpener(const QByteArray &program) {
    openerName() = program.isEmpty() ? QByteArray("xdg-open") : program;
}

bool shellOpen(const QByteArray &target) {
    if (target.isEmpty() || target.contains('\0'))
        return false;
    const QByteArray program = findProgram(openerName());
    if (program.isEmpty())
        return false;
    QByteArray arg = target;
    if (arg.startsWith('-'))
        arg.prepend("./");
    return posix::spawnDetached(program, {openerName(), arg});
}

} // namespace platform
