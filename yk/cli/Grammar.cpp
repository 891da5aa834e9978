#include "cli/Grammar.h"

#include <algorithm>

namespace yk {

namespace {

// ASCII only: the grammar's letters are ASCII, whatever the locale.
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

std::string composeWord(const CommandWord &word) {
    std::string run;
    for (const CommandLetter &c : CommandLetters) {
        if (c.command != word.command)
            continue;
        run += word.switches.on(Switch::NoPaths) ? c.withNoPaths : c.letter;
        for (const SwitchLetter &s : SwitchLetters)
            if (s.takenBy[int(c.command)] && word.switches.on(s.meaning))
                run += s.letter;
        if (c.method)
            run += char('0' + (word.method >= 0 && word.method <= 2 ? word.method : 1));
    }
    return run;
}

std::optional<CommandWord> parseWord(std::string_view word) {
    const char first = word.empty() ? 0 : lower(word[0]);
    for (const CommandLetter &c : CommandLetters) {
        if (first != c.letter && first != c.withNoPaths)
            continue;
        CommandWord parsed;
        parsed.command = c.command;
        parsed.switches.set(Switch::NoPaths, first != c.letter);
        // Each switch letter at most once and in table order: the search goes on after the last.
        size_t pos = 1;
        for (const SwitchLetter &s : SwitchLetters)
            if (pos < word.size() && s.takenBy[int(c.command)] && s.letter == lower(word[pos])) {
                parsed.switches.set(s.meaning);
                ++pos;
            }
        if (c.method) {
            if (pos + 1 != word.size() || word[pos] < '0' || word[pos] > '2')
                return std::nullopt;
            parsed.method = word[pos++] - '0';
        }
        if (pos != word.size())
            return std::nullopt;
        return parsed;
    }
    return std::nullopt;
}

bool windowless(const CommandWord &word) {
    for (const SwitchLetter &s : SwitchLetters)
        if (s.meaning == Switch::Quiet && s.takenBy[int(word.command)])
            return word.switches.on(Switch::Quiet);
    return false;
}

bool hasArchiveExtension(std::string_view name) {
    const std::string_view ext = ArchiveExtension;
    return name.size() >= ext.size() && std::equal(ext.begin(), ext.end(), name.end() - ext.size(),
                                                   [](char e, char c) { return e == lower(c); });
}

} // namespace yk
