#include "platform/Volumes.h"

#include "platform/Files.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The kernel escapes blank, tab, newline and backslash in mountinfo as \ooo.
QByteArray decodeOctal(const QByteArray &field) {
    if (!field.contains('\\'))
        return field;
    QByteArray out;
    out.reserve(field.size());
    const auto isOct = [](char d) { return d >= '0' && d <= '7'; };
    for (int i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size() && isOct(field[i + 1]) && isOct(field[i + 2]) &&
            isOct(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                        (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += c;
    }
    return out;
}

bool hasPathPrefix(const QByteArray &path, const QByteArray &prefix) {
    if (prefix == "/")
        return path.startsWith('/');
    return path.startsWith(prefix) && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

bool isOneOf(const QByteArray &fsType, std::initializer_list<const char *> names) {
    return std::any_of(names.begin(), names.end(), [&](const char *n) { return fsType == n; });
}

bool isHiddenSystemPath(const QByteArray &mountPoint) {
    if (hasPathPrefix(mountPoint, "/run/media"))
        return false;
    static const char *const prefixes[] = {
        "/proc", "/sys", "/dev", "/run", "/var/lib/docker", "/var/lib/containers"};
    return std::any_of(std::begin(prefixes), std::end(prefixes),
                       [&](const char *p) { return hasPathPrefix(mountPoint, p); });
}

bool isRemoteFilesystem(const QByteArray &fsType) {
    return isOneOf(fsType,
                   {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "9p",
                    "fuse.sshfs", "sshfs", "glusterfs", "fuse.glusterfs", "davfs", "fuse.davfs2"});
}

bool isCaseInsensitiveFilesystem(const QByteArray &fsType) {
    return isOneOf(fsType, {"vfat", "msdos", "exfat", "ntfs", "ntfs3", "cifs", "smb3", "smbfs",
                            "hfsplus", "hfs"});
}

DriveType driveTypeOf(const MountEntry &m, const VolumeProbe &probe) {
    if (isRemoteFilesystem(m.fsType))
        return DriveType::Remote;
    if (m.fsType == "iso9660" || m.fsType == "udf" || m.source.startsWith("/dev/sr") ||
        m.source.startsWith("/dev/scd"))
        return DriveType::CdRom;
    if (m.fsType == "tmpfs" || m.fsType == "ramfs")
        return DriveType::RamDisk;
    if (probe.isRemovable(m))
        return DriveType::Removable;
    return DriveType::Fixed;
}

} // namespace

std::vector<MountEntry> parseMountInfo(const QByteArray &text) {
    std::vector<MountEntry> out;
    for (const QByteArray &line : text.split('\n')) {
        // ID parent major:minor root mountpoint options [optional...] - fstype source superopts
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 9)
            continue;
        int dash = -1;
        for (int i = 6; i < f.size(); ++i) {
            if (f[i] == "-") {
                dash = i;
                break;
            }
        }
        if (dash < 0 || dash + 2 >= f.size())
            continue;
        MountEntry e;
        e.device = f[2];
        e.mountPoint = decodeOctal(f[4]);
        e.fsType = decodeOctal(f[dash + 1]);
        e.source = decodeOctal(f[dash + 2]);
        if (!e.mountPoint.startsWith('/') || e.fsType.isEmpty() || !e.device.contains(':'))
            continue;
        out.push_back(std::move(e));
    }
    return out;
}

bool isPseudoFilesystem(const QByteArray &fsType) {
    return isOneOf(fsType, {"proc",         "sysfs",        "cgroup",     "cgroup2",
                            "devpts",       "devtmpfs",     "mqueue",     "debugfs",
                            "tracefs",      "securityfs",   "pstore",     "bpf",
                            "configfs",     "fusectl",      "hugetlbfs",  "autofs",
                            "binfmt_misc",  "efivarfs",     "nsfs",       "rpc_pipefs",
                            "selinuxfs",    "nfsd",         "sockfs",     "pipefs",
                            "anon_inodefs", "usbfs",        "xenfs",      "resctrl",
                            "rootfs",       "squashfs",     "fuse.lxcfs", "fuse.gvfsd-fuse",
                            "fuse.portal",  "fuse.snapfuse"});
}

QByteArray decodeUdevName(const QByteArray &name) {
    if (!name.contains("\\x"))
        return name;
    QByteArray out;
    out.reserve(name.size());
    const auto hex = [](char d) {
        if (d >= '0' && d <= '9')
            return d - '0';
        if (d >= 'a' && d <= 'f')
            return d - 'a' + 10;
        if (d >= 'A' && d <= 'F')
            return d - 'A' + 10;
        return -1;
    };
    for (int i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
            hex(name[i + 3]) >= 0) {
            out += char(hex(name[i + 2]) * 16 + hex(name[i + 3]));
            i += 3;
            continue;
        }
        out += name[i];
    }
    return out;
}

