// Method 1's writer on a directory, with the encoder's parameters, the block and the prime set
// per setting, side by side: the files in the order an add stores them, each setting run in a
// child process per round (rounds interleave the settings, so a changing load weighs on all
// alike). Prints each run and a table of the least processor time (user + system: what the work
// costs, whatever the load), the best wall time, the archive's size and the peak memory.
//
// Usage: tune_a1 DIR OUTDIR ROUNDS SETTING...
// A setting is a comma-separated list of key=value (none of them: the writer's defaults):
//   nice=N depth=N mf=hc3|hc4|bt2|bt3|bt4 lc=N lp=N pb=N text=0|1 preset=N
//   dict=MiB block=MiB prime=KiB threads=N
// Each setting's archive is left in OUTDIR as tune-<row>.7z, for a reader to test.

#include "commands/Messages.h"
#include "commands/SolidOrder.h"
#include "commands/Sources.h"
#include "format/SolidWriter.h"

#include <fcntl.h>
#include <lzma.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Setting {
    std::string text;
    yk::SolidSettings s;
};

bool parseSetting(const std::string &text, Setting &out) {
    out.text = text.empty() ? "(defaults)" : text;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (item.empty())
            continue;
        const auto eq = item.find('=');
        if (eq == std::string::npos)
            return false;
        const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        if (key == "mf") {
            const struct {
                const char *name;
                lzma_match_finder mf;
            } finders[] = {{"hc3", LZMA_MF_HC3},
                           {"hc4", LZMA_MF_HC4},
                           {"bt2", LZMA_MF_BT2},
                           {"bt3", LZMA_MF_BT3},
                           {"bt4", LZMA_MF_BT4}};
            bool found = false;
            for (const auto &f : finders)
                if (value == f.name) {
                    out.s.lzma.matchFinder = f.mf;
                    found = true;
                }
            if (!found)
                return false;
            continue;
        }
        char *end = nullptr;
        const unsigned long long n = std::strtoull(value.c_str(), &end, 10);
        if (value.empty() || *end)
            return false;
        if (key == "nice")
            out.s.lzma.niceLen = static_cast<std::uint32_t>(n);
        else if (key == "depth")
            out.s.lzma.depth = static_cast<std::uint32_t>(n);
        else if (key == "lc")
            out.s.lzma.lc = static_cast<int>(n);
        else if (key == "lp")
            out.s.lzma.lp = static_cast<int>(n);
        else if (key == "pb")
            out.s.lzma.pb = static_cast<int>(n);
        else if (key == "text")
            out.s.lzma.textBits = n != 0;
        else if (key == "preset")
            out.s.lzma.preset = static_cast<std::uint32_t>(n);
        else if (key == "dict")
            out.s.lzma.dictSize = static_cast<std::uint32_t>(n << 20);
        else if (key == "block")
            out.s.blockSize = static_cast<std::size_t>(n << 20);
        else if (key == "prime")
            out.s.primeSize = static_cast<std::size_t>(n << 10);
        else if (key == "threads")
            out.s.threads = static_cast<unsigned>(n);
        else
            return false;
    }
    return true;
}

// The child: the files into one archive, as an add of method 1 writes them.
int writeArchive(const std::vector<yk::Source> &files, const yk::SolidSettings &s,
                 const std::string &output) {
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        std::perror(output.c_str());
        return 2;
    }
    yk::SolidWriter w(out, s);
    yk::Error error;
    bool ok = w.open(error);
    std::vector<char> buf(1 << 20);
    for (std::size_t i = 0; ok && i < files.size(); ++i) {
        const int in = ::open(files[i].diskPath.c_str(), O_RDONLY);
        struct stat st;
        if (in < 0 || fstat(in, &st) != 0) {
            std::perror(files[i].diskPath.c_str());
            return 2;
        }
        yk::StoreEntry e;
        e.name = files[i].stored;
        e.mode = st.st_mode;
        e.size = static_cast<std::uint64_t>(st.st_size);
        ok = w.add(e, error);
        ssize_t n;
        while (ok && (n = ::read(in, buf.data(), buf.size())) > 0)
            ok = w.write(buf.data(), static_cast<std::size_t>(n), error);
        ::close(in);
    }
    ok = ok && w.close(error);
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", yk::msg::reason(error).c_str());
        return 1;
    }
    return ::close(out) == 0 ? 0 : 1;
}

