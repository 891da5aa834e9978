#pragma once
// Parsing of the archiver's command line: one command word made of a command letter and its
// switch letters, then the archive, then (for add) the names. No dash options exist, so every
// later argument is an operand, whatever it looks like.

#include "commands/Options.h"

#include <optional>
#include <string>
#include <vector>

namespace yk {

// Returns nothing when the arguments (without the program name) do not follow the grammar.
std::optional<Options> parseCommandLine(const std::vector<std::string> &args);

} // namespace yk
