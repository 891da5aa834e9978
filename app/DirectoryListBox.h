#pragma once
// The directory list: the path down to the current directory and its subdirectories. The drive
// box and the file list follow it.
#include <QByteArray>
#include <QListView>

class DirectoryListModel;
namespace platform {
class WorkingDirectory;
}
class DriveComboBox;
class FileListBox;

class DirectoryListBox : public QListView {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget *parent = nullptr);
    ~DirectoryListBox() override;

    // Links the widgets and builds all three on the working directory; cwd is its one owner,
    // which both lists move from then on. Before this the list holds no directory.
    void link(DriveComboBox *drives, FileListBox *files, platform::WorkingDirectory *cwd);

    QByteArray directory() const { return m_directory; }
    // Enters path when it can (a file's path enters its directory); silent when it cannot.
    void setDirectory(const QByteArray &path);
    // Opens a row: the directory it stands for goes to setDirectory.
    void openRow(int row);
    // Moves to a volume's own current directory (the user picked it in the drive box).
    void enterVolume(int index);
    // Reads its own directory again and reports the change, as after a set directory.
    void reread();

    int count() const;
    QByteArray rowPath(int row) const;

signals:
    void userClicked(); // a click on a row or a highlight moved with the keys
    void aboutToOpen(); // a double click, before the row is opened
    void changed();     // after every set directory and volume change

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool enter(const QByteArray &dir);
    bool sameDirectory(const QByteArray &a, const QByteArray &b) const;
    void rebuildAndReport(bool followDrive);

    DirectoryListModel *m_model;
    platform::WorkingDirectory *m_cwd = nullptr;
    DriveComboBox *m_drives = nullptr;
    FileListBox *m_files = nullptr;
    QByteArray m_directory;
};
