#pragma once
// Starting a program detached, shared by the shell opener and the launcher. Not part of the
// platform interface.
#include <QByteArray>
#include <QList>

namespace platform::posix {

// True when path is a regular file we may execute.
bool isExecutableFile(const QByteArray &path);

// Starts program (a path) with argv, detached: a session of its own, reaped at once so no
// zombie stays, standard streams on /dev/null, every other descriptor closed, signal
// dispositions and mask at their defaults, this process's environment. workingDir, when not
// empty, is entered first; a directory that cannot be entered fails the start.
// Returns false when the program could not be started at all, and then fills *failure when
// given.
struct SpawnFailure {
    int err = 0;              // errno of the step that failed
    bool inDirectory = false; // that step was entering workingDir
};
bool spawnDetached(const QByteArray &program, const QList<QByteArray> &argv,
                   const QByteArray &workingDir = {}, SpawnFailure *failure = nullptr);

} // namespace platform::posix
