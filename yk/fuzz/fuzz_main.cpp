// libFuzzer entry: arbitrary bytes read as an archive through the full listing and the test.

#include "commands/InspectBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    yk::inspectArchiveBytes(data, size);
    return 0;
}
