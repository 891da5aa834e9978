#include "app/DirectoryListBox.h"

#include "app/DirectoryListModel.h"
#include "app/DriveComboBox.h"
#include "app/FileListBox.h"
#include "app/GlyphRowDelegate.h"
#include "app/NameRules.h"
#include "app/PathRules.h"
#include "platform/FileStatus.h"
#include "platform/WorkingDir.h"

#include <QKeyEvent>

DirectoryListBox::DirectoryListBox(QWidget *parent)
    : QListView(parent), m_model(new DirectoryListModel(this)) {
    setModel(m_model);
    setItemDelegate(new GlyphRowDelegate(GlyphRowDelegate::TextPlacement::Top, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

DirectoryListBox::~DirectoryListBox() = default;

void DirectoryListBox::link(DriveComboBox *drives, FileListBox *files,
                            platform::WorkingDirectory *cwd) {
    m_cwd = cwd;
    m_directory = cwd->path();
    m_drives = drives;
    m_files = files;
    m_files->useWorkingDirectory(cwd);
    connect(m_drives, &DriveComboBox::volumeChosen, this, &DirectoryListBox::enterVolume);
    m_drives->reload();
    m_files->setDirectory(m_directory);
    m_files->refresh();
    rebuildAndReport(true);
}

int DirectoryListBox::count() const {
    return m_model->count();
}

QByteArray DirectoryListBox::rowPath(int row) const {
    return row >= 0 && row < count() ? m_model->row(row).path : QByteArray();
}

bool DirectoryListBox::enter(const QByteArray &dir) {
    if (!m_cwd->enter(dir))
        return false;
    m_directory = dir;
    return true;
}

bool DirectoryListBox::sameDirectory(const QByteArray &a, const QByteArray &b) const {
    const int volume = m_drives ? m_drives->volumeOf(a) : -1;
    if (volume >= 0 && !m_drives->volume(volume).caseSensitive)
        return names::sortKey(a) == names::sortKey(b);
    return a == b;
}

void DirectoryListBox::setDirectory(const QByteArray &path) {
    if (path.isEmpty())
        return;
    const QByteArray target = paths::absoluteClean(path, m_directory);
    if (sameDirectory(target, m_directory))
        return;
    if (m_drives) {
        const int volume = m_drives->volumeOf(target);
        if (volume >= 0 && volume != m_drives->volumeOf(m_directory)) {
            m_drives->showVolume(volume);
            enter(m_drives->volumeDirectory(volume));
        }
    }
    if (!enter(target)) {
        const platform::FileKind kind = platform::fileKind(target);
        if (kind == platform::FileKind::Regular || kind == platform::FileKind::Special)
            enter(paths::parentOf(target));
    }
    rebuildAndReport(true);
}

void DirectoryListBox::openRow(int row) {
    if (row >= 0 && row < count())
        setDirectory(m_model->row(row).path);
}

void DirectoryListBox::enterVolume(int index) {
    const bool entered = enter(m_drives->volumeDirectory(index));
    if (!entered)
        m_cwd->enter(m_directory);
    // A volume that cannot be entered stays shown in the drive box.
    rebuildAndReport(entered);
}

void DirectoryListBox::reread() {
    rebuildAndReport(true);
}

void DirectoryListBox::rebuildAndReport(bool followDrive) {
    std::vector<DirectoryRow> rows = DirectoryListModel::rowsFor(
        m_directory, DirectoryListModel::readSubdirectories(m_directory));
    const int currentRow = int(paths::components(m_directory).size()) - 1;
    m_model->setRows(std::move(rows), currentRow);
    setCurrentIndex(m_model->index(currentRow));
    if (m_drives && followDrive)
        m_drives->rememberDirectory(m_directory);
    // The file list enters the directory when it re-reads; when it has it already, the
    // working directory is there too, unless a volume could not be entered.
    if (m_files)
        m_files->setDirectory(m_directory);
    if (m_cwd->path() != m_directory)
        m_cwd->enter(m_directory);
    emit changed();
}

void DirectoryListBox::mousePressEvent(QMouseEvent *event) {
    QListView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userClicked();
}

void DirectoryListBox::mouseDoubleClickEvent(QMouseEvent *event) {
    QListView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    emit aboutToOpen();
    openRow(currentIndex().row());
}

void DirectoryListBox::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openRow(currentIndex().row());
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before)
        emit userClicked();
}
