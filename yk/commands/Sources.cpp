#include "commands/Sources.h"

#include "commands/Messages.h"
#include "fs/Names.h"
#include "fs/SourceFile.h"
#include "fs/Wildcard.h"

#include <cerrno>
#include <map>

namespace yk {

namespace {

class Collector {
public:
    Collector(const Options &o, const FileId *exclude, Console &console)
        : o_(o), exclude_(exclude), console_(console) {}

    void addName(const std::string &name) {
        if (!o_.on(Switch::LiteralNames) && hasWildcard(baseName(name))) {
            if (!walk(dirName(name), baseName(name), o_.on(Switch::Recurse)))
                problem(msg::noMatch(name));
            return;
        }
        struct stat st;
        Error error;
        if (!pathState(name, st, error))
            return problem(error.code == ENOENT ? msg::notFound(name)
                                                : msg::cannotRead(name, msg::reason(error)));
        addEntry(name, st);
        if (S_ISDIR(st.st_mode))
            walk(name, "*", true); // a directory named outright stands for its whole content
    }

    SourceList take() { return std::move(list_); }

private:
    void problem(const std::string &text) {
        console_.problem(text);
        ++list_.failures;
    }

    // Lists `dir` ("" for the working directory), adds what matches `pattern`, descends when
    // `deep`. Returns whether anything matched anywhere below. Hidden directories are entered
    // only with "s", like hidden files are matched only with it.
    bool walk(const std::string &dir, const std::string &pattern, bool deep) {
        bool matched = false;
        std::vector<std::string> pending{dir};
        Error error;
        while (!pending.empty()) {
            const std::string cur = pending.back();
            pending.pop_back();
            std::vector<std::string> names;
            if (!listDir(cur, names, error)) {
                problem(msg::cannotOpenDir(cur.empty() ? "." : cur, msg::reason(error)));
                continue;
            }
            std::vector<std::string> subdirs;
            for (const std::string &n : names) {
                const std::string path = joinPath(cur, n);
                struct stat st;
                if (!pathState(path, st, error)) {
                    if (wildcardMatch(pattern, n, o_.on(Switch::HiddenFiles)))
                        problem(msg::vanished(path));
                    continue;
                }
                const bool isDir = S_ISDIR(st.st_mode);
                if (isDir && deep && (o_.on(Switch::HiddenFiles) || n[0] != '.'))
                    subdirs.push_back(path);
                if (!wildcardMatch(pattern, n, o_.on(Switch::HiddenFiles)))
                    continue;
                matched = true;
                // Walked directories get their entries below; matching ones count as content.
                if (!isDir)
                    addEntry(path, st);
            }
            // Depth first in name order, like a directory listing.
            for (auto it = subdirs.rbegin(); it != subdirs.rend(); ++it) {
                struct stat st;
                if (pathState(*it, st, error))
                    addEntry(*it, st);
                pending.push_back(*it);
            }
        }
        return matched;
    }

    void addEntry(const std::string &path, const struct stat &st) {
        Source s;
        s.id = FileId::of(st);
        if (S_ISREG(st.st_mode)) {
            s.kind = Source::File;
        } else if (S_ISLNK(st.st_mode)) {
            s.kind = Source::Symlink;
        } else if (S_ISDIR(st.st_mode)) {
            if (!o_.on(Switch::StoreDirs) || o_.on(Switch::NoPaths))
                return;
            s.kind = Source::Directory;
        } else {
            return problem(msg::specialSkipped(path));
        }
        if (exclude_ && s.id == *exclude_) {
            console_.line(msg::selfSkipped(path));
            return;
        }
        bool changed = false;
        s.stored = encodeName(storedName(path, o_.on(Switch::NoPaths), &changed));
        if (s.stored.empty())
            return; // "." or "/" as a directory entry: nothing to name
        if (changed)
            console_.line(msg::leadingPartsRemoved(path, s.stored));
        const auto seen = byName_.find(s.stored);
        if (seen != byName_.end()) {
            if (!(list_.items[seen->second].id == s.id))
                problem(msg::duplicateSkipped(path));
            return;
        }
        byName_.emplace(s.stored, list_.items.size());
        s.diskPath = path;
        list_.items.push_back(std::move(s));
    }

    const Options &o_;
    const FileId *exclude_;
    Console &console_;
    SourceList list_;
    std::map<std::string, size_t> byName_;
};

} // namespace

SourceList collectSources(const Options &options, const FileId *exclude, Console &console) {
    Collector c(options, exclude, console);
    for (const std::string &name : options.names)
        c.addName(name);
    return c.take();
}

} // namespace yk
