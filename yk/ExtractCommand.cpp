#include "ExtractCommand.h"

#include "ArchiveReader.h"
#include "EntryLoop.h"
#include "Messages.h"
#include "Names.h"
#include "Outcome.h"

#include <sys/stat.h>

#include <cerrno>

namespace yk {

namespace {

struct DiskFree {
    void operator()(struct archive *a) const { archive_write_free(a); }
};

class Extractor {
public:
    Extractor(const Options &o, Console &c, OverwritePrompt &p) : o_(o), console_(c), prompt_(p) {}

    int run(const ArchiveSource &src) {
        if (o_.systemAttr)
            console_.line(msg::systemAttributeIgnored());
        std::string error;
        Reader in = openArchive(src, error);
        if (!in) {
            console_.problem(msg::cannotReadArchive(src.displayName(), error));
            return ExitNothing;
        }
        std::unique_ptr<struct archive, DiskFree> disk(archive_write_disk_new());
        int flags = ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                    ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS;
        if (!o_.currentTime)
            flags |= ARCHIVE_EXTRACT_TIME;
        archive_write_disk_set_options(disk.get(), flags);

        // extractOne returns false when the user asked to stop.
        if (!forEachEntry(
                in.get(),
                [&](struct archive_entry *e) { return extractOne(in.get(), disk.get(), e); },
                error)) {
            console_.problem(msg::cannotReadArchive(src.displayName(), error));
            outcome_.incomplete = true;
        }
        console_.line(msg::extractSummary(outcome_.done, outcome_.failed));
        return outcome_.exitStatus();
    }

private:
    // False when extraction is to stop.
    bool extractOne(struct archive *in, struct archive *disk, struct archive_entry *e) {
        const std::string stored = entryName(e);
        const bool isDir = archive_entry_filetype(e) == AE_IFDIR;
        std::string target = decodeName(stored);
        if (o_.noPaths) {
            if (isDir)
                return true; // without paths there is nothing to make of a directory
            target = baseName(target);
        }
        const std::string unsafe = unsafeNameReason(target);
        if (!unsafe.empty()) {
            console_.problem(msg::refused(stored, unsafe));
            ++outcome_.failed;
            return true;
        }
        if (const char *link = archive_entry_symlink_utf8(e)) {
            const std::string to = decodeName(link);
            if (linkEscapes(target, to)) {
                console_.problem(msg::refused(stored, "ссылка ведёт за пределы каталога: " + to));
                ++outcome_.failed;
                return true;
            }
            archive_entry_set_symlink(e, to.c_str());
        }
        struct stat st;
        if (!isDir && lstat(target.c_str(), &st) == 0) {
            switch (prompt_.ask(target)) {
            case Answer::Yes:
            case Answer::All:
                break;
            case Answer::No:
                if (!prompt_.interactive()) {
                    console_.problem(msg::keptExisting(target));
                    ++outcome_.failed;
                }
                return true;
            case Answer::Quit:
            case Answer::Unknown:
                console_.problem(msg::extractionStopped());
                ++outcome_.failed;
                return false;
            }
        }
        archive_entry_set_pathname(e, target.c_str());
        if (o_.currentTime) {
            archive_entry_unset_mtime(e);
            archive_entry_unset_atime(e);
        }
        if (archive_write_header(disk, e) < ARCHIVE_WARN) {
            console_.problem(msg::refused(stored, archiveError(disk)));
            ++outcome_.failed;
            return true;
        }
        const std::string label = msg::extracting(target);
        const la_int64_t size = archive_entry_size(e);
        std::string why;
        const DataEnd end = forEachBlock(
            in,
            [&](const void *data, std::size_t len, std::uint64_t done, std::string &failure) {
                if (archive_write_data_block(disk, data, len, static_cast<la_int64_t>(done - len)) <
                    ARCHIVE_OK) {
                    failure = archiveError(disk);
                    return false;
                }
                if (size > 0)
                    console_.progress(label, done, static_cast<uint64_t>(size));
                return true;
            },
            why);
        bool ok = end == DataEnd::Complete;
        if (end == DataEnd::Damaged)
            console_.problem(msg::damagedEntry(stored, why));
        else if (end == DataEnd::Refused)
            console_.problem(msg::cannotExtract(target, why));
        if (archive_write_finish_entry(disk) < ARCHIVE_WARN && ok) {
            console_.problem(msg::cannotExtract(target, archiveError(disk)));
            ok = false;
        }
        console_.clearProgress();
        if (ok) {
            console_.line(label);
            ++outcome_.done;
        } else {
            ++outcome_.failed;
        }
        return true;
    }

    const Options &o_;
    Console &console_;
    OverwritePrompt &prompt_;
    Outcome outcome_;
};

} // namespace

std::string unsafeNameReason(const std::string &name) {
    if (name.empty())
        return "пустое имя";
    if (name[0] == '/')
        return "абсолютный путь";
    size_t start = 0;
    for (;;) {
        const size_t slash = name.find('/', start);
        const std::string part =
            name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..")
            return "путь содержит «..»";
        if (slash == std::string::npos)
            return std::string();
        start = slash + 1;
    }
}

bool linkEscapes(const std::string &linkPath, const std::string &target) {
    if (target.empty() || target[0] == '/')
        return true;
    long depth = 0;
    const std::string dir = dirName(linkPath);
    for (const std::string &path : {dir, target}) {
        size_t start = 0;
        while (start <= path.size()) {
            const size_t slash = path.find('/', start);
            const size_t end = slash == std::string::npos ? path.size() : slash;
            const std::string part = path.substr(start, end - start);
            if (part == "..") {
                if (--depth < 0)
                    return true;
            } else if (!part.empty() && part != ".") {
                ++depth;
            }
            start = end + 1;
        }
    }
    return false;
}

int runExtract(const Options &options, Console &console, OverwritePrompt &prompt) {
    return Extractor(options, console, prompt).run(ArchiveSource::file(options.archive));
}

} // namespace yk
