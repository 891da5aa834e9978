#include "commands/ExtractCommand.h"

#include "commands/ExtractRules.h"
#include "commands/Messages.h"
#include "commands/Outcome.h"
#include "format/ArchiveReader.h"
#include "format/EntryLoop.h"
#include "fs/AtomicFile.h"
#include "fs/DirFd.h"
#include "fs/FileWrite.h"
#include "fs/Names.h"
#include "fs/Tree.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <set>

namespace yk {

namespace {

// A directory this run made from an entry: its permissions and times are set at the end, once
// nothing more is written into it.
struct DirFix {
    std::string path;
    mode_t mode;
    bool setTime;
    struct timespec times[2];
};

// The deepest name extraction makes: deeper ones are refused. Every step below costs in
// proportion to the name's length, but nothing real is nested this deep, and a name of ten
// thousand levels is a way to keep the disk and the kernel busy.
constexpr std::size_t kMaxDepth = 4096;

class Extractor {
public:
    Extractor(const Options &o, Console &c, OverwritePrompt &p) : o_(o), console_(c), prompt_(p) {}

    int run(const ArchiveSource &src) {
        if (o_.on(Switch::SystemAttributes))
            console_.line(msg::systemAttributeIgnored());
        umask_ = currentUmask();
        Error error;
        if (!realPath(".", cwdReal_, error)) {
            console_.problem(msg::cannotExtract(".", msg::reason(error)));
            return ExitNothing;
        }
        ArchiveInput in(src);
        if (!in.open(error)) {
            console_.problem(msg::cannotReadArchive(msg::archiveName(src), msg::reason(error)));
            return ExitNothing;
        }
        struct stat self;
        if (in.fd() >= 0 && statAt(in.fd(), "", self, error))
            archiveId_ = FileId::of(self);
        // extractOne returns false when the user asked to stop.
        if (!forEachEntry(
                in, [&](struct archive_entry *e) { return extractOne(in, e); }, error)) {
            console_.problem(msg::cannotReadArchive(msg::archiveName(src), msg::reason(error)));
            outcome_.incomplete = true;
        }
        fixDirectories();
        console_.line(msg::extractSummary(outcome_.done, outcome_.failed));
        return outcome_.exitStatus();
    }

private:
    // Reports an entry that failed; true, to go on with the next.
    bool fail(const std::string &text) {
        console_.problem(text);
        ++outcome_.failed;
        return true;
    }

    bool failed(const std::string &target, const Error &e) {
        return fail(msg::cannotExtract(target, msg::reason(e)));
    }

    // An entry that could not take its name; what appeared there meanwhile is kept. True: go on.
    bool failPlacing(const std::string &stored, const std::string &target, const Error &e) {
        const bool taken =
            e.what == Fault::NameTaken || (e.what == Fault::System && e.code == EEXIST);
        return taken ? fail(msg::refused(stored, msg::appearedMeanwhile())) : failed(target, e);
    }