struct Figures {
    std::vector<double> cpu, wall;
    long long size = 0;
    long peakKiB = 0;
};

double seconds(const timeval &t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[(v.size() - 1) / 2];
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s DIR OUTDIR ROUNDS SETTING...\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1], outDir = argv[2];
    const int rounds = std::max(1, std::atoi(argv[3]));
    std::vector<Setting> settings;
    for (int i = 4; i < argc; ++i) {
        Setting st;
        if (!parseSetting(argv[i], st)) {
            std::fprintf(stderr, "bad setting: %s\n", argv[i]);
            return 2;
        }
        settings.push_back(st);
    }

    // The regular files under DIR, named as an add of DIR names them, in its solid order.
    std::vector<yk::Source> files;
    namespace fs = std::filesystem;
    const fs::path root(dir);
    for (const auto &e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file() || e.is_symlink())
            continue;
        yk::Source s;
        s.diskPath = e.path().string();
        s.stored = (root.filename() / e.path().lexically_relative(root)).string();
        files.push_back(s);
    }
    yk::sortForSolid(files);
    std::printf("%zu files; %d rounds; %zu settings\n", files.size(), rounds, settings.size());

    std::vector<Figures> figures(settings.size());
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < settings.size(); ++i) {
            const std::string output = outDir + "/tune-" + std::to_string(i + 1) + ".7z";
            std::fflush(stdout);
            const auto t0 = std::chrono::steady_clock::now();
            const pid_t pid = fork();
            if (pid < 0) {
                std::perror("fork");
                return 2;
            }
            if (pid == 0)
                _exit(writeArchive(files, settings[i].s, output));
            int status = 0;
            struct rusage ru;
            if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) ||
                WEXITSTATUS(status) != 0) {
                std::fprintf(stderr, "setting %zu failed\n", i + 1);
                return 1;
            }
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const double cpu = seconds(ru.ru_utime) + seconds(ru.ru_stime);
            struct stat st;
            if (stat(output.c_str(), &st) != 0) {
                std::perror(output.c_str());
                return 1;
            }
            Figures &f = figures[i];
            f.cpu.push_back(cpu);
            f.wall.push_back(wall);
            f.size = static_cast<long long>(st.st_size);
            f.peakKiB = std::max(f.peakKiB, ru.ru_maxrss);
            std::printf("round %d, %2zu %-40s %6.2f s CPU, %6.2f s, %lld bytes\n", r + 1, i + 1,
                        settings[i].text.c_str(), cpu, wall, f.size);
        }
    }

    std::printf("\n| # | setting | CPU, s | CPU median, s | wall, s | size, bytes | CPU vs #1 "
                "| size vs #1 | peak, MiB |\n");
    std::printf("|--:|---|--:|--:|--:|--:|--:|--:|--:|\n");
    const double cpu1 = *std::min_element(figures[0].cpu.begin(), figures[0].cpu.end());
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const Figures &f = figures[i];
        const double cpu = *std::min_element(f.cpu.begin(), f.cpu.end());
        const double wall = *std::min_element(f.wall.begin(), f.wall.end());
        std::printf("| %zu | %s | %.2f | %.2f | %.2f | %lld | %.3f | %.4f | %ld |\n", i + 1,
                    settings[i].text.c_str(), cpu, median(f.cpu), wall, f.size, cpu / cpu1,
                    static_cast<double>(f.size) / static_cast<double>(figures[0].size),
                    f.peakKiB >> 10);
    }
    return 0;
}
