#pragma once
// The console window of a program started with show mode 1: a terminal emulator, tried in
// turn until one shows, and in the end a console window of our own (yk32-console).
#include <QByteArray>
#include <QList>

namespace platform {

// A terminal emulator and the arguments after which it takes a program and its arguments.
struct Terminal {
    QByteArray program;            // as found: a path
    QList<QByteArray> execOptions; // e.g. {"-e"}
};

// The name of our own console window program, looked for beside the running program, then
// on PATH.
inline constexpr char OwnConsoleName[] = "yk32-console";

// The terminal emulators to try, in order, each found on PATH: $TERMINAL (the user's choice),
// x-terminal-emulator, then common ones, then our own console window. Only when a display is
// set (DISPLAY or WAYLAND_DISPLAY): empty otherwise.
QList<Terminal> findTerminals();

// The arguments of the terminal for running argv in it under the wrapper that first claims
// the run by creating the file claim (it runs nothing when claim exists or cannot be made:
// another window, or the launcher, took the run), then keeps the window open after the
// program ends until Enter is pressed. argv[0] is the program's path.
QList<QByteArray> consoleArguments(const Terminal &terminal, const QByteArray &claim,
                                   const QList<QByteArray> &argv);

// The environment ("NAME=value" each) for a console window and the program in it: env, with
// LC_ALL=C.UTF-8 when the locale env chooses for characters is missing or not UTF-8, so that
// the UTF-8 the archiver writes is shown as text whatever the user's locale.
QList<QByteArray> consoleEnvironment(const QList<QByteArray> &env);

// Starts argv (argv[0] a path) in workingDir in the first of the terminals that shows it:
// one that ends with a failure, or shows nothing within the try's time, before its wrapper
// has claimed the run, is given up (and can no longer run it) and the next is tried; when
// none shows it, the program runs without a window. Returns at once; the tries run on the
// event loop. False when no terminal is found (or there is no event loop): nothing started.
bool startConsole(const QList<QByteArray> &argv, const QByteArray &workingDir);

// For tests and unusual desktops: the terminal emulators tried instead of the usual ones
// (each "name" or "name option..."), or the usual ones again when empty; and how long one
// try may take before the next (10 s when 0).
void setTerminalCandidates(const QList<QList<QByteArray>> &candidates);
void setConsoleTryTime(int milliseconds);

} // namespace platform
