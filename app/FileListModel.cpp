#include "app/FileListModel.h"

#include "app/GlyphRowDelegate.h"
#include "app/Glyphs.h"
#include "app/NameRules.h"
#include "platform/DirReader.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight bytes of a key from offset on as one number that orders like the bytes themselves. Keys
// hold no zero byte, so the zero padding past a key's end orders it before any longer key, as a
// byte-wise compare does.
quint64 keyBytesAt(const QByteArray &key, qsizetype offset) {
    quint64 bytes = 0;
    const qsizetype end = std::min<qsizetype>(key.size(), offset + 8);
    for (qsizetype i = offset; i < end; ++i)
        bytes |= quint64(static_cast<unsigned char>(key.at(i))) << (56 - 8 * (i - offset));
    return bytes;
}

// Orders rows by key, then by raw name. The sort moves small items that carry the keys' first
// sixteen bytes, so most comparisons are two integer compares on data in cache; names that begin
// alike (IMG_2023..., report_1...) are common, which is why eight bytes are not enough.
void sortRows(std::vector<FileRow> &rows) {
    constexpr quint32 Inline = 16;
    struct Item {
        quint64 head0;
        quint64 head1;
        const char *key;
        quint32 keySize;
        quint32 index;
    };
    std::vector<Item> items;
    items.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const QByteArray &key = rows[i].key;
        items.push_back({keyBytesAt(key, 0), keyBytesAt(key, 8), key.constData(),
                         quint32(key.size()), quint32(i)});
    }
    std::sort(items.begin(), items.end(), [&rows](const Item &a, const Item &b) {
        if (a.head0 != b.head0)
            return a.head0 < b.head0;
        if (a.head1 != b.head1)
            return a.head1 < b.head1;
        // Equal heads: the keys share their first bytes, and one of at most sixteen bytes is a
        // prefix of the other.
        if (a.keySize > Inline && b.keySize > Inline) {
            const quint32 rest = std::min(a.keySize, b.keySize) - Inline;
            const int byBytes = std::memcmp(a.key + Inline, b.key + Inline, rest);
            if (byBytes != 0)
                return byBytes < 0;
        }
        if (a.keySize != b.keySize)
            return a.keySize < b.keySize;
        return rows[a.index].name < rows[b.index].name;
    });
    // Put each row in its place by following the permutation's cycles: no second array of rows.
    for (size_t start = 0; start < items.size(); ++start) {
        if (items[start].index == start)
            continue;
        FileRow held = std::move(rows[start]);
        size_t to = start;
        for (;;) {
            const size_t from = items[to].index;
            items[to].index = quint32(to);
            if (from == start) {
                rows[to] = std::move(held);
                break;
            }
            rows[to] = std::move(rows[from]);
            to = from;
        }
    }
}

} // namespace

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent) {}

bool FileListModel::readRows(const platform::DirectoryHandle &dir, std::vector<FileRow> &rows,
                             const std::function<void(int)> &onFileRead) {
    rows.clear();
    std::vector<platform::DirEntry> entries;
    int files = 0;
    std::function<void(const platform::DirEntry &)> onEntry;
    if (onFileRead)
        onEntry = [&](const platform::DirEntry &e) {
            if (!e.isDirectory)
                onFileRead(++files);
        };
    if (!platform::readDirectory(dir, entries, onEntry))
        return false;
    rows.reserve(entries.size());
    for (platform::DirEntry &entry : entries) {
        if (entry.isDirectory)
            continue;
        FileRow row;
        row.key = names::sortKey(entry.name);
        row.executable = names::isExecutableName(entry.name);
        row.name = std::move(entry.name);
        rows.push_back(std::move(row));
    }
    // The entries are husks now; let their array go before sorting needs memory of its own.
    std::vector<platform::DirEntry>().swap(entries);
    sortRows(rows);
    return true;
}

void FileListModel::setRows(std::vector<FileRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int FileListModel::findPrefix(const QString &text) const {
    const QByteArray folded = names::sortKey(text.toUtf8());
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].key.startsWith(folded))
            return int(i);
    return -1;
}

int FileListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const FileRow &r = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return names::displayName(r.name);
    case Qt::DecorationRole:
        return glyphPixmap(r.executable ? Glyph::Executable : Glyph::UnknownFile);
    case rowroles::RawBytes:
        return r.name;
    default:
        return {};
    }
}
