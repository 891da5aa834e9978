#include "cli/CommandLine.h"

namespace yk {

std::optional<Options> parseCommandLine(const std::vector<std::string> &args) {
    const std::optional<CommandWord> word = args.size() < 2 ? std::nullopt : parseWord(args[0]);
    if (!word || args[1].empty())
        return std::nullopt;
    Options o;
    o.command = word->command;
    o.method = word->method;
    const Switches s = word->switches;
    o.hidden = s.on(Switch::HiddenFiles);
    o.storeDirs = s.on(Switch::StoreDirs);
    o.quiet = s.on(Switch::Quiet);
    o.noPaths = s.on(Switch::NoPaths);
    o.move = s.on(Switch::Move);
    o.recurse = s.on(Switch::Recurse);
    o.literal = s.on(Switch::LiteralNames);
    o.systemAttr = s.on(Switch::SystemAttributes);
    o.currentTime = s.on(Switch::CurrentTime);
    o.yes = s.on(Switch::OverwriteAll);
    o.full = s.on(Switch::FullListing);
    o.archive = args[1];
    if (o.command == Command::Add) {
        for (size_t i = 2; i < args.size(); ++i)
            if (!args[i].empty())
                o.names.push_back(args[i]);
    } else if (args.size() != 2) {
        return std::nullopt;
    }
    return o;
}

} // namespace yk
