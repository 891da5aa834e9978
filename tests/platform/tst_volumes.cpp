#include "platform/Volumes.h"

#include <QSet>
#include <QTest>

using platform::DriveType;
using platform::MountEntry;
using platform::Volume;

Q_DECLARE_METATYPE(DriveType)

namespace {

// A docker container: overlay root, files bind-mounted over /etc, a project directory.
const char containerInfo[] =
    "1234 1200 0:45 / / rw,relatime master:1 - overlay overlay "
    "rw,lowerdir=/var/lib/docker/overlay2/l/A:/var/lib/docker/overlay2/l/B\n"
    "1235 1234 0:48 / /proc rw,nosuid,nodev,noexec,relatime - proc proc rw\n"
    "1236 1234 0:49 / /dev rw,nosuid - tmpfs tmpfs rw,size=65536k,mode=755\n"
    "1237 1236 0:50 / /dev/pts rw,nosuid,noexec,relatime - devpts devpts rw,gid=5,mode=620\n"
    "1238 1234 0:51 / /sys ro,nosuid,nodev,noexec,relatime - sysfs sysfs ro\n"
    "1239 1238 0:27 / /sys/fs/cgroup ro,nosuid,nodev,noexec,relatime - cgroup2 cgroup rw\n"
    "1240 1236 0:47 / /dev/mqueue rw,nosuid,nodev,noexec,relatime - mqueue mqueue rw\n"
    "1241 1236 0:52 / /dev/shm rw,nosuid,nodev,noexec,relatime - tmpfs shm rw,size=65536k\n"
    "1242 1234 254:1 /var/lib/docker/containers/c/resolv.conf /etc/resolv.conf rw,relatime - "
    "ext4 /dev/vda1 rw\n"
    "1243 1234 254:1 /var/lib/docker/containers/c/hostname /etc/hostname rw,relatime - ext4 "
    "/dev/vda1 rw\n"
    "1244 1234 254:1 /var/lib/docker/containers/c/hosts /etc/hosts rw,relatime - ext4 "
    "/dev/vda1 rw\n"
    "1245 1234 254:1 /home/user/project /work rw,relatime - ext4 /dev/vda1 rw\n"
    "1246 1235 0:48 /bus /proc/bus ro,relatime - proc proc rw\n";

// A desktop: EFI partition, USB stick, network share, optical disc, RAM /tmp, a point mounted
// over twice, a mount point with a blank, user runtime directories, container-engine layers.
const char desktopInfo[] =
    "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro\n"
    "23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "24 22 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n"
    "25 22 0:5 / /dev rw,nosuid,relatime shared:8 - devtmpfs udev rw,size=8000000k\n"
    "26 22 0:23 / /run rw,nosuid,nodev,noexec,relatime shared:10 - tmpfs tmpfs rw,mode=755\n"
    "27 24 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:4 - cgroup2 cgroup2 rw\n"
    "28 24 0:27 / /sys/firmware/efi/efivars rw,relatime shared:5 - efivarfs efivarfs rw\n"
    "29 23 0:30 / /proc/sys/fs/binfmt_misc rw,relatime shared:13 - autofs systemd-1 rw,fd=29\n"
    "30 22 259:1 / /boot/efi rw,relatime shared:30 - vfat /dev/nvme0n1p1 rw,fmask=0077\n"
    "31 22 0:40 / /tmp rw,nosuid,nodev shared:15 - tmpfs tmpfs rw,size=8000000k\n"
    "32 26 0:45 / /run/user/1000 rw,nosuid,nodev,relatime shared:400 - tmpfs tmpfs rw,mode=700\n"
    "33 32 0:46 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:410 - fuse.gvfsd-fuse "
    "gvfsd-fuse rw,user_id=1000\n"
    "34 22 8:17 / /media/user/USB rw,nosuid,nodev,relatime shared:500 - vfat /dev/sdb1 rw\n"
    "35 22 0:50 / /mnt/nas rw,relatime shared:510 - cifs //server/share rw,vers=3.1.1\n"
    "36 26 11:0 / /run/media/user/DISC ro,nosuid,nodev,relatime shared:520 - iso9660 /dev/sr0 "
    "ro\n"
    "37 22 8:2 / /srv/data rw,relatime shared:530 - ext4 /dev/sda2 rw\n"
    "38 37 8:3 / /srv/data rw,relatime shared:531 - xfs /dev/sda3 rw\n"
    "39 38 0:60 / /srv/data rw,relatime shared:532 - btrfs /dev/sdc1 rw\n"
    "40 22 8:4 / /mnt/my\\040disk rw,relatime shared:540 - ext4 /dev/sda4 rw\n"
    "41 22 0:61 / /mnt/host rw,relatime - nfs4 server:/export/home rw\n"
    "42 22 7:3 / /snap/core/123 ro,relatime - squashfs /dev/loop3 ro\n"
    "43 22 0:62 / /home/user/remote rw,relatime - fuse.sshfs user@host:/home rw\n"
    "44 22 8:33 / /media/user/Old rw,relatime - exfat /dev/sdc2 rw\n"
    "45 22 0:70 / /var/lib/docker/overlay2/abc/merged rw,relatime - overlay overlay rw\n"
    "46 22 0:71 / /var/lib/containers/storage/overlay/def/merged rw - overlay overlay rw\n";

class FakeProbe : public platform::VolumeProbe {
public:
    QSet<QByteArray> files{"/etc/resolv.conf", "/etc/hostname", "/etc/hosts"};
    QHash<QByteArray, QString> labels{
        {"/dev/nvme0n1p2", "System"}, {"/dev/nvme0n1p1", "EFI"},
        {"/dev/sdb1", "My Stick"},    {"/dev/sr0", "Photos 2024"},
        {"/dev/sdc1", "Archive"},     {"//server/share", "should never be asked"}};
    QSet<QByteArray> removable{"/dev/sdb1", "/dev/sr0", "/dev/sdc2"};
    mutable QSet<QByteArray> askedDirectory;

