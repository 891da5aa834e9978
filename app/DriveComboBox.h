#pragma once
// The drive box: one row per mounted volume. Each volume keeps its own current directory for
// the run, at first its mount point.
#include "platform/Volumes.h"

#include <QByteArray>
#include <QComboBox>
#include <map>
#include <vector>

class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget *parent = nullptr);

    // Builds the rows from the machine's volumes, or from the given ones, and shows the row of
    // the directory last remembered.
    void reload();
    void setVolumes(std::vector<platform::Volume> volumes);

    int volumeCount() const { return int(m_volumes.size()); }
    const platform::Volume &volume(int index) const { return m_volumes[size_t(index)]; }
    int volumeOf(const QByteArray &path) const;
    // The volume's own current directory.
    QByteArray volumeDirectory(int index) const;
    // Records dir as its volume's current directory and shows that volume's row.
    void rememberDirectory(const QByteArray &dir);
    // Shows a row without asking anything else to change.
    void showVolume(int index);

signals:
    // The user picked the row of a volume other than the one shown.
    void volumeChosen(int index);

private:
    void onActivated(int index);

    std::vector<platform::Volume> m_volumes;
    std::map<QByteArray, QByteArray> m_directories; // volume root -> its current directory
    QByteArray m_lastDirectory;                     // the one last remembered, of any volume
    int m_shown = -1;
};
