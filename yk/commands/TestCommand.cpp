#include "commands/TestCommand.h"

#include "commands/Messages.h"
#include "commands/Outcome.h"
#include "format/EntryLoop.h"
#include "format/StoreFormat.h"
#include "fs/Names.h"

#include <algorithm>
#include <vector>

namespace yk {

namespace {

// The CRC of each folder's data, taken as its entries go by (in archive order, as a folder
// holds them); a folder is judged only when all of its bytes were seen.
class FolderHashes {
public:
    explicit FolderHashes(const ProbeResult &h) : h_(h), seen_(h.folderCrcs.size()) {}
    // Called once per entry, in archive order.
    void nextEntry() {
        folder_ = index_ < h_.entryFolder.size() ? h_.entryFolder[index_] : ProbeResult::kNoFolder;
        ++index_;
    }
    void add(const void *p, std::size_t n) {
        if (folder_ >= seen_.size())
            return;
        seen_[folder_].crc = updateCrc(seen_[folder_].crc, p, n);
        seen_[folder_].bytes += n;
    }
    // Why the folders are not sound, if they are not.
    Error fault() const {
        if (index_ != h_.entryFolder.size())
            return Error(); // libarchive saw other entries than our reading: no verdict
        for (std::size_t i = 0; i < seen_.size(); ++i) {
            const ProbeResult::FolderCrc &f = h_.folderCrcs[i];
            if (f.defined && seen_[i].bytes == f.size && seen_[i].crc != f.crc)
                return Error(Fault::FolderCrc, i + 1);
        }
        return Error();
    }

private:
    struct Seen {
        std::uint32_t crc = 0;
        std::uint64_t bytes = 0;
    };
    const ProbeResult &h_;
    std::vector<Seen> seen_;
    std::size_t index_ = 0;
    std::uint32_t folder_ = ProbeResult::kNoFolder;
};

// Why a packed stream of the archive does not match its CRC, if one does not. Reads each such
// stream once, in order.
Error packedFault(ArchiveInput &in) {
    std::vector<std::uint8_t> buf(1u << 16);
    for (const ProbeResult::PackCrc &p : in.header().packCrcs) {
        std::uint32_t crc = 0;
        for (std::uint64_t done = 0; done < p.size;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), p.size - done));
            if (!in.readAt(p.offset + done, buf.data(), n))
                return Error(); // beyond the end: the reading has said so already
            crc = updateCrc(crc, buf.data(), n);
            done += n;
        }
        if (crc != p.crc)
            return Error(Fault::PackedStreamCrc, p.index + 1);
    }
    return Error();
}

} // namespace

int runTest(const ArchiveSource &source, Console &console) {
    Error error;
    ArchiveInput in(source);
    if (!in.open(error)) {
        console.problem(msg::cannotReadArchive(msg::archiveName(source), msg::reason(error)));
        return ExitNothing;
    }
    Outcome outcome;
    FolderHashes folders(in.header());
    const bool read = forEachEntry(
        in,
        [&](struct archive_entry *e) {
            const std::string name = decodeName(entryName(e));
            const std::string label = msg::testing(name);
            const la_int64_t size = archive_entry_size(e);
            Error why;
            folders.nextEntry();
            const DataEnd end = forEachBlock(
                in, e,
                [&](const void *p, std::size_t n, std::uint64_t done, Error &) {
                    folders.add(p, n);
                    if (size > 0)
                        console.progress(label, done, static_cast<std::uint64_t>(size));
                    return true;
                },
                why);
            console.clearProgress();
            const bool ok = end == DataEnd::Complete;
            if (!ok)
                console.problem(msg::damagedEntry(name, msg::reason(why)));
            console.line(label + "  " + (ok ? msg::ok : msg::bad));
            ++(ok ? outcome.done : outcome.failed);
            return true;
        },
        error);
    if (!read) {
        console.problem(msg::cannotReadArchive(msg::archiveName(source), msg::reason(error)));
        outcome.incomplete = true;
    }
    // The entries' own CRCs say nothing of the data between them, nor of the packed bytes.
    Error fault = packedFault(in);
    if (fault.empty() && read)
        fault = folders.fault();
    if (!fault.empty()) {
        console.problem(msg::cannotReadArchive(msg::archiveName(source), msg::reason(fault)));
        outcome.fatal = true;
    }
    console.line(msg::testSummary(outcome.done, outcome.failed));
    console.line(outcome.failed == 0 && !outcome.incomplete && !outcome.fatal ? msg::archiveOk
                                                                              : msg::archiveBad);
    return outcome.exitStatus();
}

} // namespace yk
