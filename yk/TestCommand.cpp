#include "TestCommand.h"

#include "EntryLoop.h"
#include "Messages.h"
#include "Names.h"
#include "Outcome.h"

namespace yk {

int runTest(const ArchiveSource &source, Console &console) {
    std::string error;
    ArchiveInput in(source);
    if (!in.open(error)) {
        console.problem(msg::cannotReadArchive(source.displayName(), error));
        return ExitNothing;
    }
    Outcome outcome;
    const bool read = forEachEntry(
        in,
        [&](struct archive_entry *e) {
            const std::string name = decodeName(entryName(e));
            const std::string label = msg::testing(name);
            const la_int64_t size = archive_entry_size(e);
            std::string why;
            const DataEnd end = forEachBlock(
                in, e,
                [&](const void *, std::size_t, std::uint64_t done, std::string &) {
                    if (size > 0)
                        console.progress(label, done, static_cast<std::uint64_t>(size));
                    return true;
                },
                why);
            console.clearProgress();
            const bool ok = end == DataEnd::Complete;
            if (!ok)
                console.problem(msg::damagedEntry(name, why));
            console.line(label + "  " + (ok ? msg::ok : msg::bad));
            if (ok)
                ++outcome.done;
            else
                ++outcome.failed;
            return true;
        },
        error);
    if (!read) {
        console.problem(msg::cannotReadArchive(source.displayName(), error));
        outcome.incomplete = true;
    }
    console.line(msg::testSummary(outcome.done, outcome.failed));
    console.line(outcome.failed == 0 && !outcome.incomplete ? msg::archiveOk : msg::archiveBad);
    return outcome.exitStatus();
}

} // namespace yk
