// Times a full refresh of the main window's file list on a directory of many empty files, side by
// side with `ls -U DIR | sort -f` on the same directory, and the peak memory the refresh adds.
//
//   bench_refresh [files [runs]]      defaults: 100000 files, 5 runs of each
//
// Prints one Markdown table row, ready for the README.
#include "app/FileListBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// Varied on purpose: mixed case, Cyrillic, blanks, several extensions, so that folding and
// decoding do their real work.
const char *const Stems[] = {"report", "Photo",   "INVOICE",     "notes", "Отчёт",      "фото",
                             "ПИСЬМО", "read me", "Budget 2024", "x",     "Mixed Ёлка", "data"};
const char *const Separators[] = {"_", " ", "-", ""};
const char *const Extensions[] = {".txt", ".TXT", ".jpg", ".Exe", ".tar.gz", "", ".docx", ".log"};

template <typename T, size_t N> constexpr size_t countOf(T (&)[N]) {
    return N;
}

std::string fileName(unsigned i) {
    // A multiplicative hash spreads the kinds of names over the directory.
    const unsigned h = i * 2654435761u;
    std::string name = Stems[(h >> 8) % countOf(Stems)];
    name += Separators[(h >> 16) % countOf(Separators)];
    name += std::to_string(i);
    name += Extensions[(h >> 20) % countOf(Extensions)];
    return name;
}

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "bench_refresh: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

class TempDir {
public:
    explicit TempDir(unsigned files) {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/winyk-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            fail("cannot make a temporary directory");
        m_path = pattern;
        m_fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            fail("cannot open the temporary directory");
        for (unsigned i = 0; i < files; ++i) {
            const int fd =
                ::openat(m_fd, fileName(i).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                removeAll(i);
                fail("cannot create a file");
            }
            ::close(fd);
        }
        m_count = files;
    }
    ~TempDir() { removeAll(m_count); }
    const std::string &path() const { return m_path; }

private:
    void removeAll(unsigned created) {
        for (unsigned i = 0; i < created; ++i)
            ::unlinkat(m_fd, fileName(i).c_str(), 0);
        ::close(m_fd);
        ::rmdir(m_path.c_str());
    }

    std::string m_path;
    int m_fd = -1;
    unsigned m_count = 0;
};

// A field of /proc/self/status in KiB, or -1.
long statusKiB(const char *field) {
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const size_t len = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, len) == 0 && line[len] == ':') {
            value = std::strtol(line + len + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

// Starts the peak-memory mark afresh at the present size; false where the kernel cannot.
bool resetPeakMemory() {
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// Wall time of one shell pipeline, process start included.
double timeShell(const std::string &command) {
    const char *argv[] = {"sh", "-c", command.c_str(), nullptr};
    QElapsedTimer t;
    t.start();
    pid_t pid;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char **>(argv), environ) != 0)
        fail("cannot start /bin/sh");
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            fail("waitpid");
    const double ms = msSince(t);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_refresh: `%s` failed\n", command.c_str());
        std::exit(1);
    }
    return ms;
}

// Counts the paints of the list so that a timing can wait for the rows to be on screen.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct RefreshTime {
    double call = 0;  // refresh() itself: read, sort, model filled
    double total = 0; // until the view has laid out and painted the new rows
};

