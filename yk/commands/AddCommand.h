#pragma once
// "a": add files to a new or existing archive. The old archive's other entries are kept, entries
// of the same stored name replaced; the result replaces the old archive only when complete.

#include "commands/Console.h"
#include "commands/Options.h"

namespace yk {

int runAdd(const Options &options, Console &console);

} // namespace yk