    // False when extraction is to stop.
    bool extractOne(ArchiveInput &in, struct archive_entry *e) {
        const std::size_t index = entries_++;
        const std::string stored = entryName(e);
        const std::string name = decodeName(stored);
        std::vector<std::string> parts = nameParts(name);
        if (parts.empty())
            return true; // "." or an empty name: the working directory itself, left alone
        const std::string unsafe = unsafeNameReason(name);
        if (!unsafe.empty())
            return fail(msg::refused(stored, unsafe));
        if (parts.size() > kMaxDepth)
            return fail(msg::refused(stored, msg::tooDeep(kMaxDepth)));
        const auto type = archive_entry_filetype(e);
        if (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK)
            return fail(msg::refused(stored, msg::specialEntry(archive_entry_mode(e))));
        if (type == AE_IFREG && archive_entry_size(e) == 0 && index < in.header().modes.size() &&
            S_ISLNK(in.header().modes[index]))
            return fail(msg::refused(stored, msg::emptyLinkTarget()));
        if (o_.on(Switch::NoPaths)) {
            if (type == AE_IFDIR)
                return true; // without paths there is nothing to make of a directory
            parts = {parts.back()};
        }
        const std::string target = joinParts(parts, parts.size());
        const int parent = openParent(parts, stored);
        if (parent < 0)
            return !stopped_;
        const std::string base = parts.back();
        struct stat st;
        Error error;
        const bool exists = statAt(parent, base, st, error);
        if (exists && isArchive(st)) {
            // Replacing it would lose the entries not yet read, and the archive itself.
            return fail(msg::refused(stored, msg::wouldReplaceArchive()));
        }
        if (type == AE_IFDIR)
            return extractDirectory(e, parent, base, target, exists ? &st : nullptr);
        if (exists && S_ISDIR(st.st_mode))
            return fail(msg::cannotExtract(target, msg::directoryInTheWay()));
        if (type == AE_IFLNK)
            return extractLink(e, stored, parent, base, target, exists);
        return extractFile(in, e, stored, parent, base, target, exists);
    }

    bool mayReplace(const std::string &target) {
        switch (prompt_.ask(target)) {
        case Answer::Yes:
        case Answer::All:
            return true;
        case Answer::No:
            if (!prompt_.interactive())
                fail(msg::keptExisting(target));
            return false;
        case Answer::Quit:
        case Answer::Unknown:
            break;
        }
        fail(msg::extractionStopped());
        stopped_ = true;
        return false;
    }

    // Opens the directory that is to hold the last of `parts`, making the missing ones, and keeps
    // it open for the entries that follow in it (a directory is never replaced). Never passes
    // through a symbolic link: what extraction writes stays inside the working directory whatever
    // is on disk: a link on the way is refused, not replaced; a file where a directory is needed
    // is replaced only as any existing file is. -1 when the entry is not made.
    int openParent(const std::vector<std::string> &parts, const std::string &stored) {
        const std::string parentPath = joinParts(parts, parts.size() - 1);
        if (parentCache_.get() >= 0 && parentPath == parentCachePath_)
            return parentCache_.get();
        parentCache_.reset(-1);
        const auto refuse = [&](const std::string &why) {
            fail(msg::refused(stored, why));
            return -1;
        };
        Error error;
        DirFd dir(openDirAt(AT_FDCWD, ".", error));
        if (dir.get() < 0)
            return refuse(msg::reason(error));
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            const std::string &part = parts[i];
            int next = openDirAt(dir.get(), part, error);
            struct stat st;
            if (next < 0 && (error.code == ENOTDIR || error.code == ELOOP) &&
                statAt(dir.get(), part, st, error) && !S_ISDIR(st.st_mode) &&
                !S_ISLNK(st.st_mode)) {
                if (isArchive(st))
                    return refuse(msg::wouldReplaceArchive());
                if (!mayReplace(joinParts(parts, i + 1)))
                    return -1;
                if (!removeAt(dir.get(), part, error))
                    return refuse(msg::reason(error));
                error = Error::system(ENOENT);
            }
            if (next < 0 && error.code == ENOENT) {
                const bool made = makeDirAt(dir.get(), part, 0777, error);
                if (!made && error.code != EEXIST)
                    return refuse(msg::reason(error));
                next = openDirAt(dir.get(), part, error);
                if (made && next >= 0 && statAt(next, "", st, error))
                    madeDirs_.insert(FileId::of(st));
            }
            if (next < 0) {
                const std::string shown = joinParts(parts, i + 1);
                Error unseen; // the failure to say is the open's
                if (!statAt(dir.get(), part, st, unseen))
                    return refuse(msg::reason(error));
                return refuse(S_ISLNK(st.st_mode) ? msg::throughLinkOnDisk(shown)
                                                  : msg::notADirectoryOnDisk(shown));
            }
            dir.reset(next);
        }
        parentCache_.reset(dir.release());
        parentCachePath_ = parentPath;
        return parentCache_.get();
    }

