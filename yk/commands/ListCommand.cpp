#include "commands/ListCommand.h"

#include "codec/Crc.h"
#include "commands/EntryLoop.h"
#include "commands/ListFormat.h"
#include "commands/Outcome.h"
#include "format/MethodProbe.h"
#include "fs/Messages.h"
#include "fs/Names.h"

#include <vector>

namespace yk {

int runList(const ArchiveSource &source, bool full, Console &console) {
    std::string error;
    ArchiveInput in(source);
    if (!in.open(error)) {
        console.problem(msg::cannotReadArchive(source.displayName(), error));
        return ExitNothing;
    }
    const ProbeResult &probe = in.header();
    const std::uint64_t archiveSize = archiveBytes(source);
    // One solid block holds every entry's data, so an entry's packed size is its share of the
    // packed data (of the whole archive when the header could not be read). With the header
    // understood, the total is known beforehand and each row is printed as soon as it is read:
    // nothing grows with the number of entries. Otherwise the rows are gathered first.
    const bool streamed = probe.ok;
    const std::uint64_t packedSum = probe.ok ? probe.packedData : archiveSize;
    Outcome outcome;
    std::vector<ListRow> rows;
    std::size_t count = 0;
    std::uint64_t sizeSum = 0;
    std::string line;
    console.important(msg::listArchive + printable(source.displayName()));
    console.important(listHeader(full));
    console.important(listRule(full));
    const bool read = forEachEntry(
        in,
        [&](struct archive_entry *e) {
            ListRow row;
            row.name = decodeName(entryName(e));
            if (const char *link = archive_entry_symlink_utf8(e))
                row.name += " -> " + decodeName(link);
            row.size = archive_entry_size_is_set(e) && archive_entry_size(e) > 0
                           ? static_cast<std::uint64_t>(archive_entry_size(e))
                           : 0;
            row.hasTime = archive_entry_mtime_is_set(e);
            row.mtime = archive_entry_mtime(e);
            // The mode as stored where there is one: libarchive shows a link without a target
            // as a regular file.
            const std::size_t index = count;
            row.mode = index < probe.modes.size() && probe.modes[index] != 0
                           ? static_cast<mode_t>(probe.modes[index])
                           : archive_entry_mode(e);
            row.method = probe.method(index);
            if (full && archive_entry_filetype(e) == AE_IFREG) {
                // The CRC shown is the one of the data as read; libarchive checks it against
                // the stored one at the entry's end, so a mismatch shows up as an error here.
                std::uint32_t crc = 0;
                std::string why;
                const DataEnd end = forEachBlock(
                    in, e,
                    [&](const void *data, std::size_t size, std::uint64_t, std::string &) {
                        crc = updateCrc(crc, data, size);
                        return true;
                    },
                    why);
                if (end != DataEnd::Complete) {
                    console.problem(msg::damagedEntry(row.name, why));
                    ++outcome.failed;
                } else {
                    row.crc = crc;
                    row.hasCrc = true;
                }
            }
            ++outcome.done;
            ++count;
            sizeSum += row.size;
            if (streamed) {
                row.packed = shareOf(packedSum, row.size, probe.unpackedData);
                line.clear();
                appendListRow(line, row, full);
                console.row(line);
            } else {
                rows.push_back(std::move(row));
            }
            return true;
        },
        error);
    if (!read) {
        console.problem(msg::cannotReadArchive(source.displayName(), error));
        outcome.incomplete = true;
    }

    for (ListRow &r : rows) {
        r.packed = shareOf(packedSum, r.size, sizeSum);
        line.clear();
        appendListRow(line, r, full);
        console.row(line);
    }
    console.important(listRule(full));
    console.important(listTotals(sizeSum, packedSum, static_cast<int>(count), archiveSize));
    return outcome.exitStatus();
}

} // namespace yk
