#pragma once
// What a command achieved, and the exit status that says so: 0 all done, 1 some items skipped
// or failed while the rest was done, 2 nothing could be done.
//
// How failures travel: an operation below the commands that can fail returns false and fills an
// Error (fs/Error.h); the command that called it reports it once (Console::problem, with a text
// from Messages.h) and counts it here.

namespace yk {

enum ExitStatus { ExitOk = 0, ExitPartial = 1, ExitNothing = 2 };

struct Outcome {
    int done = 0;            // items handled as asked
    int failed = 0;          // items skipped or damaged, each reported
    bool incomplete = false; // the archive could not be read to its end (not an item)
    bool fatal = false;      // the command as a whole could not be carried out

    int exitStatus() const {
        if (fatal || (done == 0 && (failed > 0 || incomplete)))
            return ExitNothing;
        return failed > 0 || incomplete ? ExitPartial : ExitOk;
    }
};

} // namespace yk
