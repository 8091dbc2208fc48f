// The drives of a Linux machine: the mounted volumes that hold the user's files. The root
// "/" always comes first (in a container it is an overlay and still the root); beside it
// the real disks, removable media, network shares and a separate home. Kernel and
// runtime file systems (proc, sysfs, cgroup, devpts, ...) and bind-mounted single files
// are not drives.

#include "platform/drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace platform {

namespace {

bool isPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "proc",        "sysfs",       "devtmpfs", "devpts",    "cgroup",
        "cgroup2",     "securityfs",  "pstore",   "bpf",       "debugfs",
        "tracefs",     "configfs",    "fusectl",  "mqueue",    "hugetlbfs",
        "autofs",      "binfmt_misc", "efivarfs", "ramfs",     "squashfs",
        "nsfs",        "rpc_pipefs",  "nfsd",     "selinuxfs", "fuse.gvfsd-fuse",
        "fuse.portal", "fuse.lxcfs"};
    return pseudo.contains(type);
}

bool under(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// Places where the system keeps its own mounts: nothing the user browses for pictures.
bool isSystemPlace(const QString& root) {
    static const char* const places[] = {"/proc",    "/sys",      "/dev", "/boot", "/snap",
                                         "/var/lib", "/var/snap", "/etc", "/usr",  "/opt"};
    for (const char* place : places) {
        if (under(root, QString::fromLatin1(place)))
            return true;
    }
    // /run holds runtime mounts, except the removable media some systems mount there.
    return under(root, QStringLiteral("/run")) && !under(root, QStringLiteral("/run/media"));
}

// A memory file system is a drive only where users keep files: /tmp, home and media.
bool isUserTmpfs(const QString& root) {
    return root == QLatin1String("/tmp") || under(root, QStringLiteral("/home")) ||
           under(root, QStringLiteral("/media")) || under(root, QStringLiteral("/run/media"));
}

// A drive's text is its folder and a label in brackets, so a drive text is never mistaken
// for the folder path itself ("/" the folder, "/  [vda]" the drive).
QString driveText(const QString& root, const QStorageInfo& v) {
    QString label = v.name();
    if (label.isEmpty()) {
        const QString device = QString::fromLocal8Bit(v.device());
        label = device.startsWith(QLatin1String("/dev/")) ? QFileInfo(device).fileName()
                                                          : QString::fromLatin1(v.fileSystemType());
    }
    if (label.isEmpty())
        label = QStringLiteral("disk");
    return root + QStringLiteral("  [") + label + QLatin1Char(']');
}

} // namespace

std::vector<Drive> mountedDrives() {
    std::vector<Drive> drives;
    const QString slash = QStringLiteral("/");
    drives.push_back({slash, driveText(slash, QStorageInfo::root())});
    QSet<QString> seen = {QStringLiteral("/")};
    std::vector<Drive> others;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        const QString root = v.rootPath();
        if (root.isEmpty() || seen.contains(root))
            continue;
        const QByteArray type = v.fileSystemType();
        if (isPseudoFileSystem(type) || isSystemPlace(root))
            continue;
        if ((type == "tmpfs" || type == "overlay") && !isUserTmpfs(root))
            continue;
        if (!QFileInfo(root).isDir())
            continue; // a single file bound into the tree
        seen.insert(root);
        others.push_back({root, driveText(root, v)});
    }
    std::sort(others.begin(), others.end(), [](const Drive& a, const Drive& b) {
        return a.root.compare(b.root, Qt::CaseInsensitive) < 0;
    });
    drives.insert(drives.end(), others.begin(), others.end());
    // Where home is no mount of its own it would be only a folder deep under "/".
    return withHomeDrive(std::move(drives), QDir::homePath());
}

Result canListFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return resultFromErrno(errno, folder);
    if (!S_ISDIR(st.st_mode))
        return resultFromErrno(ENOTDIR, folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return resultFromErrno(errno, folder);
    ::closedir(dir);
    return Result::success();
}

} // namespace platform
