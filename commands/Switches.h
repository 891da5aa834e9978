#pragma once
// The archiver's commands and their switch letters, as data: which check box puts which letter
// into which command's run, in the order the archiver expects them.
#include "commands/ArchiverOptions.h"

#include <QByteArray>

namespace commands {

enum class Command { Add, Extract, List, Test };

// The command letter: `on` while check box `checkBox` is ticked, else `off` (checkBox 0: fixed).
struct CommandLetter {
    Command command;
    char on;
    char off;
    int checkBox;
};

// One switch letter of one command.
struct SwitchLetter {
    Command command;
    char letter;
    int checkBox;
    bool hidesWindow; // the quiet switch: the archiver starts without a window
};

inline constexpr CommandLetter CommandLetters[] = {
    {Command::Add, 'a', 'a', 0},
    {Command::Extract, 'e', 'x', 7},
    {Command::List, 'l', 'l', 0},
    {Command::Test, 't', 't', 0},
};

// In run order within each command.
inline constexpr SwitchLetter SwitchLetters[] = {
    {Command::Add, 's', 9, false},     {Command::Add, 'd', 10, false},
    {Command::Add, 'q', 8, true},      {Command::Add, 'e', 7, false},
    {Command::Add, 'm', 5, false},     {Command::Add, 'r', 3, false},
    {Command::Extract, 'q', 8, true},  {Command::Extract, 'a', 6, false},
    {Command::Extract, 't', 2, false}, {Command::Extract, 'y', 1, false},
    {Command::List, 'f', 4, false},    {Command::Test, 'q', 8, true},
};

// The command letter and its switch run; for add, the method digit follows ("asq1").
QByteArray switchRun(Command command, const ArchiverOptions &options);

// 0 (no window) when the command carries the quiet switch, else 1.
int showMode(Command command, const ArchiverOptions &options);

} // namespace commands
