#pragma once
// Volumes stand where the drive box of the main window expects drives.
#include <QByteArray>
#include <QString>
#include <vector>

namespace platform {

enum class DriveType { Removable, Fixed, Remote, CdRom, RamDisk };

// One line of /proc/self/mountinfo, octal escapes (\040 ...) decoded.
struct MountEntry {
    QByteArray mountPoint;
    QByteArray fsType;
    QByteArray source; // device, //server/share, host:/path ...
};

// Pure: parses the text of /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const QByteArray &text);

// Pure: true for kernel and virtual filesystems that hold no user files
// (proc, sysfs, cgroup, devpts, devtmpfs, mqueue, ...).
bool isPseudoFilesystem(const QByteArray &fsType);

struct Volume {
    QByteArray root;     // mount point, absolute, no trailing '/' except for "/"
    DriveType type = DriveType::Fixed;
    QString label;       // filesystem label as stored, empty when none
    QString remoteName;  // for Remote: the source (//SERVER/SHARE, host:/path), else empty
    bool caseSensitive = true;
};

// Pure: turns parsed mount entries into volumes. Skips pseudo filesystems, mount points that
// are not directories (bind-mounted files), mounts below /proc, /sys, /dev and /run (except
// /run/media), and mount points mounted over again (the last one wins). Sorted by root.
// labelOf and isRemovable are asked per entry; they must not touch the medium itself.
struct VolumeProbe {
    virtual ~VolumeProbe() = default;
    virtual bool isDirectory(const QByteArray &path) const = 0;
    virtual QString labelOf(const MountEntry &entry) const = 0;
    virtual bool isRemovable(const MountEntry &entry) const = 0;
};
std::vector<Volume> volumesFromMounts(const std::vector<MountEntry> &mounts,
                                      const VolumeProbe &probe);

// The mounted volumes of this machine. Never blocks on a drive without a medium.
std::vector<Volume> logicalVolumes();

// Pure: index of the volume whose root is the longest prefix (on a path boundary) of absPath,
// or -1.
int volumeOf(const std::vector<Volume> &volumes, const QByteArray &absPath);

} // namespace platform
