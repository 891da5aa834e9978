#include "commands/Launcher.h"

#include "platform/Launcher.h"

namespace commands {

void Launcher::launch(const QByteArray &commandLine, int showMode, const QByteArray &workingDir) {
    // A program that cannot be started passes without a word, as the archiver's own failures do.
    platform::winExec(commandLine, showMode, workingDir);
}

} // namespace commands
