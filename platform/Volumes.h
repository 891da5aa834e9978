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
    QByteArray device; // "major:minor" as the kernel reports it; empty when not parsed
};

// Pure: parses the text of /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const QByteArray &text);

// Pure: true for kernel and virtual filesystems that hold no user files
// (proc, sysfs, cgroup, devpts, devtmpfs, mqueue, ...), and for read-only package images
// (squashfs, as snap mounts dozens of them). Not for overlay: a container's "/" is one.
bool isPseudoFilesystem(const QByteArray &fsType);

// Pure: decodes the \xHH escapes udev puts in the names under /dev/disk/by-label.
QByteArray decodeUdevName(const QByteArray &name);

struct Volume {
    QByteArray root; // mount point, absolute, no trailing '/' except for "/"
    DriveType type = DriveType::Fixed;
    QString label;      // filesystem label as stored, empty when none
    QString remoteName; // for Remote: the source (//SERVER/SHARE, host:/path), else empty
    bool caseSensitive = true;
};

// Pure: turns parsed mount entries into volumes. Skips pseudo filesystems, mount points that
// are not directories (bind-mounted files), mounts at or below /proc, /sys, /dev and /run
// (except /run/media), container-engine storage (/var/lib/docker, /var/lib/containers), and
// mount points mounted over again (the last one wins). Sorted by root.
// labelOf and isRemovable are asked per entry; they must not touch the medium itself.
// isDirectory is not asked for network and FUSE mounts: a dead server must not hang the
// caller, and those are never bind-mounted files in practice.
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