    bool extractDirectory(struct archive_entry *e, int dir, const std::string &base,
                          const std::string &target, const struct stat *existing) {
        if (existing && S_ISDIR(existing->st_mode)) {
            // A directory that was there before keeps its permissions; one this run made (on
            // the way to a file, before its own entry came) takes the entry's.
            if (madeDirs_.count(FileId::of(*existing)))
                fixes_.push_back(fixFor(e, target));
            report(target);
            return true;
        }
        if (existing && !mayReplace(target))
            return !stopped_;
        Error error;
        if (existing && !removeAt(dir, base, error))
            return failed(target, error);
        if (!makeDirAt(dir, base, 0700, error))
            return failed(target, error);
        struct stat made;
        if (statAt(dir, base, made, error))
            madeDirs_.insert(FileId::of(made));
        fixes_.push_back(fixFor(e, target));
        report(target);
        return true;
    }

    DirFix fixFor(struct archive_entry *e, const std::string &target) const {
        DirFix f{target, permissions(e), false, {}};
        if (!o_.on(Switch::CurrentTime) && archive_entry_mtime_is_set(e)) {
            f.setTime = true;
            f.times[1] = {archive_entry_mtime(e), archive_entry_mtime_nsec(e)};
            f.times[0] = archive_entry_atime_is_set(e)
                             ? timespec{archive_entry_atime(e), archive_entry_atime_nsec(e)}
                             : f.times[1];
        }
        return f;
    }

    // The entry's permission bits without set-id and sticky bits, under the umask.
    mode_t permissions(struct archive_entry *e) const {
        return archive_entry_perm(e) & 0777 & ~umask_;
    }

    bool extractLink(struct archive_entry *e, const std::string &stored, int dir,
                     const std::string &base, const std::string &target, bool exists) {
        const char *raw = archive_entry_symlink_utf8(e);
        if (!raw)
            raw = archive_entry_symlink(e);
        const std::string to = decodeName(raw ? raw : "");
        std::string why = to.empty() ? msg::emptyLinkTarget() : linkTargetReason(target, to);
        if (why.empty())
            why = linkPassesThroughOutsideLink(linkDestination(target, to), to);
        if (!why.empty())
            return fail(msg::refused(stored, why));
        if (exists && !mayReplace(target))
            return !stopped_;
        // Where nothing was, what appears there meanwhile is kept; else the link replaces what is
        // there at once.
        Error error;
        if (!placeLink(dir, base, to, exists, error))
            return exists ? failed(target, error) : failPlacing(stored, target, error);
        madeLinks_.insert(target);
        report(target);
        return true;
    }

    // Why a link to `destination` would lead out of the working directory through a link
    // already on disk, or empty. Links this run made lead inside (each was checked so); any
    // other must resolve inside.
    std::string linkPassesThroughOutsideLink(const std::string &destination,
                                             const std::string &to) const {
        std::string prefix;
        for (const std::string &part : nameParts(destination)) {
            prefix.append(prefix.empty() ? "" : "/").append(part);
            struct stat st;
            Error error;
            if (!pathState(prefix, st, error)) {
                if (error.code == ENOENT || error.code == ENOTDIR)
                    return std::string();        // nothing further exists yet
                return msg::linkThroughLink(to); // cannot be checked: not made
            }
            if (!S_ISLNK(st.st_mode) || madeLinks_.count(prefix))
                continue;
            std::string real;
            if (!realPath(prefix, real, error) || !inside(real))
                return msg::linkThroughLink(to);
        }
        return std::string();
    }

    bool inside(const std::string &path) const {
        const std::string &root = cwdReal_;
        return path.compare(0, root.size(), root) == 0 &&
               (path.size() == root.size() || root == "/" || path[root.size()] == '/');
    }

