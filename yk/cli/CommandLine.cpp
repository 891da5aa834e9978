#include "cli/CommandLine.h"

#include <cctype>

namespace yk {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Consumes the switch letters of `order` that appear in `word` from `pos`, each at most once and
// in the given order; stops at the first letter that does not fit, leaving it to the caller.
std::string takeSwitches(const std::string &word, size_t &pos, const std::string &order) {
    std::string seen;
    size_t next = 0;
    while (pos < word.size()) {
        const size_t at = order.find(lower(word[pos]), next);
        if (at == std::string::npos)
            break;
        seen += order[at];
        next = at + 1;
        ++pos;
    }
    return seen;
}

bool has(const std::string &letters, char c) {
    return letters.find(c) != std::string::npos;
}

} // namespace

std::optional<Options> parseCommandLine(const std::vector<std::string> &args) {
    if (args.size() < 2 || args[0].empty())
        return std::nullopt;
    const std::string &word = args[0];
    Options o;
    size_t pos = 1;
    const char letter = lower(word[0]);
    std::string sw;
    switch (letter) {
    case 'a': {
        o.command = Command::Add;
        sw = takeSwitches(word, pos, "sdqemrn");
        if (pos + 1 != word.size() || word[pos] < '0' || word[pos] > '2')
            return std::nullopt;
        o.method = word[pos] - '0';
        ++pos;
        o.hidden = has(sw, 's');
        o.storeDirs = has(sw, 'd');
        o.quiet = has(sw, 'q');
        o.noPaths = has(sw, 'e');
        o.move = has(sw, 'm');
        o.recurse = has(sw, 'r');
        o.literal = has(sw, 'n');
        break;
    }
    case 'e':
    case 'x':
        o.command = Command::Extract;
        o.noPaths = letter == 'e';
        sw = takeSwitches(word, pos, "qaty");
        o.quiet = has(sw, 'q');
        o.systemAttr = has(sw, 'a');
        o.currentTime = has(sw, 't');
        o.yes = has(sw, 'y');
        break;
    case 'l':
        o.command = Command::List;
        sw = takeSwitches(word, pos, "f");
        o.full = has(sw, 'f');
        break;
    case 't':
        o.command = Command::Test;
        sw = takeSwitches(word, pos, "q");
        o.quiet = has(sw, 'q');
        break;
    default:
        return std::nullopt;
    }
    if (pos != word.size())
        return std::nullopt;
    o.archive = args[1];
    if (o.archive.empty())
        return std::nullopt;
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
