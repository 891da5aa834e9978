#pragma once
// Starting a console program from a Windows-style command line, as WinExec does.
#include <QByteArray>
#include <QList>

namespace platform {

// Window modes of a started program.
enum ShowMode : int {
    ShowHidden = 0, // no window; the program's output is discarded
    ShowNormal = 1, // in a console window that stays open until the user presses Enter
};

// Splits commandLine by the Windows convention (CommandLine.h), finds the program its first
// argument names (findProgram) and starts it detached in workingDir (the current directory
// when empty), never through a shell that parses the line. ShowNormal runs it in a console
// window that waits for Enter after it ends (startConsole, Console.h); with no display it
// runs without a window. Does not wait for the program. Returns false when nothing could be
// started (no such program, an empty line, a directory that cannot be entered).
bool winExec(const QByteArray &commandLine, int showMode, const QByteArray &workingDir = {});

// Where a program named on a command line is found: a name with a '/' is a path (relative to
// workDir); otherwise the directories ownDir, workDir, then each of pathList (':'-separated,
// an empty entry meaning workDir) are tried in turn. A name ending in ".exe" (any case) is
// also found without that ending in each directory, after the full name. Empty when none is
// an executable regular file.
QByteArray findProgram(const QByteArray &name, const QByteArray &ownDir, const QByteArray &workDir,
                       const QByteArray &pathList);

// The directory of the running program, from /proc/self/exe; empty when unknown.
QByteArray ownDirectory();

} // namespace platform
