#pragma once
// The rows of the file list: every non-directory entry of one directory, sorted by name
// case-insensitively. Rows keep the names' exact bytes.
#include <QAbstractListModel>
#include <QByteArray>
#include <functional>
#include <vector>

struct FileRow {
    QByteArray name; // exact bytes
    QByteArray key;  // case-folded sort and search key
    bool executable = false;
};

namespace platform {
class DirectoryHandle;
}

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject *parent);

    // Reads the files of the open directory dir into sorted rows; false (and no rows) when it
    // cannot be read. onFileRead, when given, hears the number of files read so far after each.
    static bool readRows(const platform::DirectoryHandle &dir, std::vector<FileRow> &rows,
                         const std::function<void(int)> &onFileRead = {});
    void setRows(std::vector<FileRow> rows);

    const FileRow &row(int i) const { return m_rows[size_t(i)]; }
    int count() const { return int(m_rows.size()); }
    // First row whose key begins with the folded text, or -1.
    int findPrefix(const QString &text) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    std::vector<FileRow> m_rows;
};
