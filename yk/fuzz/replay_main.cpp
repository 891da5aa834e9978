// Runs the fuzzing harness once over each file named on the command line, so that the same code
// path runs in every build. Prints one line per file; exits 0 unless a file cannot be read.

#include "commands/InspectBytes.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char **argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        if (!f) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(f),
                                      std::istreambuf_iterator<char>()};
        const int r =
            yk::inspectArchiveBytes(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        std::printf("%s: %zu bytes, list %d, test %d\n", argv[i], bytes.size(), r / 3, r % 3);
    }
    return status;
}
