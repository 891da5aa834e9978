#pragma once
// The archiver's command word as data (no Qt), for its parser and for the window program's
// composition: a command letter, the switch letters the command takes (each at most once, in
// table order) and, for add, the method digit.
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace yk {

enum class Command { Add, Extract, List, Test };
enum class Switch {
    HiddenFiles,      // wildcards also match dot files
    StoreDirs,        // directory entries are stored
    Quiet,            // only error messages
    NoPaths,          // names without their paths (extract: its own command letter)
    Move,             // the sources go once the archive is in place
    Recurse,          // wildcards match in every subdirectory
    LiteralNames,     // '*' and '?' in a name are plain letters
    SystemAttributes, // accepted, nothing to do on POSIX
    CurrentTime,      // extracted files get the current time
    OverwriteAll,     // existing files are replaced without asking
    FullListing,      // the listing also shows method, CRC and permissions
};

struct Switches {
    std::bitset<16> bits; // indexed by Switch
    constexpr bool on(Switch s) const { return bits[size_t(s)]; }
    void set(Switch s, bool on = true) { bits[size_t(s)] = on; }
};

// The command letters, read in any case; extract is written 'e' instead of 'x' for NoPaths.
struct CommandLetter {
    Command command;
    char letter, withNoPaths;
    bool method; // the word ends in the method digit
};
inline constexpr CommandLetter CommandLetters[] = {
    {Command::Add, 'a', 'a', true},
    {Command::Extract, 'x', 'e', false},
    {Command::List, 'l', 'l', false},
    {Command::Test, 't', 't', false},
};

// Every switch letter in the order command words carry them, and the commands that take it.
struct SwitchLetter {
    Switch meaning;
    char letter;
    bool takenBy[4]; // add, extract, list, test
};
inline constexpr SwitchLetter SwitchLetters[] = {
    {Switch::HiddenFiles, 's', {1, 0, 0, 0}},  {Switch::StoreDirs, 'd', {1, 0, 0, 0}},
    {Switch::Quiet, 'q', {1, 1, 0, 1}},        {Switch::NoPaths, 'e', {1, 0, 0, 0}},
    {Switch::Move, 'm', {1, 0, 0, 0}},         {Switch::Recurse, 'r', {1, 0, 0, 0}},
    {Switch::LiteralNames, 'n', {1, 0, 0, 0}}, {Switch::SystemAttributes, 'a', {0, 1, 0, 0}},
    {Switch::CurrentTime, 't', {0, 1, 0, 0}},  {Switch::OverwriteAll, 'y', {0, 1, 0, 0}},
    {Switch::FullListing, 'f', {0, 0, 1, 0}},
};

struct CommandWord {
    Command command = Command::List;
    Switches switches;
    int method = 1; // add: 0 copy, 1 LZMA, 2 PPMd
};

// "asq1": the command letter, the switches the command takes and, for add, the method digit
// (a method outside 0..2 is written as 1).
std::string composeWord(const CommandWord &word);
// Nothing when the word does not follow the grammar.
std::optional<CommandWord> parseWord(std::string_view word);
// Whether the window program starts the archiver without a window: the word carries Quiet.
bool windowless(const CommandWord &word);

// Archives are named with this extension; a name ending in it in any ASCII case has it.
inline constexpr char ArchiveExtension[] = ".yk";
bool hasArchiveExtension(std::string_view name);

} // namespace yk
