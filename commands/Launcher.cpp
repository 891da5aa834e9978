#include "commands/Launcher.h"

namespace commands {

platform::LaunchError Launcher::launch(const QByteArray &commandLine, platform::ShowMode showMode,
                                       const QByteArray &workingDir) {
    platform::LaunchError error;
    platform::winExec(commandLine, showMode, workingDir, &error);
    return error;
}

} // namespace commands
