#pragma once
// Where the archiver's words go: normal lines to `out` (silenced by "q"), problems to `err`
// (never silenced), and a one-line progress indicator redrawn in place when `out` is a terminal.

#include <cstdint>
#include <cstdio>
#include <string>

namespace yk {

class Console {
public:
    Console(FILE *out, FILE *err, bool quiet, bool showProgress);

    // A console for the real streams: progress only when stdout is a terminal and not quiet.
    static Console forTerminal(bool quiet);

    bool quiet() const { return quiet_; }

    void line(const std::string &text);      // suppressed by quiet
    void important(const std::string &text); // shown even when quiet (listings)
    // One row of a long listing: shown even when quiet, but left in the stream's buffer (the
    // next other line or problem, or the end of the program, sends it).
    void row(const std::string &text);
    void problem(const std::string &text); // "yk: " + text on err

    // Shows "label  NN%" in place; cheap to call per block (redraws only when the figure changes).
    void progress(const std::string &label, std::uint64_t done, std::uint64_t total);
    void clearProgress();

private:
    FILE *out_;
    FILE *err_;
    bool quiet_;
    bool showProgress_;
    int lastPercent_ = -1;
    std::string lastLabel_;
    bool progressShown_ = false;
};

// The percentage of `done` in `total`, 0..100; an empty total counts as complete.
int percentOf(std::uint64_t done, std::uint64_t total);

} // namespace yk
