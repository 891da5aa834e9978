#include "app/DriveComboBox.h"

#include "app/DriveRows.h"
#include "app/GlyphRowDelegate.h"

#include <QSignalBlocker>

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent) {
    setEditable(false);
    setIconSize(QSize(GlyphRowDelegate::GlyphWidth, 11));
    setItemDelegate(new GlyphRowDelegate(GlyphRowDelegate::TextPlacement::VCentre, this));
    connect(this, &QComboBox::activated, this, &DriveComboBox::onActivated);
}

void DriveComboBox::reload() {
    setVolumes(platform::logicalVolumes());
}

void DriveComboBox::setVolumes(std::vector<platform::Volume> volumes) {
    const QSignalBlocker blocker(this);
    m_volumes = std::move(volumes);
    clear();
    for (const platform::Volume &v : m_volumes) {
        addItem(QIcon(glyphPixmap(drives::rowGlyph(v.type))), drives::rowText(v));
        setItemData(count() - 1, v.root, rowroles::RawBytes);
    }
    m_shown = -1;
    showVolume(volumeOf(m_lastDirectory));
}

int DriveComboBox::volumeOf(const QByteArray &path) const {
    return platform::volumeOf(m_volumes, path);
}

QByteArray DriveComboBox::volumeDirectory(int index) const {
    if (index < 0 || index >= volumeCount())
        return {};
    const QByteArray &root = m_volumes[size_t(index)].root;
    const auto it = m_directories.find(root);
    return it == m_directories.end() ? root : it->second;
}

void DriveComboBox::rememberDirectory(const QByteArray &dir) {
    m_lastDirectory = dir;
    const int index = volumeOf(dir);
    if (index >= 0)
        m_directories[m_volumes[size_t(index)].root] = dir;
    showVolume(index);
}

void DriveComboBox::showVolume(int index) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
    m_shown = index;
}

void DriveComboBox::onActivated(int index) {
    if (index == m_shown)
        return;
    m_shown = index;
    emit volumeChosen(index);
}
