#pragma once
// Where the archive bytes come from: a file, or a buffer (the fuzzing harness).

#include <cstddef>
#include <string>

namespace yk {

struct ArchiveSource {
    std::string path;
    const void *data = nullptr;
    std::size_t size = 0;

    static ArchiveSource file(const std::string &p) { return ArchiveSource{p, nullptr, 0}; }
    static ArchiveSource memory(const void *d, std::size_t n) { return ArchiveSource{"", d, n}; }
    bool inMemory() const { return data != nullptr || path.empty(); }
};

} // namespace yk
