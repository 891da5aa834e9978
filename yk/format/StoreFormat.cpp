#include "format/StoreFormat.h"

#include "codec/Crc.h"
#include "format/SevenZipIds.h"

#include <algorithm>
#include <cstring>

namespace yk {

namespace {

using namespace sevenzip;

constexpr std::uint32_t kTypeMask = 0170000;
constexpr std::uint32_t kTypeDirectory = 0040000;

void appendLe(Bytes &out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A property of the files: its identifier, its size and its bytes.
void appendProperty(Bytes &out, std::uint8_t id, const Bytes &value) {
    out.push_back(id);
    appendNumber(out, value.size());
    out.insert(out.end(), value.begin(), value.end());
}

// A bit vector, most significant bit first, one bit per item.
template <typename Pred> Bytes bits(const std::vector<StoreEntry> &entries, Pred pred) {
    Bytes out((entries.size() + 7) / 8, 0);
    std::size_t i = 0;
    for (const StoreEntry &e : entries) {
        if (pred(e))
            out[i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
        ++i;
    }
    return out;
}

void appendTimes(Bytes &out, std::uint8_t id, const std::vector<StoreEntry> &entries,
                 StoreTime StoreEntry::*which) {
    std::size_t defined = 0;
    for (const StoreEntry &e : entries)
        defined += (e.*which).set ? 1 : 0;
    if (defined == 0)
        return;
    Bytes value{1}; // all defined
    if (defined != entries.size()) {
        value = bits(entries, [which](const StoreEntry &e) { return (e.*which).set; });
        value.insert(value.begin(), 0); // those whose bit is set
    }
    value.push_back(0); // not external
    for (const StoreEntry &e : entries) {
        const StoreTime &t = e.*which;
        if (t.set)
            appendLe(value, fileTime(t.sec, t.nsec), 8);
    }
    appendProperty(out, id, value);
}

// One folder of one coder, as in the folder list of an unpack info.
void appendFolder(Bytes &out, const SolidFolder &folder) {
    out.push_back(1); // one coder
    const std::uint8_t hasProperties = folder.properties.empty() ? 0 : 0x20;
    out.push_back(static_cast<std::uint8_t>(hasProperties | folder.coderId.size()));
    out.insert(out.end(), folder.coderId.begin(), folder.coderId.end());
    if (hasProperties) {
        appendNumber(out, folder.properties.size());
        out.insert(out.end(), folder.properties.begin(), folder.properties.end());
    }
}

// The CRCs of the entries' data, ending the substreams and the streams.
void appendCrcs(Bytes &out, const std::vector<StoreEntry> &withData) {
    out.push_back(kCrc);
    out.push_back(1); // all defined
    for (const StoreEntry &e : withData)
        appendLe(out, e.crc, 4);
    out.push_back(kEnd);
    out.push_back(kEnd);
}

void appendStreams(Bytes &out, const std::vector<StoreEntry> &withData) {
    out.push_back(kMainStreamsInfo);

    out.push_back(kPackInfo);
    appendNumber(out, 0); // the packed data starts right after the start header
    appendNumber(out, withData.size());
    out.push_back(kSize);
    for (const StoreEntry &e : withData)
        appendNumber(out, e.size);
    out.push_back(kEnd);

    // One folder of one copy coder per entry: each entry's data is its own packed stream.
    out.push_back(kUnpackInfo);
    out.push_back(kFolder);
    appendNumber(out, withData.size());
    out.push_back(0); // not external
    const SolidFolder copy{{0x00}, {}, 0};
    for (std::size_t i = 0; i < withData.size(); ++i)
        appendFolder(out, copy);
    out.push_back(kCodersUnpackSize);
    for (const StoreEntry &e : withData)
        appendNumber(out, e.size);
    out.push_back(kEnd);

    out.push_back(kSubStreamsInfo);
    appendCrcs(out, withData);
}

// The pack info of one packed stream at `packPos`, then the unpack info of its one folder up to
// the folder's unpacked size; the caller ends the unpack info.
void appendSingleFolder(Bytes &out, std::uint64_t packPos, const SolidFolder &folder,
                        std::uint64_t unpackSize) {
    out.push_back(kPackInfo);
    appendNumber(out, packPos);
    appendNumber(out, 1);
    out.push_back(kSize);
    appendNumber(out, folder.packedSize);
    out.push_back(kEnd);

    out.push_back(kUnpackInfo);
    out.push_back(kFolder);
    appendNumber(out, 1);
    out.push_back(0); // not external
    appendFolder(out, folder);
    out.push_back(kCodersUnpackSize);
    appendNumber(out, unpackSize);
}

// The streams of one solid folder: one packed stream, one coder, the entries as its substreams.
void appendSolidStreams(Bytes &out, const std::vector<StoreEntry> &withData,
                        const SolidFolder &folder) {
    std::uint64_t total = 0;
    for (const StoreEntry &e : withData)
        total += e.size;
    out.push_back(kMainStreamsInfo);
    appendSingleFolder(out, 0, folder, total);
    out.push_back(kEnd);

    out.push_back(kSubStreamsInfo);
    if (withData.size() != 1) {
        out.push_back(kNumUnpackStream);
        appendNumber(out, withData.size());
        out.push_back(kSize); // every size but the last, which is what the folder has left
        for (std::size_t i = 0; i + 1 < withData.size(); ++i)
            appendNumber(out, withData[i].size);
    }
    appendCrcs(out, withData);
}

template <typename Streams>
Bytes wholeHeader(const std::vector<StoreEntry> &entries, Streams appendStreamsOf);

} // namespace

bool StoreEntry::isDirectory() const {
    return (mode & kTypeMask) == kTypeDirectory;
}

Bytes startHeader(std::uint64_t headerOffset, std::uint64_t headerSize, std::uint32_t headerCrc) {
    // Signature, version 0.4, then room for the CRC of the 20 bytes that follow.
    Bytes out(12, 0);
    std::copy(std::begin(kSignature), std::end(kSignature), out.begin());
    out[7] = 4;
    appendLe(out, headerOffset, 8);
    appendLe(out, headerSize, 8);
    appendLe(out, headerCrc, 4);
    const std::uint32_t crc = updateCrc(0, out.data() + 12, 20);
    for (int i = 0; i < 4; ++i)
        out[8 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return out;
}

void appendNumber(Bytes &out, std::uint64_t value) {
    std::uint8_t first = 0;
    std::uint8_t rest[8];
    int n = 0;
    std::uint8_t mask = 0x80;
    for (; n < 8; ++n) {
        if (value < mask) {
            first |= static_cast<std::uint8_t>(value);
            break;
        }
        rest[n] = static_cast<std::uint8_t>(value);
        value >>= 8;
        first |= mask;
        mask >>= 1;
    }
    out.push_back(first);
    out.insert(out.end(), rest, rest + n);
}

Bytes utf16le(const std::string &utf8) {
    Bytes out;
    out.reserve(utf8.size() * 2);
    auto unit = [&out](std::uint32_t u) {
        out.push_back(static_cast<std::uint8_t>(u));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = s[i];
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        std::uint32_t min = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4, cp = c & 0x07, min = 0x10000;
        } else {
            len = 0; // a stray continuation byte or an invalid lead byte
        }
        bool ok = len > 0 && i + len <= n;
        for (std::size_t k = 1; ok && k < len; ++k) {
            ok = (s[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (len > 1)
            ok = ok && cp >= min && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!ok) {
            unit(0xFFFD);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
        i += len;
    }
    return out;
}

std::uint32_t storeAttributes(std::uint32_t mode) {
    std::uint32_t attr = (mode & kTypeMask) == kTypeDirectory ? 0x8010 : 0x8020;
    if ((mode & 0222) == 0)
        attr |= 0x01; // read-only
    return attr | (mode << 16);
}

std::uint64_t fileTime(std::int64_t sec, long nsec) {
    return static_cast<std::uint64_t>(sec) * 10000000u + static_cast<std::uint64_t>(nsec / 100) +
           116444736000000000ull;
}

std::vector<StoreEntry> headerOrder(const std::vector<StoreEntry> &entries) {
    std::vector<StoreEntry> out;
    std::vector<StoreEntry> emptyFiles;
    std::vector<std::pair<Bytes, const StoreEntry *>> dirs;
    for (const StoreEntry &e : entries) {
        if (e.size > 0)
            out.push_back(e);
        else if (!e.isDirectory())
            emptyFiles.push_back(e);
        else
            dirs.emplace_back(utf16le(e.name), &e);
    }
    // Directories by the length of their UTF-16 name, then by its bytes, both descending (the
    // order libarchive lists them in); the first of equals.
    std::stable_sort(dirs.begin(), dirs.end(), [](const auto &a, const auto &b) {
        if (a.first.size() != b.first.size())
            return a.first.size() > b.first.size();
        return a.first > b.first;
    });
    dirs.erase(std::unique(dirs.begin(), dirs.end(),
                           [](const auto &a, const auto &b) { return a.first == b.first; }),
               dirs.end());
    out.insert(out.end(), emptyFiles.begin(), emptyFiles.end());
    for (const auto &d : dirs)
        out.push_back(*d.second);
    return out;
}

Bytes storeHeader(const std::vector<StoreEntry> &entries) {
    return wholeHeader(entries, [](Bytes &out, const std::vector<StoreEntry> &withData) {
        appendStreams(out, withData);
    });
}

Bytes solidHeader(const std::vector<StoreEntry> &entries, const SolidFolder &folder) {
    return wholeHeader(entries, [&folder](Bytes &out, const std::vector<StoreEntry> &withData) {
        appendSolidStreams(out, withData, folder);
    });
}

Bytes encodedHeader(std::uint64_t packPos, const SolidFolder &coder, std::uint64_t size,
                    std::uint32_t crc) {
    Bytes out;
    out.push_back(kEncodedHeader);
    appendSingleFolder(out, packPos, coder, size);
    out.push_back(kCrc);
    out.push_back(1); // all defined
    appendLe(out, crc, 4);
    out.push_back(kEnd);
    out.push_back(kEnd);
    return out;
}

namespace {

template <typename Streams>
Bytes wholeHeader(const std::vector<StoreEntry> &entries, Streams appendStreamsOf) {
    Bytes out;
    if (entries.empty())
        return out;
    std::vector<StoreEntry> withData;
    std::size_t empty = 0, dirs = 0;
    for (const StoreEntry &e : entries) {
        if (e.size > 0)
            withData.push_back(e);
        else
            ++empty, dirs += e.isDirectory() ? 1 : 0;
    }

    out.push_back(kHeader);
    if (!withData.empty())
        appendStreamsOf(out, withData);

    out.push_back(kFilesInfo);
    appendNumber(out, entries.size());
    if (empty > 0) {
        appendProperty(out, kEmptyStream,
                       bits(entries, [](const StoreEntry &e) { return e.size == 0; }));
    }
    if (empty > dirs) {
        // One bit per entry without data: set for empty files, clear for directories.
        std::vector<StoreEntry> noData;
        for (const StoreEntry &e : entries)
            if (e.size == 0)
                noData.push_back(e);
        appendProperty(out, kEmptyFile,
                       bits(noData, [](const StoreEntry &e) { return !e.isDirectory(); }));
    }

    Bytes names{0}; // not external
    for (const StoreEntry &e : entries) {
        const Bytes n = utf16le(e.name);
        names.insert(names.end(), n.begin(), n.end());
        names.push_back(0);
        names.push_back(0);
    }
    appendProperty(out, kName, names);

    appendTimes(out, kMTime, entries, &StoreEntry::mtime);
    appendTimes(out, kCTime, entries, &StoreEntry::ctime);
    appendTimes(out, kATime, entries, &StoreEntry::atime);

    Bytes attributes{1, 0}; // all defined, not external
    for (const StoreEntry &e : entries)
        appendLe(attributes, storeAttributes(e.mode), 4);
    appendProperty(out, kAttributes, attributes);

    out.push_back(kEnd); // files
    out.push_back(kEnd); // header
    return out;
}

} // namespace

} // namespace yk
