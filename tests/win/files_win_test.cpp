// The Win32 file services on a temporary folder, run under Wine with the Japanese locale, in
// what only Windows has: file attributes, letter case that does not tell files apart, drive
// letters, and text the ANSI code page cannot hold. (Shift-JIS memos, renames onto taken
// names and copies are checked through these services by the window tests, which run here
// too.)
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/filescan.h"
#include "support/testfolder.h"

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
