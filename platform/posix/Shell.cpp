#include "platform/Shell.h"

#include "platform/Launcher.h"
#include "platform/posix/Spawn.h"

namespace platform {

namespace {

QByteArray &openerName() {
    static QByteArray name = "xdg-open";
    return name;
}

} // namespace

void setShellOpener(const QByteArray &program) {
    openerName() = program.isEmpty() ? QByteArray("xdg-open") : program;
}

bool shellOpen(const QByteArray &target) {
    if (target.isEmpty() || target.contains('\0'))
        return false;
    // Resolved before fork: execvp may allocate, which a child of a threaded process must not.
    // Searched as the archiver is: never in the shown directory (no empty or relative PATH
    // entry), so an opener dropped into a browsed folder does not run on a double click.
    const QByteArray program = findProgram(openerName(), {}, {}, searchPath());
    if (program.isEmpty())
        return false;
    QByteArray arg = target;
    if (arg.startsWith('-'))
        arg.prepend("./");
    return posix::spawnDetached(program, {openerName(), arg}).error == 0;
}

} // namespace platform
