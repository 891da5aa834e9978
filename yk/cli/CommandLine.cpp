#include "cli/CommandLine.h"

namespace yk {

std::optional<Options> parseCommandLine(const std::vector<std::string> &args) {
    const std::optional<CommandWord> word = args.size() < 2 ? std::nullopt : parseWord(args[0]);
    if (!word || args[1].empty())
        return std::nullopt;
    Options o{*word, args[1], {}};
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
