#include "commands/AddCommand.h"

#include "commands/Messages.h"
#include "commands/Outcome.h"
#include "commands/SolidOrder.h"
#include "commands/Sources.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveSink.h"
#include "format/EntryLoop.h"
#include "fs/AtomicFile.h"
#include "fs/DirLock.h"
#include "fs/Names.h"
#include "fs/SourceFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <vector>

namespace yk {

namespace {

constexpr size_t kBlock = 1 << 20;

struct EntryFree {
    void operator()(struct archive_entry *e) const { archive_entry_free(e); }
};
using Entry = std::unique_ptr<struct archive_entry, EntryFree>;

// What became of one source, for the move step.
struct Added {
    const Source *source;
    struct stat seen; // as read; a file changed since is not deleted
};

class Adder {
public:
    Adder(const Options &o, Console &c) : o_(o), console_(c), buffer_(kBlock) {}

    int run() {
        archivePath_ = archiveFileForAdd(o_.archive);
        const std::string name = baseName(archivePath_);
        const std::string stem = name.size() >= 3 ? name.substr(0, name.size() - 3) : "";
        if (stem.empty() || stem == "." || stem == "..") {
            // ".yk" alone, "sub/" or ".": nothing names the archive but a directory.
            console_.problem(msg::emptyArchiveName(o_.archive));
            return ExitNothing;
        }
        DirLock lock(archiveDir());
        Error error;
        if (!lock.open(error)) {
            console_.problem(msg::cannotWriteArchive(archivePath_, msg::reason(error), false));
            return ExitNothing;
        }
        // Held until the new archive is in place, so that two adds into one archive both count.
        lockWriters(lock);
        dirFd_ = lock.fd();
        for (const std::string &t : removeStaleTemporaries(lock.fd(), name))
            console_.line(msg::staleTemporaryRemoved(joinPath(dirName(archivePath_), t)));
        FileId self;
        if (!checkOldArchive(self))
            return ExitNothing;
        SourceList sources = collectSources(o_, hadOld_ ? &self : nullptr, console_);
        if (sources.items.empty()) {
            console_.problem(msg::nothingToAdd());
            return ExitNothing;
        }
        // A solid block packs better with files alike side by side; stored entries keep the
        // order they were found in.
        if (o_.method != 0)
            sortForSolid(sources.items);
        return writeUntilSteady(sources);
    }

private:
    std::string archiveDir() const {
        const std::string dir = dirName(archivePath_);
        return dir.empty() ? "." : dir;
    }

    // Notes whether there is an old archive and which file it is; false (reported) when the
    // name is taken by something else.
    bool checkOldArchive(FileId &self) {
        struct stat ast;
        Error none; // whatever the reason, there is no old archive to keep
        hadOld_ = pathState(archivePath_, ast, none, true);
        if (hadOld_ && !S_ISREG(ast.st_mode)) {
            console_.problem(msg::archiveNotRegular(archivePath_, ast.st_mode));
            return false;
        }
        self = FileId::of(ast);
        return true;
    }

    // A file that changes while it is read is left out and the whole archive written again
    // without it, its old entry kept: an entry that is not the file is never stored, and
    // entries cannot be taken back out of a stream already written. Each pass leaves out one
    // more file, so this ends.
    int writeUntilSteady(const SourceList &sources) {
        saidLine_.assign(sources.items.size(), false);
        saidProblem_.assign(sources.items.size(), false);
        std::vector<bool> leftOut(sources.items.size(), false);
        for (;;) {
            outcome_ = Outcome();
            outcome_.failed = sources.failures;
            for (bool l : leftOut)
                outcome_.failed += l ? 1 : 0;
            std::size_t changed = sources.items.size();
            const Pass p = writePass(sources, leftOut, changed);
            if (p != Pass::Again)
                return p == Pass::Written ? outcome_.exitStatus() : ExitNothing;
            leftOut[changed] = true;
        }
    }

    enum class Pass { Written, Failed, Again };

