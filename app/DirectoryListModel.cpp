#include "app/DirectoryListModel.h"

#include "app/GlyphRowDelegate.h"
#include "app/NameRules.h"
#include "app/PathRules.h"
#include "platform/DirReader.h"
#include "platform/Files.h"

#include <algorithm>

DirectoryListModel::DirectoryListModel(QObject *parent) : QAbstractListModel(parent) {}

std::vector<DirectoryRow> DirectoryListModel::rowsFor(const QByteArray &directory,
                                                      std::vector<QByteArray> subdirectories) {
    std::vector<DirectoryRow> rows;
    const QList<QByteArray> parts = paths::components(directory);
    for (int i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        rows.push_back({parts.at(i), paths::pathOfRow(directory, i),
                        last ? Glyph::CurrentFolder : Glyph::OpenFolder, paths::pathRowIndent(i)});
    }
    std::vector<std::pair<QByteArray, QByteArray>> keyed;
    keyed.reserve(subdirectories.size());
    for (QByteArray &name : subdirectories)
        keyed.emplace_back(names::sortKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    const int indent = paths::subdirectoryIndent(directory);
    for (auto &[key, name] : keyed)
        rows.push_back({name, platform::joinPath(directory, name), Glyph::ClosedFolder, indent});
    return rows;
}

std::vector<QByteArray> DirectoryListModel::readSubdirectories(const QByteArray &directory) {
    std::vector<platform::DirEntry> entries;
    platform::readDirectory(directory, entries);
    std::vector<QByteArray> names;
    for (platform::DirEntry &entry : entries)
        if (entry.isDirectory && !entry.name.startsWith('.'))
            names.push_back(std::move(entry.name));
    return names;
}

void DirectoryListModel::setRows(std::vector<DirectoryRow> rows, int currentRow) {
    beginResetModel();
    m_rows = std::move(rows);
    m_currentRow = currentRow;
    endResetModel();
}

int DirectoryListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant DirectoryListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const DirectoryRow &r = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return names::displayName(r.name);
    case Qt::DecorationRole:
        return glyphPixmap(r.glyph);
    case rowroles::Indent:
        return r.indent;
    case rowroles::RawBytes:
        return r.path;
    default:
        return {};
    }
}
