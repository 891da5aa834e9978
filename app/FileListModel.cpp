#include "app/FileListModel.h"

#include "app/GlyphRowDelegate.h"
#include "app/Glyphs.h"
#include "app/NameRules.h"
#include "platform/DirReader.h"

#include <algorithm>

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent) {}

bool FileListModel::readRows(const QByteArray &dir, std::vector<FileRow> &rows) {
    rows.clear();
    std::vector<platform::DirEntry> entries;
    if (!platform::readDirectory(dir, entries))
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
    std::sort(rows.begin(), rows.end(), [](const FileRow &a, const FileRow &b) {
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.name < b.name;
    });
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
