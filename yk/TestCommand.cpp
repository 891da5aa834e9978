#include "TestCommand.h"

#include "Messages.h"
#include "Names.h"
#include "Outcome.h"

namespace yk {

int runTest(const ArchiveSource &source, Console &console) {
    std::string error;
    Reader in = openArchive(source, error);
    if (!in) {
        console.problem(msg::cannotReadArchive(source.displayName(), error));
        return ExitNothing;
    }
    Outcome outcome;
    struct archive_entry *e;
    int rc;
    while ((rc = archive_read_next_header(in.get(), &e)) == ARCHIVE_OK || rc == ARCHIVE_WARN) {
        const std::string name = decodeName(entryName(e));
        const std::string label = msg::testing(name);
        const la_int64_t size = archive_entry_size(e);
        bool ok = true;
        const void *buf;
        size_t len;
        la_int64_t offset;
        for (;;) {
            const int r = archive_read_data_block(in.get(), &buf, &len, &offset);
            if (r == ARCHIVE_EOF)
                break;
            if (r < ARCHIVE_OK) {
                console.problem(msg::damagedEntry(name, archiveError(in.get())));
                ok = false;
                break;
            }
            if (size > 0)
                console.progress(label, static_cast<std::uint64_t>(offset) + len,
                                 static_cast<std::uint64_t>(size));
        }
        console.clearProgress();
        console.line(label + "  " + (ok ? msg::ok : msg::bad));
        if (ok)
            ++outcome.done;
        else
            ++outcome.failed;
    }
    if (rc != ARCHIVE_EOF) {
        console.problem(msg::cannotReadArchive(source.displayName(), archiveError(in.get())));
        ++outcome.failed;
    }
    console.line(msg::testSummary(outcome.done, outcome.failed));
    console.line(outcome.failed == 0 ? msg::archiveOk : msg::archiveBad);
    return outcome.exitStatus();
}

} // namespace yk
