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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
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

// Linear in the length of the result: deep names must not cost the square of their depth.
std::string joinParts(const std::vector<std::string> &parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i > 0)
            out += '/';
        out += parts[i];
    }
    return out;
}

// The deepest name extraction makes: deeper ones are refused. Every step below costs in
// proportion to the name's length, but nothing real is nested this deep, and a name of ten
// thousand levels is a way to keep the disk and the kernel busy.
constexpr std::size_t kMaxDepth = 4096;

using DirId = std::pair<dev_t, ino_t>;

DirId idOf(const struct stat &st) {
    return {st.st_dev, st.st_ino};
}

class Extractor {
public:
    Extractor(const Options &o, Console &c, OverwritePrompt &p) : o_(o), console_(c), prompt_(p) {}

    int run(const ArchiveSource &src) {
        if (o_.on(Switch::SystemAttributes))
            console_.line(msg::systemAttributeIgnored());
        umask_ = currentUmask();
        if (!::realpath(".", cwdReal_)) {
            console_.problem(msg::cannotExtract(".", msg::errnoText(errno)));
            return ExitNothing;
        }
        Error error;
        ArchiveInput in(src);
        if (!in.open(error)) {
            console_.problem(msg::cannotReadArchive(msg::archiveName(src), msg::reason(error)));
            return ExitNothing;
        }
        struct stat self;
        if (in.fd() >= 0 && fstat(in.fd(), &self) == 0)
            archiveId_ = idOf(self);
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
    enum class Replace { Yes, Keep, Stop };

    // Reports an entry that failed; true, to go on with the next.
    bool fail(const std::string &text) {
        console_.problem(text);
        ++outcome_.failed;
        return true;
    }

    // An entry that could not take its name; what appeared there meanwhile is kept. True: go on.
    bool failPlacing(const std::string &stored, const std::string &target, const Error &e) {
        const bool taken =
            e.what == Fault::NameTaken || (e.what == Fault::System && e.code == EEXIST);
        return fail(taken ? msg::refused(stored, msg::appearedMeanwhile())
                          : msg::cannotExtract(target, msg::reason(e)));
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
        int parent = -1;
        std::string why;
        switch (openParent(parts, parent, why)) {
        case Parent::Open:
            break;
        case Parent::Refused:
            return fail(msg::refused(stored, why));
        case Parent::Kept:
            return true;
        case Parent::Stop:
            return false;
        }
        const std::string base = parts.back();
        struct stat st;
        const bool exists = fstatat(parent, base.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
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

    Replace mayReplace(const std::string &target) {
        switch (prompt_.ask(target)) {
        case Answer::Yes:
        case Answer::All:
            return Replace::Yes;
        case Answer::No:
            if (!prompt_.interactive())
                fail(msg::keptExisting(target));
            return Replace::Keep;
        case Answer::Quit:
        case Answer::Unknown:
            break;
        }
        fail(msg::extractionStopped());
        return Replace::Stop;
    }

    // Opens the directory that is to hold the last of `parts`, making the missing ones. Never
    // passes through a symbolic link: what extraction writes stays inside the working directory
    // whatever is already on disk: a link on the way is refused, not replaced. A file where a
    // directory is needed is replaced only as any existing file is: through the question, or
    // "y".
    enum class Parent { Open, Refused, Kept, Stop };
    // The directory stays open for the entries that follow in it (it is never replaced).
    Parent openParent(const std::vector<std::string> &parts, int &parent, std::string &why) {
        const std::string parentPath = joinParts(parts, parts.size() - 1);
        if (parentCache_.get() >= 0 && parentPath == parentCachePath_) {
            parent = parentCache_.get();
            return Parent::Open;
        }
        parentCache_.reset(-1);
        DirFd dir(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() < 0) {
            why = msg::errnoText(errno);
            return Parent::Refused;
        }
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            const char *part = parts[i].c_str();
            const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
            int next = ::openat(dir.get(), part, flags);
            struct stat st;
            if (next < 0 && (errno == ENOTDIR || errno == ELOOP) &&
                fstatat(dir.get(), part, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode) &&
                !S_ISLNK(st.st_mode)) {
                if (isArchive(st)) {
                    why = msg::wouldReplaceArchive();
                    return Parent::Refused;
                }
                const Replace r = mayReplace(joinParts(parts, i + 1));
                if (r != Replace::Yes)
                    return r == Replace::Keep ? Parent::Kept : Parent::Stop;
                if (::unlinkat(dir.get(), part, 0) != 0) {
                    why = msg::errnoText(errno);
                    return Parent::Refused;
                }
                errno = ENOENT;
            }
            bool made = false;
            if (next < 0 && errno == ENOENT) {
                made = ::mkdirat(dir.get(), part, 0777) == 0;
                if (!made && errno != EEXIST) {
                    why = msg::errnoText(errno);
                    return Parent::Refused;
                }
                next = ::openat(dir.get(), part, flags);
                if (made && next >= 0 && fstat(next, &st) == 0)
                    madeDirs_.insert(idOf(st));
            }
            if (next < 0) {
                const int err = errno;
                const std::string shown = joinParts(parts, i + 1);
                if (fstatat(dir.get(), part, &st, AT_SYMLINK_NOFOLLOW) == 0)
                    why = S_ISLNK(st.st_mode) ? msg::throughLinkOnDisk(shown)
                                              : msg::notADirectoryOnDisk(shown);
                else
                    why = msg::errnoText(err);
                return Parent::Refused;
            }
            dir.reset(next);
        }
        parentCache_.reset(dir.release());
        parentCachePath_ = parentPath;
        parent = parentCache_.get();
        return Parent::Open;
    }

    bool extractDirectory(struct archive_entry *e, int dir, const std::string &base,
                          const std::string &target, const struct stat *existing) {
        if (existing && S_ISDIR(existing->st_mode)) {
            // A directory that was there before keeps its permissions; one this run made (on
            // the way to a file, before its own entry came) takes the entry's.
            if (madeDirs_.count(idOf(*existing)))
                fixes_.push_back(fixFor(e, target));
            report(target);
            return true;
        }
        if (existing) {
            const Replace r = mayReplace(target);
            if (r != Replace::Yes)
                return r == Replace::Keep;
            if (::unlinkat(dir, base.c_str(), 0) != 0)
                return fail(msg::cannotExtract(target, msg::errnoText(errno)));
        }
        if (::mkdirat(dir, base.c_str(), 0700) != 0)
            return fail(msg::cannotExtract(target, msg::errnoText(errno)));
        struct stat made;
        if (fstatat(dir, base.c_str(), &made, AT_SYMLINK_NOFOLLOW) == 0)
            madeDirs_.insert(idOf(made));
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
        if (exists) {
            const Replace r = mayReplace(target);
            if (r != Replace::Yes)
                return r == Replace::Keep;
        }
        // Where nothing was, the link is made under its own name: should something appear there
        // meanwhile, it is kept and the link is not made.
        if (!exists) {
            if (::symlinkat(to.c_str(), dir, base.c_str()) != 0) {
                return failPlacing(stored, target, Error::system(errno));
            }
            madeLinks_.insert(target);
            report(target);
            return true;
        }
        // Made under a temporary name and renamed into place, replacing what was there at once.
        const std::string temp = temporaryPrefix(base) + std::to_string(getpid()) + "-link00";
        ::unlinkat(dir, temp.c_str(), 0);
        if (::symlinkat(to.c_str(), dir, temp.c_str()) != 0 ||
            ::renameat(dir, temp.c_str(), dir, base.c_str()) != 0) {
            const int err = errno;
            ::unlinkat(dir, temp.c_str(), 0);
            return fail(msg::cannotExtract(target, msg::errnoText(err)));
        }
        madeLinks_.insert(target);
        report(target);
        return true;
    }

    // Why a link to `destination` would lead out of the working directory through a link
    // already on disk, or empty. Links this run made lead inside (each was checked so); any
    // other must resolve inside.
    std::string linkPassesThroughOutsideLink(const std::string &destination,
                                             const std::string &to) const {
        const std::vector<std::string> parts = nameParts(destination);
        std::string prefix;
        for (std::size_t i = 1; i <= parts.size(); ++i) {
            if (i > 1)
                prefix += '/';
            prefix += parts[i - 1];
            struct stat st;
            if (lstat(prefix.c_str(), &st) != 0) {
                if (errno == ENOENT || errno == ENOTDIR)
                    return std::string();        // nothing further exists yet
                return msg::linkThroughLink(to); // cannot be checked: not made
            }
            if (!S_ISLNK(st.st_mode) || madeLinks_.count(prefix))
                continue;
            char real[PATH_MAX];
            if (!::realpath(prefix.c_str(), real) || !inside(real))
                return msg::linkThroughLink(to);
        }
        return std::string();
    }

    bool inside(const std::string &path) const {
        const std::string root = cwdReal_;
        return path == root ||
               (path.compare(0, root.size(), root) == 0 &&
                (root == "/" || (path.size() > root.size() && path[root.size()] == '/')));
    }

    bool extractFile(ArchiveInput &in, struct archive_entry *e, const std::string &stored, int dir,
                     const std::string &base, const std::string &target, bool exists) {
        if (exists) {
            const Replace r = mayReplace(target);
            if (r != Replace::Yes)
                return r == Replace::Keep;
        } else if (archive_entry_size_is_set(e) && archive_entry_size(e) == 0) {
            return extractEmptyFile(in, e, stored, dir, base, target);
        }
        AtomicFile out;
        Error error;
        if (!out.openAt(dir, base, error))
            return fail(msg::cannotExtract(target, msg::reason(error)));
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
            return fail(msg::cannotExtract(target, msg::reason(error)));
        if (!o_.on(Switch::CurrentTime) && archive_entry_mtime_is_set(e)) {
            const DirFix f = fixFor(e, target);
            futimens(out.fd(), f.times);
        }
        // Without a yes to replacing, nothing that appears meanwhile under the name is replaced.
        if (!out.commit(permissions(e), false, error, exists)) {
            return failPlacing(stored, target, error);
        }
        console_.line(label);
        ++outcome_.done;
        return true;
    }

    bool isArchive(const struct stat &st) const { return idOf(st) == archiveId_; }

    // Opens a directory this run made, one level at a time: never through a link, and with no
    // limit on the length of the whole path.
    static int openDirectory(const std::string &path) {
        DirFd dir(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        for (const std::string &part : nameParts(path)) {
            if (dir.get() < 0)
                break;
            dir.reset(
                ::openat(dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }
        return dir.release();
    }

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
            return fail(end == DataEnd::Damaged ? msg::damagedEntry(stored, msg::reason(error))
                                                : msg::cannotExtract(target, msg::reason(error)));
        const int fd =
            ::openat(dir, base.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return failPlacing(stored, target, Error::system(errno));
        }
        if (!o_.on(Switch::CurrentTime) && archive_entry_mtime_is_set(e)) {
            const DirFix f = fixFor(e, target);
            futimens(fd, f.times);
        }
        const bool done = fchmod(fd, permissions(e)) == 0;
        const int err = errno;
        ::close(fd);
        if (!done)
            return fail(msg::cannotExtract(target, msg::errnoText(err)));
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
        for (const DirFix &f : fixes_) {
            const int fd = openDirectory(f.path);
            if (fd < 0)
                continue;
            fchmod(fd, f.mode);
            if (f.setTime)
                futimens(fd, f.times);
            ::close(fd);
        }
    }

    const Options &o_;
    Console &console_;
    OverwritePrompt &prompt_;
    Outcome outcome_;
    mode_t umask_ = 022;
    char cwdReal_[PATH_MAX] = {};
    std::vector<DirFix> fixes_;
    std::set<std::string> madeLinks_;
    std::set<DirId> madeDirs_; // by identity: a set of paths would grow with the square of depth
    DirId archiveId_{0, 0};
    std::size_t entries_ = 0;
    DirFd parentCache_; // the directory of the last entry, and its path
    std::string parentCachePath_;
};

} // namespace

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt) {
    return Extractor(options, console, prompt).run(ArchiveSource::file(options.archive));
}

} // namespace yk
