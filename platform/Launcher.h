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
// when empty), never through a shell that parses the line. ShowNormal runs it in a terminal
// emulator (findTerminal) under a fixed wrapper that waits for Enter after it ends; with no
// terminal emulator it runs without a window. Does not wait for the program. Returns false
// when nothing could be started (no such program, an empty line, a directory that cannot be
// entered).
bool winExec(const QByteArray &commandLine, int showMode, const QByteArray &workingDir = {});

// Where a program named on a command line is found: a name with a '/' is a path (relative to
// workDir); otherwise the directories ownDir, workDir, then each of pathList (':'-separated,
// an empty entry meaning workDir) are tried in turn. A name ending in ".exe" (any case) is
// also found without that ending in each directory, after the full name. Empty when none is
// an executable regular file.
QByteArray findProgram(const QByteArray &name, const QByteArray &ownDir, const QByteArray &workDir,
                       const QByteArray &pathList);

// A terminal emulator and the arguments that make it run a program given after them.
struct Terminal {
    QByteArray program;            // as found: a path
    QList<QByteArray> execOptions; // e.g. {"-e"}
};

// The terminal emulators tried, in order: x-terminal-emulator, $TERMINAL, then common ones.
// Only when a display is set (DISPLAY or WAYLAND_DISPLAY). Empty program when none is found.
Terminal findTerminal();

// The arguments of the terminal for running argv in it under the wrapper that keeps the
// window open until Enter. argv[0] is the program's path.
QList<QByteArray> consoleArguments(const Terminal &terminal, const QList<QByteArray> &argv);

// For tests and unusual desktops: the terminal emulators tried instead of the usual ones
// (each "name" or "name option..."), or the usual ones again when empty.
void setTerminalCandidates(const QList<QList<QByteArray>> &candidates);

// The directory of the running program, from /proc/self/exe; empty when unknown.
QByteArray ownDirectory();

} // namespace platform
