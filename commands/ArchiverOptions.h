#pragma once
// The archiver options as the commands read them: the compression method and ten switches.
#include <array>
#include <cstddef>

namespace commands {

struct ArchiverOptions {
    int method = 1; // item index of the method group: 0, 1 or 2
    // checkBox[n] is the state of CheckBoxn, n from 1 to 10; [0] is unused.
    std::array<bool, 11> checkBox{false, true,  false, false, false, false,
                                  false, false, false, false, false};

    bool on(int n) const { return n >= 1 && n <= 10 && checkBox[std::size_t(n)]; }
};

} // namespace commands
