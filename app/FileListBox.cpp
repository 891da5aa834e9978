#include "app/FileListBox.h"

#include "app/FileListModel.h"
#include "app/GlyphRowDelegate.h"
#include "app/NameRules.h"
#include "platform/Files.h"
#include "platform/WorkingDir.h"

#include <QApplication>
#include <QKeyEvent>

namespace {
// Reading more than this many files shows the busy cursor.
constexpr int QuietRowCount = 100;
// A pause this long starts a new type-ahead search.
constexpr qint64 TypeAheadResetMs = 500;

// Restores the cursor whatever way the reading ends.
class BusyCursor {
public:
    void show() {
        if (m_shown)
            return;
        m_shown = true;
        // The platform sends the change to the display at once, while the reading goes on.
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }

private:
    bool m_shown = false;
};
} // namespace

FileListBox::FileListBox(QWidget *parent) : QListView(parent), m_model(new FileListModel(this)) {
    setModel(m_model);
    setItemDelegate(new GlyphRowDelegate(GlyphRowDelegate::TextPlacement::Top, this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

FileListBox::~FileListBox() = default;

void FileListBox::setDirectory(const QByteArray &dir) {
    if (dir == m_directory)
        return;
    m_directory = dir;
    refresh();
}

void FileListBox::refresh() {
    if (m_cwd)
        m_cwd->enter(m_directory);
    m_model->setRows({});
    std::vector<FileRow> rows;
    BusyCursor cursor;
    // The cursor changes while the reading goes on, once the hundred-and-first file is in,
    // and stays until the rows are shown.
    m_listed = platform::DirectoryHandle(m_directory);
    FileListModel::readRows(m_listed, rows, [&](int filesRead) {
        if (filesRead > QuietRowCount)
            cursor.show();
        if (m_readObserver)
            m_readObserver(filesRead);
    });
    m_model->setRows(std::move(rows));
}

int FileListBox::count() const {
    return m_model->count();
}

QByteArray FileListBox::rowName(int row) const {
    return row >= 0 && row < count() ? m_model->row(row).name : QByteArray();
}

bool FileListBox::isRowSelected(int row) const {
    return selectionModel()->isSelected(m_model->index(row));
}

void FileListBox::setAllSelected(bool selected) {
    if (count() == 0)
        return;
    if (selected) {
        const QItemSelection all(m_model->index(0), m_model->index(count() - 1));
        selectionModel()->select(all, QItemSelectionModel::Select);
    } else {
        selectionModel()->clearSelection();
    }
}

QList<int> FileListBox::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int FileListBox::focusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FileListBox::setFocusedRow(int row) {
    if (row < 0 || row >= count() || row == focusedRow())
        return;
    const QModelIndex index = m_model->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

QByteArray FileListBox::currentFile() const {
    const int row = focusedRow();
    if (row < 0 || !isRowSelected(row))
        return {};
    return platform::joinPath(m_directory, m_model->row(row).name);
}

void FileListBox::mousePressEvent(QMouseEvent *event) {
    m_selectionAtPress = selectionModel()->selection();
    QListView::mousePressEvent(event);
    m_pressOnRow = indexAt(event->position().toPoint()).isValid();
    if (m_pressOnRow)
        emit userClicked();
}

void FileListBox::mouseReleaseEvent(QMouseEvent *event) {
    QListView::mouseReleaseEvent(event);
    // A click below the last row clears the selection on release: a change by the user too.
    if (!m_pressOnRow && selectionModel()->selection() != m_selectionAtPress)
        emit userClicked();
    m_pressOnRow = true;
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent *event) {
    QListView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userDoubleClicked();
}

void FileListBox::keyPressEvent(QKeyEvent *event) {
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typed || event->key() == Qt::Key_Backspace) {
        typeAhead(event);
        return;
    }
    const QModelIndex before = currentIndex();
    const QItemSelection selectedBefore = selectionModel()->selection();
    QListView::keyPressEvent(event);
    if (currentIndex() != before || selectionModel()->selection() != selectedBefore)
        emit userClicked();
}

void FileListBox::typeAhead(QKeyEvent *event) {
    if (event->key() == Qt::Key_Backspace) {
        m_search.chop(1);
    } else {
        if (!m_lastTyped.isValid() || m_lastTyped.elapsed() >= TypeAheadResetMs)
            m_search.clear();
        m_search += event->text();
    }
    m_lastTyped.start();
    if (m_search.isEmpty()) {
        setFocusedRow(0);
        emit userClicked();
        return;
    }
    const int found = m_model->findPrefix(m_search);
    if (found < 0)
        return;
    const QModelIndex index = m_model->index(found);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    emit userClicked();
}
