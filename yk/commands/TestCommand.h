#pragma once
// "t": read every entry through, checking its CRC; one line per entry unless quiet; a summary.

#include "commands/Console.h"
#include "format/ArchiveReader.h"

namespace yk {

int runTest(const ArchiveSource &source, Console &console);

} // namespace yk
