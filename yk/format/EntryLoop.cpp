#include "format/EntryLoop.h"

#include <algorithm>

namespace yk {

bool forEachEntry(ArchiveInput &in, const std::function<bool(struct archive_entry *)> &visit,
                  Error &error) {
    struct archive_entry *e;
    for (;;) {
        const int rc = archive_read_next_header(in.get(), &e);
        if (rc == ARCHIVE_EOF)
            return true;
        if (rc != ARCHIVE_OK && rc != ARCHIVE_WARN) {
            error = in.failure();
            return false;
        }
        if (!visit(e))
            return true;
    }
}

DataEnd forEachBlock(ArchiveInput &in, struct archive_entry *e, const DataUse &use, Error &error) {
    static const char zeros[1 << 16] = {};
    std::uint64_t done = 0;
    for (;;) {
        const void *buf;
        size_t len;
        la_int64_t offset;
        const int r = archive_read_data_block(in.get(), &buf, &len, &offset);
        if (r == ARCHIVE_EOF)
            return DataEnd::Complete;
        if (r != ARCHIVE_OK) {
            // A warning here is a damaged entry too: nothing of it is to be trusted.
            error = in.failure(e, r);
            return DataEnd::Damaged;
        }
        if (offset < 0 || static_cast<std::uint64_t>(offset) < done) {
            error = Error{Fault::DataDamaged};
            return DataEnd::Damaged;
        }
        while (done < static_cast<std::uint64_t>(offset)) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(sizeof zeros, static_cast<std::uint64_t>(offset) - done));
            done += n;
            if (!use(zeros, n, done, error))
                return DataEnd::Refused;
        }
        if (len == 0)
            continue;
        done += len;
        if (!use(buf, len, done, error))
            return DataEnd::Refused;
    }
}

} // namespace yk
