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

// Why winExec started nothing.
struct LaunchError {
    enum Reason {
        None,          // it started
        BadLine,       // an empty command line, or one holding a NUL
        NotFound,      // no program of that name in the searched directories
        NotExecutable, // a file of that name that may not be run (path names it)
        TooLong,       // the arguments exceed what the system passes to a program
        NoDirectory,   // the working directory cannot be entered (path names it)
        NoResources,   // no process could be made (too many, no memory)
        Other,         // any other refusal of the system (systemError)
    };
    Reason reason = None;
    QByteArray path;
    int systemError = 0; // errno, when the system refused
};

// Splits commandLine by the Windows convention (CommandLine.h), finds the program its first
// argument names (findProgram, never in workingDir) and starts it detached in workingDir (the
// current directory when empty), never through a shell that parses the line. ShowNormal runs
// it in a console window that waits for Enter after it ends (startConsole, Console.h); with no
// display it runs without a window. Does not wait for the program. Returns false when nothing
// could be started, with the reason in *error when given: the program, its line and the
// directory are checked before any console window is tried.
bool winExec(const QByteArray &commandLine, ShowMode showMode, const QByteArray &workingDir = {},
             LaunchError *error = nullptr);

// Where a program named on a command line is found: a name with a '/' is a path (a relative
// one in workDir, and nowhere when workDir is empty); otherwise the directory ownDir, then each
// absolute directory of pathList (':'-separated) in turn. Empty and relative PATH entries are
// skipped: they would name the working directory, which is the directory the user browses.
// A name ending in ".exe" (any case) is also found without that ending in each directory,
// after the full name. Empty when none is an executable regular file.
QByteArray findProgram(const QByteArray &name, const QByteArray &ownDir, const QByteArray &workDir,
                       const QByteArray &pathList);
// The first regular file findProgram would have tried that is not executable; empty when none.
QByteArray findUnexecutable(const QByteArray &name, const QByteArray &ownDir,
                            const QByteArray &workDir, const QByteArray &pathList);

// The directory of the running program, from /proc/self/exe; empty when unknown.
QByteArray ownDirectory();
// The absolute directories of pathList, or the usual ones when it has none: every program we
// start searches only these, since a relative entry names the directory the user browses.
QByteArray searchPath(const QByteArray &pathList = qgetenv("PATH"));

} // namespace platform
