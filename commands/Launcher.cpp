#include "commands/Launcher.h"

namespace commands {

platform::LaunchError Launcher::launch(const QByteArray &commandLine, int showMode,
                                       const QByteArray &workingDir) {
    platform::LaunchError error;
    platform::winExec(commandLine, showMode, workingDir, &error);
    return error;
}

} // namespace commands
