// The Win32 file services on a temporary folder, run under Wine with the Japanese locale, in
// what only Windows has: file attributes, letter case that does not tell files apart, drive
// letters, paths with "\", the names Windows forbids, files deleted while being read, and
// text the ANSI code page cannot hold. (Shift-JIS memos, renames onto taken names, copies
// and a file rewritten with its old size and times are checked through these services by the
// window tests, which run here too; the name rules for both systems by the unit tests.)
#include "platform/controls/folderlists.h"
#include "platform/drives.h"
#include "platform/fileidentity.h"
#include "platform/files.h"
#include "platform/filescan.h"
#include "platform/pathrules.h"
#include "support/testfolder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <windows.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

void setAttribute(const QString& path, DWORD attribute) {
    const std::wstring w = path.toStdWString();
    ASSERT_TRUE(::SetFileAttributesW(w.c_str(), ::GetFileAttributesW(w.c_str()) | attribute));
}

} // namespace

TEST(Win32Text, TextTheCodePageCannotHoldIsKeptWhole) {
    ASSERT_EQ(::GetACP(), 932u) << "the tests run under ja_JP.UTF-8";
    TestFolder dir;
    const QString text = QStringLiteral("한국어 😀 café");
    ASSERT_TRUE(systemFiles().writeText(dir.file(QStringLiteral("m.TXT")), text).ok());
    const QByteArray bytes = dir.read(QStringLiteral("m.TXT"));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(systemFiles().readText(dir.file(QStringLiteral("m.TXT"))).value(), text);
}

TEST(Win32Files, ReadOnlyFilesAreNeitherWrittenReplacedNorDeleted) {
    TestFolder dir;
    dir.write(QStringLiteral("ro.TXT"), "old\r\n");
    dir.write(QStringLiteral("a.jpg"), "picture");
    dir.write(QStringLiteral("b.jpg"), "other");
    setAttribute(dir.file(QStringLiteral("ro.TXT")), FILE_ATTRIBUTE_READONLY);
    setAttribute(dir.file(QStringLiteral("a.jpg")), FILE_ATTRIBUTE_READONLY);
    const QString readOnly = QStringLiteral("読み取り専用のファイルです");
    EXPECT_EQ(
        systemFiles().writeText(dir.file(QStringLiteral("ro.TXT")), QStringLiteral("new")).error,
        Error::Access);
    EXPECT_EQ(systemFiles().remove(dir.file(QStringLiteral("a.jpg"))).cause, readOnly);
    EXPECT_EQ(systemFiles()
                  .copyReplace(dir.file(QStringLiteral("b.jpg")), dir.file(QStringLiteral("a.jpg")))
                  .cause,
              readOnly);
    EXPECT_EQ(dir.read(QStringLiteral("ro.TXT")), QByteArray("old\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("a.jpg")), QByteArray("picture"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"),
                                        QStringLiteral("ro.TXT")}))
        << "no temporary file is left behind";
}

TEST(Win32Files, LetterCaseNamesTheSameFileAndAChangeOfCaseIsARename) {
    TestFolder dir;
    dir.write(QStringLiteral("山.jpg"), "mountain");
    dir.write(QStringLiteral("b.jpg"), "x");
    EXPECT_TRUE(systemFiles().sameFile(dir.file(QStringLiteral("b.jpg")),
                                       dir.file(QStringLiteral("B.JPG"))));
    EXPECT_FALSE(systemFiles().sameFile(dir.file(QStringLiteral("b.jpg")),
                                        dir.file(QStringLiteral("山.jpg"))));
    ASSERT_TRUE(
        systemFiles()
            .renameNoReplace(dir.file(QStringLiteral("山.jpg")), dir.file(QStringLiteral("山.JPG")))
            .ok());
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("b.jpg"), QStringLiteral("山.JPG")}));
}

TEST(Win32Files, LookupAndFolderListingLeaveOutHiddenSystemFilesAndFolders) {
    TestFolder dir;
    for (const char* name : {"見える.JPG", "b.bmp", "hidden.jpg", "system.jpg"})
        dir.write(QString::fromUtf8(name), "x");
    setAttribute(dir.file(QStringLiteral("hidden.jpg")), FILE_ATTRIBUTE_HIDDEN);
    setAttribute(dir.file(QStringLiteral("system.jpg")), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(
        ::CreateDirectoryW(dir.file(QStringLiteral("folder.jpg")).toStdWString().c_str(), nullptr));

    EXPECT_TRUE(systemFiles().isNormalFile(dir.file(QStringLiteral("見える.JPG"))));
    for (const char* name : {"hidden.jpg", "system.jpg", "folder.jpg"})
        EXPECT_FALSE(systemFiles().isNormalFile(dir.file(QString::fromUtf8(name)))) << name;
    const auto mask = WildcardMask::parse(QStringLiteral("*.jpg;*.BMP"));
    ASSERT_TRUE(mask.has_value());
    EXPECT_EQ(scanFolder(dir.path(), *mask).value(),
              QStringList({QStringLiteral("b.bmp"), QStringLiteral("見える.JPG")}));
    EXPECT_FALSE(scanFolder(dir.file(QStringLiteral("gone")), *mask).has_value());
}

TEST(Win32Drives, LogicalDrivesAreListedByLetterAndAMissingFolderCannotBeListed) {
    const std::vector<Drive> drives = mountedDrives();
    ASSERT_FALSE(drives.empty());
    bool sawC = false;
    for (const Drive& d : drives) {
        EXPECT_TRUE(d.text.startsWith(d.root.left(2).toLower())) << d.text.toStdString();
        sawC = sawC || d.root == QStringLiteral("C:/");
    }
    EXPECT_TRUE(sawC);
    EXPECT_TRUE(canListFolder(QStringLiteral("C:/")).ok());
    EXPECT_EQ(canListFolder(QStringLiteral("C:/no such folder here")).error, Error::NotFound);
}

TEST(Win32FileIdentity, AFileBeingReadCanBeDeletedAndRenamed) {
    TestFolder dir;
    dir.write(QStringLiteral("a.bmp"), QByteArray(4096, 'a'));
    dir.write(QStringLiteral("b.bmp"), QByteArray(4096, 'b'));

    std::unique_ptr<QFile> a = openForReading(dir.file(QStringLiteral("a.bmp")));
    ASSERT_TRUE(a);
    const auto opened = identityOf(*a);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(identityOf(dir.file(QStringLiteral("a.bmp"))), opened);
    EXPECT_EQ(opened->size, 4096);
    EXPECT_TRUE(::DeleteFileW(dir.file(QStringLiteral("a.bmp")).toStdWString().c_str()))
        << ::GetLastError();
    EXPECT_EQ(a->readAll(), QByteArray(4096, 'a'));

    std::unique_ptr<QFile> b = openForReading(dir.file(QStringLiteral("b.bmp")));
    ASSERT_TRUE(b);
    EXPECT_TRUE(::MoveFileW(dir.file(QStringLiteral("b.bmp")).toStdWString().c_str(),
                            dir.file(QStringLiteral("c.bmp")).toStdWString().c_str()))
        << ::GetLastError();
    EXPECT_EQ(b->readAll(), QByteArray(4096, 'b'));
}

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
