// The drive, folder and file list widgets on temporary folders.

#include "platform/controls/folderlists.h"
#include "support/testfolder.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using platform::DirList;
using platform::Drive;
using platform::DriveList;
using platform::Error;
using platform::FakeDrives;
using platform::FileList;
using testing_support::CurrentDir;
using testing_support::TestFolder;

namespace {

const QString kPattern = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");

QStringList entries(const FileList& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.entry(i);
    return names;
}

QString noSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
}

int indentOf(const QString& text) {
    int n = 0;
    while (n < text.size() && text[n] == QLatin1Char(' '))
        ++n;
    return n;
}

} // namespace

TEST(FileList, ListsMatchingNormalFilesInCaseInsensitiveOrderAndRejectsABadPattern) {
    TestFolder dir;
    for (const char* name :
         {"b.jpg", "A.BMP", "c.GIF", "d.jpeg", ".hidden.jpg", "note.TXT", "e.png", "a.TXT"})
        dir.write(QString::fromLatin1(name), "x");
    QDir(dir.path()).mkdir(QStringLiteral("folder.jpg"));

    FileList list(nullptr, kPattern);
    list.setPath(dir.path());
    EXPECT_EQ(entries(list), (QStringList{"A.BMP", "b.jpg", "c.GIF", "d.jpeg"}));
    EXPECT_EQ(list.entry(4), QString()); // past the end reads as empty
    // The view shows the same names.
    EXPECT_EQ(list.model()->index(2, 0).data().toString(), QStringLiteral("c.GIF"));

    ASSERT_TRUE(list.setPattern(QStringLiteral("*.jpg;*.txt")));
    EXPECT_EQ(entries(list), (QStringList{"a.TXT", "b.jpg", "note.TXT"}));
    ASSERT_TRUE(list.setPattern(QStringLiteral("?.bmp")));
    for (const QString& bad : {QString(), QStringLiteral("  "), QStringLiteral("sub/*.jpg")}) {
        platform::Result r = list.setPattern(bad);
        EXPECT_EQ(r.error, Error::InvalidName) << bad.toStdString();
        EXPECT_EQ(list.pattern(), QStringLiteral("?.bmp"));
    }
    EXPECT_EQ(entries(list), QStringList{"A.BMP"});

    // A new file is seen only after a refresh.
    dir.write(QStringLiteral("0.bmp"), "x");
    EXPECT_EQ(list.count(), 1);
    list.refresh();
    EXPECT_EQ(list.entry(0), QStringLiteral("0.bmp"));
}