    bool extractFile(ArchiveInput &in, struct archive_entry *e, const std::string &stored, int dir,
                     const std::string &base, const std::string &target, bool exists) {
        if (exists && !mayReplace(target))
            return !stopped_;
        if (!exists && archive_entry_size_is_set(e) && archive_entry_size(e) == 0)
            return extractEmptyFile(in, e, stored, dir, base, target);
        AtomicFile out;
        Error error;
        if (!out.openAt(dir, base, error))
            return failed(target, error);
        const std::string label = msg::extracting(target);
        const la_int64_t size = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
        const DataEnd end = forEachBlock(
            in, e,
            [&](const void *data, std::size_t len, std::uint64_t done, Error &failure) {
                if (!writeAll(out.fd(), data, len, failure))
                    return false;
                if (size > 0)
                    console_.progress(label, done, static_cast<std::uint64_t>(size));
                return true;
            },
            error);
        console_.clearProgress();
        if (end == DataEnd::Damaged)
            return fail(msg::damagedEntry(stored, msg::reason(error)));
        if (end == DataEnd::Refused)
            return failed(target, error);
        // Without a yes to replacing, nothing that appears meanwhile under the name is replaced.
        const DirFix f = fixFor(e, target);
        if (!out.commit(permissions(e), false, error, exists, f.setTime ? f.times : nullptr))
            return failPlacing(stored, target, error);
        report(target);
        return true;
    }

    bool isArchive(const struct stat &st) const { return FileId::of(st) == archiveId_; }

    // An empty file where nothing is: made under its own name at once (it has no data that a
    // kill could cut short), never over anything that appeared meanwhile. An unnamed temporary
    // file costs some ten times as much to make on ext4, which shows with many empty files.
    bool extractEmptyFile(ArchiveInput &in, struct archive_entry *e, const std::string &stored,
                          int dir, const std::string &base, const std::string &target) {
        Error error;
        const DataEnd end = forEachBlock(
            in, e,
            [&](const void *, std::size_t, std::uint64_t, Error &failure) {
                failure = Error(Fault::MoreDataThanDeclared);
                return false;
            },
            error);
        if (end != DataEnd::Complete)
            return end == DataEnd::Damaged ? fail(msg::damagedEntry(stored, msg::reason(error)))
                                           : failed(target, error);
        const DirFix f = fixFor(e, target);
        if (!makeEmptyFile(dir, base, permissions(e), f.setTime ? f.times : nullptr, error))
            return failPlacing(stored, target, error);
        report(target);
        return true;
    }

    void report(const std::string &target) {
        console_.line(msg::extracting(target));
        ++outcome_.done;
    }

    // Deepest first, so that a directory made unreadable does not stop its subdirectories.
    void fixDirectories() {
        const auto depth = [](const DirFix &f) {
            return std::count(f.path.begin(), f.path.end(), '/');
        };
        std::stable_sort(fixes_.begin(), fixes_.end(),
                         [&](const DirFix &a, const DirFix &b) { return depth(a) > depth(b); });
        Error ignored; // a directory that cannot be set is left as it is
        for (const DirFix &f : fixes_) {
            const DirFd dir(openPath(nameParts(f.path), ignored));
            if (dir.get() >= 0)
                setModeAndTimes(dir.get(), f.mode, f.setTime ? f.times : nullptr, ignored);
        }
    }

    const Options &o_;
    Console &console_;
    OverwritePrompt &prompt_;
    Outcome outcome_;
    mode_t umask_ = 022;
    std::string cwdReal_;
    std::vector<DirFix> fixes_;
    std::set<std::string> madeLinks_;
    std::set<FileId> madeDirs_; // by identity: a set of paths would grow with the square of depth
    FileId archiveId_;
    std::size_t entries_ = 0;
    bool stopped_ = false; // the user asked to stop, in answer to mayReplace
    DirFd parentCache_;    // the directory of the last entry, and its path
    std::string parentCachePath_;
};

} // namespace

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt) {
    return Extractor(options, console, prompt).run(ArchiveSource::file(options.archive));
}

} // namespace yk
