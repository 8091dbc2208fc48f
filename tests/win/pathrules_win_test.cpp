// Paths read with "\" on Windows, as the user and other programs know them, and the rename
// refuses the names Windows forbids before anything is touched (the rules themselves are
// checked for both systems by the unit tests).
#include "platform/controls/folderlists.h"
#include "platform/files.h"
#include "platform/pathrules.h"
#include "support/testfolder.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::TestFolder;

TEST(Win32Paths, FoldersAndFailuresReadWithBackslashes) {
    ASSERT_EQ(nativePathStyle(), PathStyle::Windows);
    TestFolder dir;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]:\\\\([^/\\\\]+\\\\)+$"))
                    .match(nativeFolder(dir.path()))
                    .hasMatch())
        << nativeFolder(dir.path()).toStdString();

    // The folder list: a drive root reads and shows as "C:\", a folder without any "/".
    DirList list;
    ASSERT_TRUE(list.setPath(testing_support::rootFolder(dir.path())).ok());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]:\\\\$")).match(list.path()).hasMatch())
        << list.path().toStdString();
    EXPECT_EQ(list.item(0)->text(), list.path());
    ASSERT_TRUE(list.setPath(dir.path()).ok());
    EXPECT_EQ(list.path() + QLatin1Char('\\'), nativeFolder(dir.path()));

    // A failure names its file as the user knows it.
    const Result gone = systemFiles().renameNoReplace(dir.file(QStringLiteral("gone.jpg")),
                                                      dir.file(QStringLiteral("new.jpg")));
    EXPECT_EQ(gone.error, Error::NotFound);
    EXPECT_EQ(gone.subject, nativePath(dir.file(QStringLiteral("new.jpg"))));
    EXPECT_FALSE(gone.reason.contains(QLatin1Char('/')));
}

TEST(Win32Files, RenameRefusesNamesWindowsForbids) {
    TestFolder dir;
    dir.write(QStringLiteral("sea.jpg"), "picture");
    const QString sea = dir.file(QStringLiteral("sea.jpg"));
    // "a:b.jpg" would be a stream of a file "a" on NTFS, "CON.jpg" the console, "sea." the
    // name "sea".
    for (const char* name : {"a:b.jpg", "what?.jpg", "CON.jpg", "lpt1.TXT", "sea.", "sea "}) {
        const Result r = systemFiles().renameNoReplace(sea, dir.file(QString::fromUtf8(name)));
        EXPECT_EQ(r.error, Error::InvalidName) << name;
        EXPECT_EQ(dir.names(), QStringList{QStringLiteral("sea.jpg")}) << name;
    }
    EXPECT_TRUE(systemFiles().renameNoReplace(sea, dir.file(QStringLiteral("海 の写真.jpg"))).ok());
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("海 の写真.jpg")});
}