std::vector<Volume> volumesFromMounts(const std::vector<MountEntry> &mounts,
                                      const VolumeProbe &probe) {
    // A later mount on the same point hides the earlier one.
    QHash<QByteArray, size_t> lastAt;
    for (size_t i = 0; i < mounts.size(); ++i)
        lastAt.insert(withoutTrailingSlash(mounts[i].mountPoint), i);

    std::vector<Volume> out;
    for (size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry &m = mounts[i];
        const QByteArray root = withoutTrailingSlash(m.mountPoint);
        if (lastAt.value(root) != i)
            continue;
        if (isPseudoFilesystem(m.fsType) || isHiddenSystemPath(root))
            continue;
        const bool mayHang = isRemoteFilesystem(m.fsType) || m.fsType.startsWith("fuse");
        if (!mayHang && !probe.isDirectory(root))
            continue;
        Volume v;
        v.root = root;
        v.type = driveTypeOf(m, probe);
        if (v.type == DriveType::Remote)
            v.remoteName = QString::fromUtf8(m.source);
        else
            v.label = probe.labelOf(m);
        v.caseSensitive = !isCaseInsensitiveFilesystem(m.fsType);
        out.push_back(std::move(v));
    }
    std::sort(out.begin(), out.end(),
              [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return out;
}

int volumeOf(const std::vector<Volume> &volumes, const QByteArray &absPath) {
    int best = -1;
    for (size_t i = 0; i < volumes.size(); ++i) {
        const QByteArray &root = volumes[i].root;
        if (!hasPathPrefix(absPath, root))
            continue;
        if (best < 0 || root.size() > volumes[size_t(best)].root.size())
            best = int(i);
    }
    return best;
}

namespace {

QByteArray readSmallFile(const char *path) {
    QByteArray out;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out.append(buf, int(n));
    }
    ::close(fd);
    return out;
}

QByteArray realPath(const QByteArray &path) {
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return QByteArray();
    QByteArray out(resolved);
    std::free(resolved);
    return out;
}

// The /sys directory of the block device behind a mount, or empty. Anonymous devices (major 0:
// overlay, tmpfs, btrfs subvolumes) fall back on the source's name.
QByteArray sysfsDirOf(const MountEntry &m) {
    if (!m.device.isEmpty() && !m.device.startsWith("0:")) {
        const QByteArray dir = realPath("/sys/dev/block/" + m.device);
        if (!dir.isEmpty())
            return dir;
    }
    if (m.source.startsWith("/dev/")) {
        const QByteArray dev = realPath(m.source);
        if (dev.startsWith("/dev/"))
            return realPath("/sys/class/block/" + dev.mid(dev.lastIndexOf('/') + 1));
    }
    return QByteArray();
}

class SystemProbe : public VolumeProbe {
public:
    SystemProbe() {
        // Map each labelled device to its label once; the links name the label, escaped.
        DIR *d = ::opendir("/dev/disk/by-label");
        if (!d)
            return;
        while (dirent *e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            const QByteArray dev = realPath(QByteArray("/dev/disk/by-label/") + e->d_name);
            if (!dev.isEmpty())
                labels_.insert(dev, QString::fromUtf8(decodeUdevName(e->d_name)));
        }
        ::closedir(d);
    }

    bool isDirectory(const QByteArray &path) const override {
        struct stat st;
        return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    QString labelOf(const MountEntry &m) const override {
        if (labels_.isEmpty())
            return QString();
        if (m.source.startsWith("/dev/")) {
            const auto it = labels_.constFind(realPath(m.source));
            if (it != labels_.constEnd())
                return *it;
        }
        // Sources such as /dev/root name no node; the device number still finds it.
        const QByteArray sys = sysfsDirOf(m);
        if (!sys.isEmpty()) {
            const auto it = labels_.constFind("/dev/" + sys.mid(sys.lastIndexOf('/') + 1));
            if (it != labels_.constEnd())
                return *it;
        }
        return QString();
    }

    bool isRemovable(const MountEntry &m) const override {
        QByteArray sys = sysfsDirOf(m);
        if (sys.isEmpty())
            return false;
        // A partition carries no flag of its own; its disk does.
        struct stat st;
        if (::stat((sys + "/partition").constData(), &st) == 0)
            sys = sys.left(sys.lastIndexOf('/'));
        return readSmallFile((sys + "/removable").constData()).trimmed() == "1";
    }

private:
    QHash<QByteArray, QString> labels_;
};

} // namespace

std::vector<Volume> logicalVolumes() {
    const SystemProbe probe;
    return volumesFromMounts(parseMountInfo(readSmallFile("/proc/self/mountinfo")), probe);
}

} // namespace platform
