// Prints one command line that the program composes for the archiver, split into arguments
// the way the launcher splits it, each argument after the program name followed by a NUL:
//   yk_compose LINE ARCHIVE_PATH [NAME...]
// LINE is one of:
//   add           add at start-up, archive "backup", the NAMEs by Enter
//   add-every     every add switch and method 2, all files by button, the archive
//                 ARCHIVE_PATH with its extension upper-cased
//   extract, extract-every, list, list-full, test, test-quiet   on ARCHIVE_PATH, options at
//                 start-up or with every switch of that command
#include "commands/CommandLines.h"
#include "commands/Unit2.h"
#include "platform/CommandLine.h"

#include <cstdio>
#include <cstring>

namespace {

void print(const QByteArray &line) {
    const QList<QByteArray> args = platform::splitCommandLine(line);
    for (qsizetype i = 1; i < args.size(); ++i) {
        std::fwrite(args[i].constData(), 1, size_t(args[i].size()), stdout);
        std::fputc('\0', stdout);
    }
}

commands::ArchiverOptions with(int method, std::initializer_list<int> ticked) {
    commands::ArchiverOptions o;
    o.method = method;
    o.switches = {};
    for (int n : ticked)
        o.switches.set(TForm2::CheckBoxOptions[n - 1]);
    return o;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: yk_compose LINE ARCHIVE_PATH [NAME...]\n");
        return 2;
    }
    const QByteArray which = argv[1];
    const QByteArray archive = argv[2];
    using commands::Command;
    const commands::ArchiverOptions startUp;

    if (which == "add" || which == "add-every") {
        commands::AddRequest add;
        add.directory = ".";
        for (int i = 3; i < argc; ++i)
            add.selectedNames.append(argv[i]);
        commands::AddPath path = commands::AddPath::Enter;
        if (which == "add") {
            add.archiveName = "backup";
        } else {
            const int dot = int(archive.lastIndexOf('.'));
            add.archiveName = dot < 0 ? archive : archive.left(dot) + archive.mid(dot).toUpper();
            add.options = with(2, {3, 5, 7, 8, 9, 10});
            add.allFiles = true;
            path = commands::AddPath::Button;
        }
        const auto planned = commands::planAdd(path, add);
        if (!planned) {
            std::fprintf(stderr, "yk_compose: the line is too long\n");
            return 1;
        }
        print(planned->commandLine);
        return 0;
    }
    const struct {
        const char *name;
        Command command;
        commands::ArchiverOptions options;
    } lines[] = {
        {"extract", Command::Extract, startUp},
        {"extract-every", Command::Extract, with(1, {1, 2, 6, 7, 8})},
        {"list", Command::List, startUp},
        {"list-full", Command::List, with(1, {4})},
        {"test", Command::Test, startUp},
        {"test-quiet", Command::Test, with(1, {8})},
    };
    for (const auto &l : lines) {
        if (which == l.name) {
            print(commands::archiveCommandLine(l.command, l.options, archive));
            return 0;
        }
    }
    std::fprintf(stderr, "yk_compose: unknown line %s\n", which.constData());
    return 2;
}
