// The drives the lists offer: the back end's enumeration, or the fakes a test put in force.

#include "drives.h"

#include <QDir>

namespace platform {

namespace {

bool isUnder(const QString& path, const QString& root) {
    // A root that ends with its separator: "/" on Linux, "C:/" on Windows.
    if (root.endsWith(QLatin1Char('/')))
        return path.startsWith(root);
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path));
}

std::vector<Drive>* g_fakeDrives = nullptr;

} // namespace

std::vector<Drive> withHomeDrive(std::vector<Drive> drives, const QString& home) {
    QString root = home;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    if (root.isEmpty())
        return drives;
    for (const Drive& d : drives) {
        if (d.root == root)
            return drives;
    }
    drives.push_back({root, root + QStringLiteral("  [home]")});
    return drives;
}

std::vector<Drive> machineDrives() {
    return g_fakeDrives ? *g_fakeDrives : mountedDrives();
}

FakeDrives::FakeDrives(std::vector<Drive> drives)
    : m_previous(g_fakeDrives), m_drives(std::move(drives)) {
    g_fakeDrives = &m_drives;
}

FakeDrives::~FakeDrives() {
    g_fakeDrives = m_previous;
}

QString driveRootOf(const std::vector<Drive>& drives, const QString& path) {
    const QString clean = cleanAbsolute(path);
    QString best;
    for (const Drive& d : drives) {
        if (isUnder(clean, d.root) && d.root.size() > best.size())
            best = d.root;
    }
    return best;
}

} // namespace platform
