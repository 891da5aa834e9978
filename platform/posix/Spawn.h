#pragma once
// Starting a program detached, shared by the shell opener and the launcher. Not part of the
// platform interface.
#include "platform/posix/Child.h"

namespace platform::posix {

// True when path is a regular file we may execute.
bool isExecutableFile(const QByteArray &path);

// Starts program (a path) with argv, detached: a session of its own, reaped at once so no
// zombie stays, standard streams on /dev/null, every other descriptor closed, signal
// dispositions and mask at their defaults, this process's environment. workingDir, when not
// empty, is entered first; a directory that cannot be entered fails the start. The program
// could not be started at all when error is not 0.
StartedChild spawnDetached(const QByteArray &program, const QList<QByteArray> &argv,
                           const QByteArray &workingDir = {});

} // namespace platform::posix
