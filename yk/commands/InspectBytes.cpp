#include "commands/InspectBytes.h"

#include "commands/Console.h"
#include "commands/ListCommand.h"
#include "commands/TestCommand.h"
#include "format/ArchiveReader.h"

#include <cstdio>

namespace yk {

int inspectArchiveBytes(const std::uint8_t *data, std::size_t size) {
    static FILE *sink = std::fopen("/dev/null", "w");
    // An empty buffer must still be "in memory", not a file with an empty name.
    static const std::uint8_t none = 0;
    const ArchiveSource src = ArchiveSource::memory(size ? data : &none, size);
    Console console(sink, sink, false, false);
    const int list = runList(src, true, console);
    const int test = runTest(src, console);
    return list * 3 + test;
}

} // namespace yk
