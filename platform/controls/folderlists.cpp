// The drive list and the folder list. The file list is in folderlists_files.cpp, the
// enumeration of drives in the platform back end.

#include "folderlists.h"
#include "platform/pathrules.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace platform {

namespace {

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path));
}

} // namespace

// --- DriveList ---

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_quiet)
            Q_EMIT changed();
    });
    reloadDrives();
    followPath(QDir::currentPath());
}

QString DriveList::drive() const {
    return currentText();
}

QString DriveList::driveRoot() const {
    const int i = currentIndex();
    if (i < 0 || i >= static_cast<int>(m_drives.size()))
        return {};
    return m_drives[static_cast<size_t>(i)].root;
}

Result DriveList::setDrive(const QString& text) {
    int i = findText(text, Qt::MatchExactly);
    if (i < 0) {
        reloadDrives(); // it may have been mounted since the list was made
        i = findText(text, Qt::MatchExactly);
    }
    if (i < 0)
        return Result::failure(Error::NotFound, text);
    setCurrentIndex(i); // emits changed() when it moves
    return Result::success();
}

QString DriveList::driveOf(const QString& path) const {
    const QString root = driveRootOf(m_drives, path);
    for (const Drive& d : m_drives) {
        if (d.root == root)
            return d.text;
    }
    return {};
}

void DriveList::followPath(const QString& path) {
    const int i = findText(driveOf(path), Qt::MatchExactly);
    if (i < 0 || i == currentIndex())
        return;
    m_quiet = true;
    setCurrentIndex(i);
    m_quiet = false;
}

void DriveList::reloadDrives() {
    const QString current = currentText();
    m_quiet = true;
    m_drives = machineDrives();
    clear();
    for (const Drive& d : m_drives)
        addItem(d.text);
    int i = findText(current, Qt::MatchExactly);
    if (i < 0)
        i = findText(driveOf(QDir::currentPath()), Qt::MatchExactly);
    setCurrentIndex(i < 0 ? 0 : i);
    m_quiet = false;
    // A selected drive that went away leaves the selection on another one; the folder list
    // keeps its folder until the user picks a drive, so nothing is emitted here.
}

void DriveList::showPopup() {
    reloadDrives();
    QComboBox::showPopup();
}

// --- DirList ---

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    // Enter and double-click open a folder (activation follows the desktop's convention).
    connect(this, &QListWidget::itemActivated, this, &DirList::openItem);
    m_path = QDir::cleanPath(QDir::currentPath());
    fill();
}

QString DirList::path() const {
    return nativePath(m_path);
}

Result DirList::setPath(const QString& path) {
    QString target;
    if (path.isEmpty()) {
        target = QDir::currentPath();
    } else {
        // A drive text moves to that drive's current folder: the process's current folder
        // when it lies on that drive, else the drive's top folder.
        const std::vector<Drive> drives = machineDrives();
        for (const Drive& d : drives) {
            if (d.text == path) {
                const QString cwd = QDir::currentPath();
                target = driveRootOf(drives, cwd) == d.root ? cwd : d.root;
                break;
            }
        }
        if (target.isEmpty())
            target = path;
    }
    target = cleanAbsolute(target);
    if (Result r = canListFolder(target); !r)
        return r;
    if (target == m_path)
        return Result::success();
    m_path = target;
    fill();
    Q_EMIT changed();
    return Result::success();
}

void DirList::fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString indentStep = QStringLiteral("  ");

    // The chain from the root down to the current folder, each one step further in.
    QStringList chain;
    QString p = m_path;
    while (true) {
        chain.prepend(p);
        if (p == QLatin1String("/") || p.isEmpty())
            break;
        const QString parent = QFileInfo(p).path();
        if (parent == p)
            break;
        p = parent;
    }
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& folder : chain) {
        // A root ("/", "C:\") has no last part and shows as itself.
        const QString leaf = QFileInfo(folder).fileName();
        const QString name = leaf.isEmpty() ? nativePath(folder) : leaf;
        auto* item = new QListWidgetItem(open, indentStep.repeated(depth) + name, this);
        item->setData(Qt::UserRole, folder);
        current = item;
        ++depth;
    }

    const QFileInfoList subs = QDir(m_path).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& sub : subs) {
        auto* item = new QListWidgetItem(closed, indentStep.repeated(depth) + sub.fileName(), this);
        item->setData(Qt::UserRole, sub.absoluteFilePath());
    }
    if (current) {
        setCurrentItem(current);
        scrollToItem(current);
    }
}

void DirList::openItem(QListWidgetItem* item) {
    if (!item)
        return;
    const QString target = item->data(Qt::UserRole).toString();
    if (Result r = setPath(target); !r) {
        fill(); // a folder that went away leaves the list
        Q_EMIT openFailed(r);
    }
}

} // namespace platform