TEST(DirList, ShowsParentsAndSubfoldersAndRefusesGoneFolders) {
    TestFolder dir;
    QDir(dir.path()).mkpath(QStringLiteral("pics/2024"));
    QDir(dir.path()).mkpath(QStringLiteral("Beta"));
    QDir(dir.path()).mkpath(QStringLiteral(".cache"));
    dir.write(QStringLiteral("file.jpg"), "x");

    DirList list;
    QSignalSpy changed(&list, &DirList::changed);
    ASSERT_TRUE(list.setPath(dir.path())); // the trailing "/" is not kept
    EXPECT_EQ(list.path(), noSlash(dir.path()));
    EXPECT_EQ(changed.count(), 1);

    // Root first, the current folder last of the chain, then its visible subfolders.
    const int depth = noSlash(dir.path()).count(QLatin1Char('/'));
    ASSERT_EQ(list.count(), depth + 1 + 2);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(list.currentRow(), depth);
    EXPECT_EQ(list.item(depth + 1)->text().trimmed(), QStringLiteral("Beta"));
    EXPECT_EQ(list.item(depth + 2)->text().trimmed(), QStringLiteral("pics"));
    // Each level stands further in than its parent.
    EXPECT_EQ(indentOf(list.item(depth + 1)->text()), indentOf(list.item(depth)->text()) + 2);
    EXPECT_EQ(indentOf(list.item(depth)->text()), indentOf(list.item(depth - 1)->text()) + 2);

    // Moving to the same folder is no change; a gone folder or a file is refused.
    EXPECT_TRUE(list.setPath(noSlash(dir.path())));
    EXPECT_EQ(changed.count(), 1);
    platform::Result r = list.setPath(dir.path() + QStringLiteral("gone"));
    EXPECT_EQ(r.error, Error::NotFound);
    r = list.setPath(dir.file(QStringLiteral("file.jpg")));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(list.path(), noSlash(dir.path()));
    EXPECT_EQ(changed.count(), 1);

    // Enter on a subfolder opens it.
    list.setCurrentRow(depth + 2);
    QTest::keyClick(list.viewport(), Qt::Key_Return);
    EXPECT_EQ(list.path(), dir.path() + QStringLiteral("pics"));
    EXPECT_EQ(changed.count(), 2);

    // A folder deleted while shown in the list: opening it fails, the list stays.
    QSignalSpy openFailed(&list, &DirList::openFailed);
    const int row = list.count() - 1; // "2024"
    QDir(dir.path() + QStringLiteral("pics/2024")).removeRecursively();
    list.setCurrentRow(row);
    QTest::keyClick(list.viewport(), Qt::Key_Return);
    EXPECT_EQ(list.path(), dir.path() + QStringLiteral("pics"));
    EXPECT_EQ(openFailed.count(), 1);
    EXPECT_EQ(list.count(), depth + 2); // the gone folder left the list

    // An empty path is the process's current folder.
    CurrentDir cd(dir.path() + QStringLiteral("Beta"));
    ASSERT_TRUE(list.setPath(QString()));
    EXPECT_EQ(list.path(), dir.path() + QStringLiteral("Beta"));
}

TEST(DriveList, DriveTextRoundTripsAndMovesTheFolderList) {
    TestFolder stick;
    TestFolder home;
    QDir(home.path()).mkdir(QStringLiteral("work"));
    const QString stickText = noSlash(stick.path()) + QStringLiteral("  [STICK]");
    const QString emptyText = QStringLiteral("/nonexistent-drive  [CD]");
    FakeDrives fake({{QStringLiteral("/"), QStringLiteral("/  [vda]")},
                     {noSlash(stick.path()), stickText},
                     {QStringLiteral("/nonexistent-drive"), emptyText}});
    CurrentDir cd(home.path() + QStringLiteral("work"));

    DriveList drives;
    ASSERT_EQ(drives.count(), 3);
    EXPECT_EQ(drives.drive(), QStringLiteral("/  [vda]")); // holds the current folder
    QSignalSpy changed(&drives, &DriveList::changed);

    ASSERT_TRUE(drives.setDrive(stickText));
    EXPECT_EQ(drives.drive(), stickText);
    EXPECT_EQ(drives.driveRoot(), noSlash(stick.path()));
    EXPECT_EQ(changed.count(), 1);
    // Reading and assigning back selects the same drive, with no change.
    ASSERT_TRUE(drives.setDrive(drives.drive()));
    EXPECT_EQ(drives.drive(), stickText);
    EXPECT_EQ(changed.count(), 1);
    // A drive that is not there leaves the selection.
    EXPECT_EQ(drives.setDrive(QStringLiteral("/gone  [X]")).error, Error::NotFound);
    EXPECT_EQ(drives.drive(), stickText);

    EXPECT_EQ(drives.driveOf(stick.path() + QStringLiteral("a/b")), stickText);
    EXPECT_EQ(drives.driveOf(home.path()), QStringLiteral("/  [vda]"));
    drives.followPath(home.path());
    EXPECT_EQ(drives.drive(), QStringLiteral("/  [vda]"));
    EXPECT_EQ(changed.count(), 1); // following the folder list is no change

    // A drive text moves the folder list to the drive's top folder, or to the current folder
    // for the drive that holds it.
    DirList dirs;
    ASSERT_TRUE(dirs.setPath(stickText));
    EXPECT_EQ(dirs.path(), noSlash(stick.path()));
    ASSERT_TRUE(dirs.setPath(QStringLiteral("/  [vda]")));
    EXPECT_EQ(dirs.path(), home.path() + QStringLiteral("work"));
}
