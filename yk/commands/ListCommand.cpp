#include "commands/ListCommand.h"

#include "codec/Crc.h"
#include "commands/ListFormat.h"
#include "commands/Messages.h"
#include "commands/Outcome.h"
#include "format/EntryLoop.h"
#include "format/MethodProbe.h"
#include "fs/Names.h"

#include <vector>

namespace yk {

namespace {

// The row of entry `index` as far as the header tells it: all but the packed size and the CRC.
ListRow rowOf(struct archive_entry *e, const ProbeResult &probe, std::size_t index) {
    ListRow row;
    row.name = decodeName(entryName(e));
    if (const char *link = archive_entry_symlink_utf8(e))
        row.name += " -> " + decodeName(link);
    row.size = archive_entry_size_is_set(e) && archive_entry_size(e) > 0
                   ? static_cast<std::uint64_t>(archive_entry_size(e))
                   : 0;
    row.hasTime = archive_entry_mtime_is_set(e);
    row.mtime = archive_entry_mtime(e);
    // The mode as stored where there is one: libarchive shows a link without a target as a
    // regular file.
    row.mode = index < probe.modes.size() && probe.modes[index] != 0
                   ? static_cast<mode_t>(probe.modes[index])
                   : archive_entry_mode(e);
    row.method = probe.method(index);
    return row;
}

// Reads the entry's data for its CRC. The CRC shown is the one of the data as read; libarchive
// checks it against the stored one at the entry's end, so a mismatch shows up as a problem.
bool readCrc(ArchiveInput &in, struct archive_entry *e, ListRow &row, Console &console) {
    std::uint32_t crc = 0;
    Error why;
    const DataEnd end = forEachBlock(
        in, e,
        [&](const void *data, std::size_t size, std::uint64_t, Error &) {
            crc = updateCrc(crc, data, size);
            return true;
        },
        why);
    if (end != DataEnd::Complete) {
        console.problem(msg::damagedEntry(row.name, msg::reason(why)));
        return false;
    }
    row.crc = crc;
    row.hasCrc = true;
    return true;
}

void printRow(Console &console, std::string &line, const ListRow &row, bool full) {
    line.clear();
    appendListRow(line, row, full);
    console.row(line);
}

} // namespace

int runList(const ArchiveSource &source, bool full, Console &console) {
    Error error;
    ArchiveInput in(source);
    if (!in.open(error)) {
        console.problem(msg::cannotReadArchive(msg::archiveName(source), msg::reason(error)));
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
    console.important(msg::listArchive + printable(msg::archiveName(source)));
    console.important(listHeader(full));
    console.important(listRule(full));
    const bool read = forEachEntry(
        in,
        [&](struct archive_entry *e) {
            ListRow row = rowOf(e, probe, count++);
            if (full && archive_entry_filetype(e) == AE_IFREG && !readCrc(in, e, row, console))
                ++outcome.failed;
            ++outcome.done;
            sizeSum += row.size;
            if (streamed) {
                row.packed = shareOf(packedSum, row.size, probe.unpackedData);
                printRow(console, line, row, full);
            } else {
                rows.push_back(std::move(row));
            }
            return true;
        },
        error);
    if (!read) {
        console.problem(msg::cannotReadArchive(msg::archiveName(source), msg::reason(error)));
        outcome.incomplete = true;
    }
    for (ListRow &r : rows) {
        r.packed = shareOf(packedSum, r.size, sizeSum);
        printRow(console, line, r, full);
    }
    console.important(listRule(full));
    console.important(listTotals(sizeSum, packedSum, static_cast<int>(count), archiveSize));
    return outcome.exitStatus();
}

} // namespace yk
