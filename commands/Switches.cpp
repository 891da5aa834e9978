#include "commands/Switches.h"

namespace commands {

QByteArray switchRun(Command command, const ArchiverOptions &options) {
    QByteArray run;
    for (const CommandLetter &c : CommandLetters)
        if (c.command == command)
            run.append(c.checkBox == 0 || options.on(c.checkBox) ? c.on : c.off);
    for (const SwitchLetter &s : SwitchLetters)
        if (s.command == command && options.on(s.checkBox))
            run.append(s.letter);
    if (command == Command::Add)
        run.append(char('0' + (options.method >= 0 && options.method <= 2 ? options.method : 1)));
    return run;
}

int showMode(Command command, const ArchiverOptions &options) {
    for (const SwitchLetter &s : SwitchLetters)
        if (s.command == command && s.hidesWindow && options.on(s.checkBox))
            return 0;
    return 1;
}

} // namespace commands
