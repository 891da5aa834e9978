#pragma once
// "l": the archive's entries with sizes, ratio, date and time; "f" adds method, CRC and
// permissions. Totals at the end.

#include "commands/Console.h"
#include "commands/Options.h"
#include "format/ArchiveReader.h"

namespace yk {

int runList(const ArchiveSource &source, bool full, Console &console);

} // namespace yk
