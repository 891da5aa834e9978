// yk: the console archiver. Parses the command word, runs the command, exits 0, 1 or 2.

#include "Version.h"
#include "cli/CommandLine.h"
#include "commands/AddCommand.h"
#include "commands/Console.h"
#include "commands/ExtractCommand.h"
#include "commands/ListCommand.h"
#include "commands/Messages.h"
#include "commands/Outcome.h"
#include "commands/TestCommand.h"
#include "format/ArchiveReader.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>

namespace {

// Archives are named as given; a name without the extension that is not a regular file (absent,
// or the directory "docs" beside "docs.yk") is also tried with ".yk", as add would have named it.
std::string existingArchive(const std::string &name) {
    if (yk::isRegularFile(name) || yk::hasArchiveExtension(name))
        return name;
    const std::string withExt = yk::archiveFileForAdd(name);
    return yk::isRegularFile(withExt) ? withExt : name;
}

} // namespace

int main(int argc, char **argv) {
    // Names are handled as UTF-8 whatever the caller's locale, so that they reach the archive
    // unchanged (bytes that are not UTF-8 are carried separately, see Names.h).
    if (!std::setlocale(LC_ALL, "C.UTF-8"))
        std::setlocale(LC_ALL, "");

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // A lone word is never a command (every command needs an archive), so this takes nothing
    // from the grammar: "yk l --version" still lists the archive named "--version".
    if (args.size() == 1 && args[0] == "--version") {
        std::fputs("yk " WINYK_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 ? yk::ExitOk : yk::ExitNothing;
    }
    const auto options = yk::parseCommandLine(args);
    if (!options) {
        std::fputs(yk::msg::usage().c_str(), stderr);
        return yk::ExitNothing;
    }
    yk::Console console = yk::Console::forTerminal(options->on(yk::Switch::Quiet));
    switch (options->command) {
    case yk::Command::Add:
        return yk::runAdd(*options, console);
    case yk::Command::Extract: {
        yk::Options o = *options;
        o.archive = existingArchive(o.archive);
        yk::OverwritePrompt prompt(isatty(STDIN_FILENO) == 1, o.on(yk::Switch::OverwriteAll), stdin,
                                   stderr);
        return yk::runExtract(o, console, prompt);
    }
    case yk::Command::List:
        return yk::runList(yk::ArchiveSource::file(existingArchive(options->archive)),
                           options->on(yk::Switch::FullListing), console);
    case yk::Command::Test:
        return yk::runTest(yk::ArchiveSource::file(existingArchive(options->archive)), console);
    }
    return yk::ExitNothing;
}
