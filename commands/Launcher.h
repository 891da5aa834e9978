#pragma once
// Hands the archiver's command lines to the platform. Tests put a recorder in its place.
#include "platform/Launcher.h"

#include <QByteArray>

namespace commands {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts commandLine in workingDir with the given show mode and returns at once, without
    // waiting for the program. The reason is None when it started.
    virtual platform::LaunchError launch(const QByteArray &commandLine, platform::ShowMode showMode,
                                         const QByteArray &workingDir);
};

} // namespace commands
