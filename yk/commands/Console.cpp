#include "commands/Console.h"

#include <unistd.h>

namespace yk {

Console::Console(FILE *out, FILE *err, bool quiet, bool showProgress)
    : out_(out), err_(err), quiet_(quiet), showProgress_(showProgress && !quiet) {}

Console Console::forTerminal(bool quiet) {
    return Console(stdout, stderr, quiet, isatty(STDOUT_FILENO) == 1);
}

void Console::line(const std::string &text) {
    if (quiet_)
        return;
    important(text);
}

void Console::important(const std::string &text) {
    clearProgress();
    std::fputs(text.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void Console::row(const std::string &text) {
    clearProgress();
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
}

void Console::problem(const std::string &text) {
    clearProgress();
    std::fflush(out_);
    std::fprintf(err_, "yk: %s\n", text.c_str());
    std::fflush(err_);
}

void Console::progress(const std::string &label, std::uint64_t done, std::uint64_t total) {
    if (!showProgress_)
        return;
    const int pct = percentOf(done, total);
    if (pct == lastPercent_ && label == lastLabel_)
        return;
    lastPercent_ = pct;
    lastLabel_ = label;
    std::fprintf(out_, "\r\033[K%s  %3d%%", label.c_str(), pct);
    std::fflush(out_);
    progressShown_ = true;
}

void Console::clearProgress() {
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
    progressShown_ = false;
    lastPercent_ = -1;
    lastLabel_.clear();
}

int percentOf(std::uint64_t done, std::uint64_t total) {
    if (total == 0 || done >= total)
        return 100;
    return static_cast<int>(static_cast<long double>(done) * 100 / total);
}

} // namespace yk