    // Writes the new archive with the sources not left out and puts it in place. Again with
    // `changed` set when a source changed while it was read.
    Pass writePass(const SourceList &sources, const std::vector<bool> &leftOut,
                   std::size_t &changed) {
        const std::string name = baseName(archivePath_);
        Error error;
        replaced_.clear();
        std::unique_ptr<ArchiveInput> old;
        if (hadOld_) {
            old = std::make_unique<ArchiveInput>(ArchiveSource::file(archivePath_));
            if (!old->open(error)) {
                console_.problem(msg::cannotReadArchive(archivePath_, msg::reason(error)));
                return Pass::Failed;
            }
        }
        AtomicFile out;
        out.noteWhenNamed();
        if (!out.openAt(dirFd_, name, error)) {
            console_.problem(msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
            return Pass::Failed;
        }
        // libarchive (method 2) gathers the packed data in a temporary file of its own
        // until the end: keep it beside the archive rather than in a /tmp that may be small.
        setenv("TMPDIR", archiveDir().c_str(), 1);
        std::unique_ptr<ArchiveSink> w = openSink(o_.method, out.fd(), error);
        if (!w) {
            console_.problem(msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
            return Pass::Failed;
        }

        std::set<std::string> newNames;
        for (std::size_t i = 0; i < sources.items.size(); ++i)
            if (!leftOut[i])
                newNames.insert(sources.items[i].stored);
        if (old && !copyOldEntries(*old, w.get(), newNames))
            return Pass::Failed;

        std::vector<Added> added;
        for (std::size_t i = 0; i < sources.items.size(); ++i) {
            if (leftOut[i])
                continue;
            switch (addOne(w.get(), sources.items[i], i, added)) {
            case Result::Done:
                break;
            case Result::Changed:
                w->abandon();
                changed = i;
                return Pass::Again;
            case Result::ArchiveFailed:
                return Pass::Failed; // the archive itself could not be written
            }
        }
        if (outcome_.done == 0)
            return Pass::Failed; // nothing new: the old archive stays as it was

        if (!w->close(error) || !out.commit(out.modeForTarget(), true, error)) {
            console_.problem(msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
            return Pass::Failed;
        }
        console_.line(msg::addSummary(outcome_.done, outcome_.failed, archivePath_));
        if (o_.on(Switch::Move))
            removeSources(added);
        return Pass::Written;
    }

    // Says `text` about source `i` once, however many passes meet the same line or problem
    // (a source added in one pass may still vanish before the next).
    void tell(std::size_t i, const std::string &text, bool problem) {
        std::vector<bool> &said = problem ? saidProblem_ : saidLine_;
        if (said[i])
            return;
        said[i] = true;
        if (problem)
            console_.problem(text);
        else
            console_.line(text);
    }

    void lockWriters(DirLock &lock) {
        Error error;
        switch (lock.tryLock(error)) {
        case DirLock::Locked:
            return;
        case DirLock::Busy:
            // Only a person at a terminal is told; the wait itself is the same for everyone.
            if (isatty(STDERR_FILENO) == 1)
                console_.problem(msg::waitingForLock(archivePath_));
            if (lock.wait(error))
                return;
            break;
        case DirLock::Failed:
            break;
        }
        console_.problem(msg::lockUnavailable(archivePath_, msg::reason(error)));
    }

    bool copyOldEntries(ArchiveInput &in, ArchiveSink *w, const std::set<std::string> &skip) {
        Error error;
        bool written = true;
        const bool read = forEachEntry(
            in,
            [&](struct archive_entry *e) {
                // "d/" in an old archive is the directory a new "d" replaces.
                std::string name = entryName(e);
                while (name.size() > 1 && name.back() == '/')
                    name.pop_back();
                if (skip.count(name)) {
                    replaced_.insert(name);
                    return true;
                }
                if (!w->header(e, error)) {
                    console_.problem(
                        msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
                    return written = false;
                }
                const DataEnd end = forEachBlock(
                    in, e,
                    [&](const void *data, std::size_t size, std::uint64_t, Error &why) {
                        return w->data(data, size, why);
                    },
                    error);
                if (end == DataEnd::Damaged) {
                    // A damaged old entry would be carried over damaged: refuse the whole add.
                    console_.problem(msg::damagedEntry(name, msg::reason(error)));
                    console_.problem(
                        msg::cannotWriteArchive(archivePath_, msg::oldArchiveDamaged(), hadOld_));
                } else if (end == DataEnd::Refused) {
                    console_.problem(
                        msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
                }
                return written = end == DataEnd::Complete;
            },
            error);
        if (!read)
            console_.problem(msg::cannotReadArchive(archivePath_, msg::reason(error)));
        return read && written;
    }

    enum class Result { Done, Changed, ArchiveFailed };

    // Adds source `index`, counting it as done or failed. Changed when the file changed while
    // it was read (reported): the pass is to be written again without it.
    Result addOne(ArchiveSink *w, const Source &s, std::size_t index, std::vector<Added> &added) {
        const std::string label =
            replaced_.count(s.stored) ? msg::replacing(s.diskPath) : msg::adding(s.diskPath);
        struct stat seen;
        Entry e(archive_entry_new());
        SourceFile file;
        const std::string problem = takeState(s, e.get(), seen, file);
        if (!problem.empty()) {
            tell(index, problem, true);
            ++outcome_.failed;
            return Result::Done;
        }
        archive_entry_set_pathname_utf8(e.get(), s.stored.c_str());
        archive_entry_set_uid(e.get(), 0);
        archive_entry_set_gid(e.get(), 0);
        Error error;
        bool written = w->header(e.get(), error);
        std::string why; // when the file could not be read whole
        if (written && s.kind == Source::File)
            written = copyData(w, file, s.diskPath, label, why, error);
        if (!written) {
            console_.problem(msg::cannotWriteArchive(archivePath_, msg::reason(error), hadOld_));
            return Result::ArchiveFailed;
        }
        if (!why.empty()) {
            tell(index, why, true);
            return Result::Changed;
        }
        tell(index, label, false);
        ++outcome_.done;
        added.push_back(Added{&s, seen});
        return Result::Done;
    }

    // Takes the source's present state into `e` and `seen` (a file is opened as `file`, to be
    // read): the problem to tell when it is no longer what was listed, or cannot be read.
    static std::string takeState(const Source &s, struct archive_entry *e, struct stat &seen,
                                 SourceFile &file) {
        Error error;
        if (s.kind == Source::File) {
            if (!file.open(s.diskPath, s.id, error))
                return error.code == ENOENT || error.code == ELOOP
                           ? msg::vanished(s.diskPath)
                           : msg::cannotRead(s.diskPath, msg::reason(error));
            seen = file.state();
            archive_entry_copy_stat(e, &seen);
            return {};
        }
        if (!pathState(s.diskPath, seen, error))
            return msg::vanished(s.diskPath);
        archive_entry_copy_stat(e, &seen);
        if (s.kind == Source::Directory)
            return S_ISDIR(seen.st_mode) ? std::string() : msg::vanished(s.diskPath);
        std::string target;
        if (!S_ISLNK(seen.st_mode) || !readLink(s.diskPath, seen.st_size, target, error))
            return msg::vanished(s.diskPath);
        archive_entry_set_symlink_utf8(e, encodeName(target).c_str());
        archive_entry_set_size(e, 0);
        return {};
    }

    // Copies the file's size as opened into the archive. `why` tells (in a message) when
    // the file gave fewer bytes or could not be read, or its size, modification or change time
    // differ afterwards: what was read may then be a mix of two states of the file. False with
    // `error` when the archive cannot be written.
    bool copyData(ArchiveSink *w, SourceFile &file, const std::string &path,
                  const std::string &label, std::string &why, Error &error) {
        const uint64_t size = static_cast<uint64_t>(file.state().st_size);
        uint64_t done = 0;
        Error readError;
        while (done < size) {
            const size_t want =
                static_cast<size_t>(std::min<uint64_t>(buffer_.size(), size - done));
            const ssize_t n = file.read(buffer_.data(), want, readError);
            if (n <= 0) {
                why = n < 0 ? msg::cannotRead(path, msg::reason(readError))
                            : msg::changedWhileReading(path);
                break;
            }
            if (!w->data(buffer_.data(), static_cast<size_t>(n), error))
                return false;
            done += static_cast<uint64_t>(n);
            console_.progress(label, done, size);
        }
        console_.clearProgress();
        if (why.empty() && !file.unchanged())
            why = msg::changedWhileReading(path);
        return true;
    }

    void removeSources(const std::vector<Added> &added) {
        int removed = 0;
        for (const Added &a : added) {
            if (a.source->kind == Source::Directory)
                continue;
            Error error;
            const Removal r = removeIfUnchanged(a.source->diskPath, a.seen, error);
            removed += r == Removal::Removed ? 1 : 0;
            if (r == Removal::Changed || r == Removal::Failed) {
                console_.problem(msg::cannotDelete(
                    a.source->diskPath,
                    r == Removal::Changed ? msg::changedSinceArchived() : msg::reason(error)));
                ++outcome_.failed;
            }
        }
        console_.line(msg::movedSummary(removed));
    }

    const Options &o_;
    Console &console_;
    std::vector<char> buffer_;
    int dirFd_ = -1;                           // the archive's directory, locked
    std::vector<bool> saidLine_, saidProblem_; // per source: shown in an earlier pass
    std::string archivePath_;
    std::set<std::string> replaced_;
    bool hadOld_ = false;
    Outcome outcome_;
};

} // namespace

int runAdd(const Options &options, Console &console) {
    return Adder(options, console).run();
}

} // namespace yk