// One full refresh as the user sees it: the call, then the event loop until the list repaints.
RefreshTime timeRefresh(FileListBox &box, PaintCounter &counter, bool first,
                        const QByteArray &dir) {
    QApplication::processEvents();
    const int paintsBefore = counter.paints;
    RefreshTime r;
    QElapsedTimer t;
    t.start();
    if (first)
        box.setDirectory(dir);
    else
        box.refresh();
    r.call = msSince(t);
    QElapsedTimer limit;
    limit.start();
    while (counter.paints == paintsBefore && limit.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    r.total = msSince(t);
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double minimum(const std::vector<double> &v) {
    return *std::min_element(v.begin(), v.end());
}

std::string shellQuoted(const std::string &s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

int main(int argc, char **argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const long files = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    const long runs = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 5;
    if (files < 1 || files > 10000000 || runs < 1 || runs > 1000) {
        std::fprintf(stderr, "usage: bench_refresh [files (default 100000) [runs (default 5)]]\n");
        return 2;
    }
    QApplication app(argc, argv);
    const char *collation = std::setlocale(LC_COLLATE, "");

    std::fprintf(stderr, "making %ld empty files...\n", files);
    QElapsedTimer made;
    made.start();
    const TempDir dir{unsigned(files)};
    std::fprintf(stderr, "made in %.0f ms in %s\n", msSince(made), dir.path().c_str());
    const std::string pipeline = "ls -U " + shellQuoted(dir.path()) + " | sort -f > /dev/null";
    // The same with byte-wise collation, the quickest sort can be.
    const std::string pipelineC =
        "LC_ALL=C ls -U " + shellQuoted(dir.path()) + " | LC_ALL=C sort -f > /dev/null";

    FileListBox box;
    box.resize(300, 400);
    box.show();
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    QApplication::processEvents();

    // Paint a few rows first so that font and glyph caches do not count as the refresh's cost.
    const TempDir warmUp{10};
    timeRefresh(box, counter, true, QByteArray::fromStdString(warmUp.path()));

    // The first refresh also gives the memory: everything it keeps plus its passing peak.
    const bool peakReset = resetPeakMemory();
    const long rssBefore = statusKiB("VmRSS");
    const RefreshTime first =
        timeRefresh(box, counter, true, QByteArray::fromStdString(dir.path()));
    const long peak = statusKiB("VmHWM");
    const long rssAfter = statusKiB("VmRSS");
    if (box.count() != files) {
        std::fprintf(stderr, "bench_refresh: the list shows %d files, not %ld\n", box.count(),
                     files);
        return 1;
    }

    std::vector<double> calls, totals, pipelines, pipelinesC;
    for (long i = 0; i < runs; ++i) {
        pipelines.push_back(timeShell(pipeline));
        pipelinesC.push_back(timeShell(pipelineC));
        const RefreshTime r = timeRefresh(box, counter, false, {});
        calls.push_back(r.call);
        totals.push_back(r.total);
    }

    const double peakMiB = double(peak - rssBefore) / 1024;
    const double bytesPerFile = double(peak - rssBefore) * 1024 / double(files);
    std::printf("list shown (QListView, uniform row heights, 300x400), QT_QPA_PLATFORM=%s, "
                "collation %s, %ld runs each after a first refresh of %.1f ms\n",
                std::getenv("QT_QPA_PLATFORM"), collation ? collation : "?", runs, first.total);
    std::printf("refresh = refresh() (read, sort, model filled; median %.1f ms, min %.1f ms) "
                "+ layout and paint of the view\n",
                median(calls), minimum(calls));
    std::printf("memory kept after the first refresh: %.1f MiB%s\n\n",
                double(rssAfter - rssBefore) / 1024,
                peakReset ? "" : " (peak mark could not be reset: the peak may be too high)");
    std::printf(
        "| files | refresh ms | ls -U \\| sort -f ms | ratio | same, LC_ALL=C, ms | ratio | "
        "peak memory added | per file |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf(
        "| %ld | %.1f / %.1f | %.1f / %.1f | %.2f | %.1f / %.1f | %.2f | %.1f MiB | %.0f bytes "
        "|\n",
        files, median(totals), minimum(totals), median(pipelines), minimum(pipelines),
        median(totals) / median(pipelines), median(pipelinesC), minimum(pipelinesC),
        median(totals) / median(pipelinesC), peakMiB, bytesPerFile);
    std::printf("\n(times: median / min; ratios of medians)\n");
    return 0;
}
