#pragma once
// The file list of the main window: the files of one directory, several selectable at once.
// Reading it makes its directory the working directory, through the owner it is given.
#include "platform/DirHandle.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QItemSelection>
#include <QList>
#include <QListView>
#include <functional>

class FileListModel;
namespace platform {
class WorkingDirectory;
}

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);
    ~FileListBox() override;

    // The working directory's owner that reading moves; without one the list only reads.
    void useWorkingDirectory(platform::WorkingDirectory *owner) { m_cwd = owner; }

    QByteArray directory() const { return m_directory; }
    // The directory as it was opened for the last reading: deletions happen there, whatever
    // its path names by then.
    const platform::DirectoryHandle &listedDirectory() const { return m_listed; }
    // Takes dir as the list's directory; re-reads only when it differs from the current one.
    void setDirectory(const QByteArray &dir);
    // Makes the directory the working directory, empties the list and reads it afresh.
    void refresh();
    // Called with the number of files read so far while a refresh reads; for tests that look
    // at the screen during a long read.
    void setReadObserver(std::function<void(int)> observer) {
        m_readObserver = std::move(observer);
    }

    int count() const;
    QByteArray rowName(int row) const;
    bool isRowSelected(int row) const;
    void setAllSelected(bool selected);
    QList<int> selectedRows() const; // ascending
    int focusedRow() const;          // -1 when none
    // Moves the focus without selecting and scrolls the row into view; out of range: ignored.
    void setFocusedRow(int row);
    // The focused row's full path when that row is selected, else empty.
    QByteArray currentFile() const;

signals:
    // The user changed the selection: click, navigation key or type-ahead.
    void userClicked();
    void userDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void typeAhead(QKeyEvent *event);

    FileListModel *m_model;
    platform::WorkingDirectory *m_cwd = nullptr;
    std::function<void(int)> m_readObserver;
    QByteArray m_directory;
    platform::DirectoryHandle m_listed;
    QItemSelection m_selectionAtPress;
    bool m_pressOnRow = true;
    QString m_search;
    QElapsedTimer m_lastTyped;
};
