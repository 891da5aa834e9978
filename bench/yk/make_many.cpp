// Writes an archive of many small entries, as method 1 or 0 writes them, for timing the listing
// against other archivers: N files named "dNNN/fNNNNNNN.txt", each holding its own number.
//
// Usage: make_many OUTPUT ENTRIES [method 0|1]

#include "commands/Messages.h"
#include "format/SolidWriter.h"
#include "format/StoreWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <typename Writer> bool fill(Writer &w, long count, yk::Error &error) {
    if (!w.open(error))
        return false;
    for (long i = 0; i < count; ++i) {
        char name[64], data[32];
        std::snprintf(name, sizeof name, "d%03ld/f%07ld.txt", i % 1000, i);
        const int n = std::snprintf(data, sizeof data, "%ld\n", i);
        yk::StoreEntry e;
        e.name = name;
        e.mode = 0100644;
        e.size = static_cast<std::uint64_t>(n);
        e.mtime.set = true;
        e.mtime.sec = 1765000000 + i;
        if (!w.add(e, error) || !w.write(data, static_cast<std::size_t>(n), error))
            return false;
    }
    return w.close(error);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT ENTRIES [method 0|1]\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    const int method = argc > 3 ? std::atoi(argv[3]) : 1;
    const int fd = ::open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(argv[1]);
        return 2;
    }
    yk::Error error;
    bool ok;
    if (method == 0) {
        yk::StoreWriter w(fd);
        ok = fill(w, count, error);
    } else {
        yk::SolidWriter w(fd, {});
        ok = fill(w, count, error);
    }
    ::close(fd);
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", yk::msg::reason(error).c_str());
        return 1;
    }
    return 0;
}
