#pragma once
// Lists and tests an archive held in memory, discarding the output: what the fuzzing harness
// and its replay program run on arbitrary bytes.

#include <cstddef>
#include <cstdint>

namespace yk {

// The exit statuses of the full listing and of the test, combined as list * 3 + test.
int inspectArchiveBytes(const std::uint8_t *data, std::size_t size);

} // namespace yk
