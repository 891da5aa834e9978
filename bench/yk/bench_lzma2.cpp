// Method 1's writer on one input file with chosen block and prime sizes and thread count: prints
// the archive's size and the seconds it took, to find the sizes that the archiver uses.
//
// Usage: bench_lzma2 INPUT OUTPUT [block MiB (0: the writer's own)] [prime KiB]
//                    [threads (0: one per core)] [preset]

#include "commands/Messages.h"
#include "format/SolidWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s INPUT OUTPUT [blockMiB] [primeKiB] [threads] [preset]\n",
                     argv[0]);
        return 2;
    }
    const int in = ::open(argv[1], O_RDONLY);
    struct stat st;
    if (in < 0 || fstat(in, &st) != 0) {
        std::perror(argv[1]);
        return 2;
    }
    yk::SolidSettings s;
    if (argc > 3)
        s.blockSize = std::strtoull(argv[3], nullptr, 10) << 20;
    if (argc > 4)
        s.primeSize = std::strtoull(argv[4], nullptr, 10) << 10;
    if (argc > 5)
        s.threads = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
    if (argc > 6)
        s.lzma.preset = static_cast<std::uint32_t>(std::strtoul(argv[6], nullptr, 10));
    const int out = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        std::perror(argv[2]);
        return 2;
    }
    const auto t0 = std::chrono::steady_clock::now();
    yk::SolidWriter w(out, s);
    yk::Error error;
    yk::StoreEntry e;
    e.name = "data";
    e.mode = 0100644;
    e.size = static_cast<std::uint64_t>(st.st_size);
    bool ok = w.open(error) && w.add(e, error);
    std::vector<char> buf(1 << 20);
    ssize_t n;
    while (ok && (n = ::read(in, buf.data(), buf.size())) > 0)
        ok = w.write(buf.data(), static_cast<std::size_t>(n), error);
    ok = ok && w.close(error);
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", yk::msg::reason(error).c_str());
        return 1;
    }
    std::printf("block %zu KiB, prime %zu KiB, %u threads: %lld bytes, %.2f s, %llu bytes stored\n",
                w.blockSize() >> 10, s.primeSize >> 10, w.threads(),
                static_cast<long long>(lseek(out, 0, SEEK_END)), secs,
                static_cast<unsigned long long>(w.storedBytes()));
    return 0;
}
