#pragma once
// The file list of the main window: the files of one directory, several selectable at once.
// Reading it makes its directory the working directory.
#include <QByteArray>
#include <QElapsedTimer>
#include <QItemSelection>
#include <QList>
#include <QListView>

class FileListModel;

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QByteArray directory() const { return m_directory; }
    // Takes dir as the list's directory; re-reads only when it differs from the current one.
    void setDirectory(const QByteArray &dir);
    // Makes the directory the working directory, empties the list and reads it afresh.
    void refresh();

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
    QByteArray m_directory;
    QItemSelection m_selectionAtPress;
    bool m_pressOnRow = true;
    QString m_search;
    QElapsedTimer m_lastTyped;
};