    bool isDirectory(const QByteArray &path) const override {
        askedDirectory.insert(path);
        return !files.contains(path);
    }
    QString labelOf(const MountEntry &e) const override { return labels.value(e.source); }
    bool isRemovable(const MountEntry &e) const override { return removable.contains(e.source); }
};

std::vector<Volume> volumesOf(const char *info, const FakeProbe &probe) {
    return platform::volumesFromMounts(platform::parseMountInfo(info), probe);
}

QList<QByteArray> rootsOf(const std::vector<Volume> &volumes) {
    QList<QByteArray> roots;
    for (const Volume &v : volumes)
        roots << v.root;
    return roots;
}

} // namespace

class TestVolumes : public QObject {
    Q_OBJECT
private slots:
    void parseMountInfo_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QByteArray>("mountPoint");
        QTest::addColumn<QByteArray>("fsType");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("device");

        QTest::newRow("no optional fields")
            << QByteArray("26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard") << true
            << QByteArray("/") << QByteArray("ext4") << QByteArray("/dev/vda")
            << QByteArray("254:0");
        QTest::newRow("several optional fields")
            << QByteArray("36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 shared:7 propagate_from:2 "
                          "- ext3 /dev/root rw,errors=continue")
            << true << QByteArray("/mnt2") << QByteArray("ext3") << QByteArray("/dev/root")
            << QByteArray("98:0");
        QTest::newRow("blank in mount point")
            << QByteArray("40 22 8:4 / /mnt/my\\040disk rw - ext4 /dev/sda4 rw") << true
            << QByteArray("/mnt/my disk") << QByteArray("ext4") << QByteArray("/dev/sda4")
            << QByteArray("8:4");
        QTest::newRow("tab newline backslash")
            << QByteArray("40 22 8:4 / /mnt/a\\011b\\012c\\134d rw - ext4 /dev/sda4 rw") << true
            << QByteArray("/mnt/a\tb\nc\\d") << QByteArray("ext4") << QByteArray("/dev/sda4")
            << QByteArray("8:4");
        QTest::newRow("escaped source")
            << QByteArray("41 22 0:50 / /mnt/nas rw - cifs //server/my\\040share rw") << true
            << QByteArray("/mnt/nas") << QByteArray("cifs") << QByteArray("//server/my share")
            << QByteArray("0:50");
        QTest::newRow("non-UTF-8 mount point")
            << QByteArray("42 22 8:5 / /mnt/\xe9t\xe9 rw - ext4 /dev/sda5 rw") << true
            << QByteArray("/mnt/\xe9t\xe9") << QByteArray("ext4") << QByteArray("/dev/sda5")
            << QByteArray("8:5");
        QTest::newRow("backslash not followed by octal stays")
            << QByteArray("43 22 8:6 / /mnt/x\\9y rw - ext4 /dev/sda6 rw") << true
            << QByteArray("/mnt/x\\9y") << QByteArray("ext4") << QByteArray("/dev/sda6")
            << QByteArray("8:6");
        QTest::newRow("no separator")
            << QByteArray("26 1 254:0 / / rw,relatime ext4 /dev/vda rw") << false << QByteArray()
            << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("nothing after separator")
            << QByteArray("26 1 254:0 / / rw,relatime shared:1 -") << false << QByteArray()
            << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("too few fields") << QByteArray("26 1 254:0 /") << false << QByteArray()
                                        << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("empty line") << QByteArray("") << false << QByteArray() << QByteArray()
                                    << QByteArray() << QByteArray();
    }
    void parseMountInfo() {
        QFETCH(QByteArray, line);
        QFETCH(bool, kept);
        const auto entries = platform::parseMountInfo(line + "\n");
        QCOMPARE(entries.size(), size_t(kept ? 1 : 0));
        if (!kept)
            return;
        QTEST(entries[0].mountPoint, "mountPoint");
        QTEST(entries[0].fsType, "fsType");
        QTEST(entries[0].source, "source");
        QTEST(entries[0].device, "device");
    }

    void parseMountInfoKeepsOrderAndSkipsOnlyBadLines() {
        const QByteArray text = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                "garbage\n"
                                "2 1 8:2 / /home rw - xfs /dev/sda2 rw";
        const auto entries = platform::parseMountInfo(text);
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].mountPoint, QByteArray("/"));
        QCOMPARE(entries[1].mountPoint, QByteArray("/home"));
    }

    void isPseudoFilesystem_data() {
        QTest::addColumn<QByteArray>("fsType");
        QTest::addColumn<bool>("pseudo");
        for (const char *t :
             {"proc",     "sysfs",      "cgroup",    "cgroup2",    "devpts",         "devtmpfs",
              "mqueue",   "debugfs",    "tracefs",   "securityfs", "pstore",         "bpf",
              "configfs", "fusectl",    "hugetlbfs", "autofs",     "binfmt_misc",    "efivarfs",
              "nsfs",     "rpc_pipefs", "selinuxfs", "squashfs",   "fuse.gvfsd-fuse"})
            QTest::newRow(t) << QByteArray(t) << true;
        for (const char *t : {"overlay", "ext4", "xfs", "btrfs", "vfat", "tmpfs", "ramfs", "nfs4",
                              "cifs", "iso9660", "fuse.sshfs", "fuseblk", ""})
            QTest::newRow(*t ? t : "empty") << QByteArray(t) << false;
    }
    void isPseudoFilesystem() {
        QFETCH(QByteArray, fsType);
        QTEST(platform::isPseudoFilesystem(fsType), "pseudo");
    }

    void decodeUdevName_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("plain") << QByteArray("SYSTEM") << QByteArray("SYSTEM");
        QTest::newRow("blank") << QByteArray("My\\x20Stick") << QByteArray("My Stick");
        QTest::newRow("slash") << QByteArray("a\\x2fb") << QByteArray("a/b");
        QTest::newRow("upper-case hex") << QByteArray("a\\x2Fb") << QByteArray("a/b");
        QTest::newRow("backslash itself") << QByteArray("a\\x5cb") << QByteArray("a\\b");
        QTest::newRow("UTF-8 bytes")
            << QByteArray("\\xd0\\x94\\xd0\\xb0") << QByteArray("\xd0\x94\xd0\xb0");
        QTest::newRow("incomplete at end") << QByteArray("ab\\x2") << QByteArray("ab\\x2");
        QTest::newRow("not hex") << QByteArray("a\\xzzb") << QByteArray("a\\xzzb");
    }
    void decodeUdevName() {
        QFETCH(QByteArray, name);
        QTEST(platform::decodeUdevName(name), "decoded");
    }

    void containerRoots() {
        const FakeProbe probe;
        QCOMPARE(rootsOf(volumesOf(containerInfo, probe)), QList<QByteArray>({"/", "/work"}));
    }

    void desktopRoots() {
        const FakeProbe probe;
        QCOMPARE(rootsOf(volumesOf(desktopInfo, probe)),
                 QList<QByteArray>({"/", "/boot/efi", "/home/user/remote", "/media/user/Old",
                                    "/media/user/USB", "/mnt/host", "/mnt/my disk", "/mnt/nas",
                                    "/run/media/user/DISC", "/srv/data", "/tmp"}));
    }

    void desktopVolume_data() {
        QTest::addColumn<QByteArray>("root");
        QTest::addColumn<DriveType>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("remoteName");
        QTest::addColumn<bool>("caseSensitive");
        QTest::newRow("root ext4") << QByteArray("/") << DriveType::Fixed << "System"
                                   << "" << true;
        QTest::newRow("EFI vfat") << QByteArray("/boot/efi") << DriveType::Fixed << "EFI"
                                  << "" << false;
        QTest::newRow("USB stick")
            << QByteArray("/media/user/USB") << DriveType::Removable << "My Stick"
            << "" << false;
        QTest::newRow("removable exfat without label")
            << QByteArray("/media/user/Old") << DriveType::Removable << ""
            << "" << false;
        QTest::newRow("cifs share") << QByteArray("/mnt/nas") << DriveType::Remote << ""
                                    << "//server/share" << false;
        QTest::newRow("nfs export") << QByteArray("/mnt/host") << DriveType::Remote << ""
                                    << "server:/export/home" << true;
        QTest::newRow("sshfs") << QByteArray("/home/user/remote") << DriveType::Remote << ""
                               << "user@host:/home" << true;
        QTest::newRow("optical under /run/media")
            << QByteArray("/run/media/user/DISC") << DriveType::CdRom << "Photos 2024"
            << "" << true;
        QTest::newRow("tmpfs /tmp") << QByteArray("/tmp") << DriveType::RamDisk << ""
                                    << "" << true;
        QTest::newRow("mounted over twice: last wins")
            << QByteArray("/srv/data") << DriveType::Fixed << "Archive"
            << "" << true;
        QTest::newRow("blank in mount point")
            << QByteArray("/mnt/my disk") << DriveType::Fixed << ""
            << "" << true;
    }
    void desktopVolume() {
        QFETCH(QByteArray, root);
        const FakeProbe probe;
        const auto volumes = volumesOf(desktopInfo, probe);
        const int i = platform::volumeOf(volumes, root);
        QVERIFY(i >= 0);
        const Volume &v = volumes[size_t(i)];
        QCOMPARE(v.root, root);
        QTEST(v.type, "type");
        QTEST(v.label, "label");
        QTEST(v.remoteName, "remoteName");
        QTEST(v.caseSensitive, "caseSensitive");
    }

    void networkMountsAreNeverStated() {
        const FakeProbe probe;
        volumesOf(desktopInfo, probe);
        QVERIFY(probe.askedDirectory.contains("/media/user/USB"));
        QVERIFY(!probe.askedDirectory.contains("/mnt/nas"));
        QVERIFY(!probe.askedDirectory.contains("/mnt/host"));
        QVERIFY(!probe.askedDirectory.contains("/home/user/remote"));
    }

    void opticalBySourceWhateverTheType() {
        FakeProbe probe;
        const auto volumes = volumesOf("1 0 11:0 / /media/cd ro - vfat /dev/sr1 ro\n"
                                       "2 0 11:1 / /media/bd ro - udf /dev/sdz ro\n",
                                       probe);
        QCOMPARE(volumes.size(), size_t(2));
        QCOMPARE(volumes[0].type, DriveType::CdRom);
        QCOMPARE(volumes[1].type, DriveType::CdRom);
    }

    void trailingSlashTrimmed() {
        const FakeProbe probe;
        const auto volumes = volumesOf("1 0 8:1 / /data/ rw - ext4 /dev/sda1 rw\n", probe);
        QCOMPARE(rootsOf(volumes), QList<QByteArray>({"/data"}));
    }

    void hiddenBeneathOverMount() {
        // A pseudo filesystem mounted last over a real one hides it.
        const FakeProbe probe;
        const auto volumes = volumesOf("1 0 8:1 / /data rw - ext4 /dev/sda1 rw\n"
                                       "2 1 0:9 / /data rw - autofs systemd-1 rw\n",
                                       probe);
        QVERIFY(volumes.empty());
    }

    void volumeOf_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("root"); // empty: none
        QTest::newRow("root itself") << QByteArray("/") << QByteArray("/");
        QTest::newRow("below root only") << QByteArray("/home/user") << QByteArray("/");
        QTest::newRow("volume itself") << QByteArray("/mnt/nas") << QByteArray("/mnt/nas");
        QTest::newRow("below volume") << QByteArray("/mnt/nas/a/b") << QByteArray("/mnt/nas");
        QTest::newRow("longest prefix wins")
            << QByteArray("/mnt/nas/inner/x") << QByteArray("/mnt/nas/inner");
        QTest::newRow("prefix not on a boundary") << QByteArray("/mnt/nas2/x") << QByteArray("/");
        QTest::newRow("relative path") << QByteArray("mnt/nas") << QByteArray();
        QTest::newRow("empty path") << QByteArray() << QByteArray();
    }
    void volumeOf() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, root);
        std::vector<Volume> volumes(3);
        volumes[0].root = "/";
        volumes[1].root = "/mnt/nas";
        volumes[2].root = "/mnt/nas/inner";
        const int i = platform::volumeOf(volumes, path);
        QCOMPARE(i < 0 ? QByteArray() : volumes[size_t(i)].root, root);
    }

    void volumeOfWithoutRootVolume() {
        std::vector<Volume> volumes(1);
        volumes[0].root = "/work";
        QCOMPARE(platform::volumeOf(volumes, "/etc"), -1);
        QCOMPARE(platform::volumeOf({}, "/etc"), -1);
    }

    void thisMachine() {
        const auto volumes = platform::logicalVolumes();
        QVERIFY(!volumes.empty());
        QVERIFY(std::is_sorted(volumes.begin(), volumes.end(),
                               [](const Volume &a, const Volume &b) { return a.root < b.root; }));
        for (const Volume &v : volumes) {
            QVERIFY2(v.root.startsWith('/'), v.root.constData());
            QVERIFY2(!v.root.startsWith("/proc") && !v.root.startsWith("/sys") &&
                         !v.root.startsWith("/dev/"),
                     v.root.constData());
            QVERIFY2(v.type == DriveType::Remote || v.remoteName.isEmpty(), v.root.constData());
        }
        QVERIFY(platform::volumeOf(volumes, "/") >= 0);
    }
};

QTEST_GUILESS_MAIN(TestVolumes)
#include "tst_volumes.moc"
