#pragma once
// The rows of the directory list: the path from "/" down to the current directory, then its
// visible subdirectories sorted by name case-insensitively.
#include "app/Glyphs.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <vector>

struct DirectoryRow {
    QByteArray name; // the component as stored ("/" for the root row)
    QByteArray path; // the directory the row opens
    Glyph glyph = Glyph::ClosedFolder;
    int indent = 2;
};

class DirectoryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit DirectoryListModel(QObject *parent);

    // Pure: the rows for a clean absolute directory and the names of its subdirectories.
    static std::vector<DirectoryRow> rowsFor(const QByteArray &directory,
                                             std::vector<QByteArray> subdirectories);
    // Reads the directory's visible subdirectories; an unreadable directory has none.
    static std::vector<QByteArray> readSubdirectories(const QByteArray &directory);

    void setRows(std::vector<DirectoryRow> rows, int currentRow);
    const DirectoryRow &row(int i) const { return m_rows[size_t(i)]; }
    int count() const { return int(m_rows.size()); }
    int currentRow() const { return m_currentRow; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    std::vector<DirectoryRow> m_rows;
    int m_currentRow = 0;
};
