// The Win32 file services on a temporary folder, run under Wine with the Japanese locale, so
// the ANSI code page is 932 as on a Japanese desktop.
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/filescan.h"
#include "platform/textcodec.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

const QString kMemoText = QStringLiteral("海の写真\r\n二行目");
// "海の写真" CR LF "二行目" in Shift-JIS as Windows writes it.
const QByteArray kMemoCp932("\x8A\x43\x82\xCC\x8E\xCA\x90\x5E\r\n\x93\xF1\x8D\x73\x96\xDA\r\n");

void setAttribute(const QString& path, DWORD attribute) {
    const std::wstring w = path.toStdWString();
    ASSERT_TRUE(::SetFileAttributesW(w.c_str(), ::GetFileAttributesW(w.c_str()) | attribute));
}

} // namespace

TEST(Win32Text, MemoIsWrittenAndReadInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 932u) << "the tests run under ja_JP.UTF-8";
    TestFolder dir;
    const QString memo = dir.file(QStringLiteral("海.TXT"));
    ASSERT_TRUE(systemFiles().writeText(memo, kMemoText + QStringLiteral("\r\n")).ok());
    EXPECT_EQ(dir.read(QStringLiteral("海.TXT")), kMemoCp932);

    // A memo written on a Japanese desktop comes back character for character.
    dir.write(QStringLiteral("写真.TXT"), kMemoCp932);
    const auto back = systemFiles().readText(dir.file(QStringLiteral("写真.TXT")));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, kMemoText + QStringLiteral("\r\n"));
    EXPECT_EQ(encodeCp932(*back).value(), kMemoCp932);
}

TEST(Win32Text, TextTheCodePageCannotHoldIsKeptWhole) {
    TestFolder dir;
    const QString text = QStringLiteral("한국어 😀 café");
    ASSERT_TRUE(systemFiles().writeText(dir.file(QStringLiteral("m.TXT")), text).ok());
    const QByteArray bytes = dir.read(QStringLiteral("m.TXT"));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(systemFiles().readText(dir.file(QStringLiteral("m.TXT"))).value(), text);
}

TEST(Win32Text, ReadOnlyMemoIsNotWritten) {
    TestFolder dir;
    dir.write(QStringLiteral("ro.TXT"), "old\r\n");
    setAttribute(dir.file(QStringLiteral("ro.TXT")), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(
        systemFiles().writeText(dir.file(QStringLiteral("ro.TXT")), QStringLiteral("new")).error,
        Error::Access);
    EXPECT_EQ(dir.read(QStringLiteral("ro.TXT")), QByteArray("old\r\n"));
}

TEST(Win32Files, RenameOntoAnExistingNameIsRefusedAndBothFilesStay) {
    TestFolder dir;
    dir.write(QStringLiteral("山.jpg"), "mountain");
    dir.write(QStringLiteral("海.jpg"), "sea");
    const Result r = systemFiles().renameNoReplace(dir.file(QStringLiteral("山.jpg")),
                                                   dir.file(QStringLiteral("海.jpg")));
    EXPECT_EQ(r.error, Error::Exists);
    EXPECT_EQ(r.cause, QStringLiteral("同じ名前のファイルが既にあります"));
    EXPECT_EQ(dir.read(QStringLiteral("山.jpg")), QByteArray("mountain"));
    EXPECT_EQ(dir.read(QStringLiteral("海.jpg")), QByteArray("sea"));

    // A new name and a change of letter case only are carried out.
    ASSERT_TRUE(
        systemFiles()
            .renameNoReplace(dir.file(QStringLiteral("山.jpg")), dir.file(QStringLiteral("岳.jpg")))
            .ok());
    ASSERT_TRUE(
        systemFiles()
            .renameNoReplace(dir.file(QStringLiteral("岳.jpg")), dir.file(QStringLiteral("岳.JPG")))
            .ok());
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("岳.JPG"), QStringLiteral("海.jpg")}));
}

TEST(Win32Files, CopyReplacesTheTargetAndDeleteKeepsReadOnlyFiles) {
    TestFolder dir;
    dir.write(QStringLiteral("a.jpg"), "new picture");
    dir.write(QStringLiteral("b.jpg"), "old");
    ASSERT_TRUE(
        systemFiles()
            .copyReplace(dir.file(QStringLiteral("a.jpg")), dir.file(QStringLiteral("b.jpg")))
            .ok());
    EXPECT_EQ(dir.read(QStringLiteral("b.jpg")), QByteArray("new picture"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}))
        << "no temporary file is left behind";
    EXPECT_TRUE(systemFiles().sameFile(dir.file(QStringLiteral("a.jpg")),
                                       dir.file(QStringLiteral("A.JPG"))));
    EXPECT_FALSE(systemFiles().sameFile(dir.file(QStringLiteral("a.jpg")),
                                        dir.file(QStringLiteral("b.jpg"))));

    setAttribute(dir.file(QStringLiteral("a.jpg")), FILE_ATTRIBUTE_READONLY);
    const Result kept = systemFiles().remove(dir.file(QStringLiteral("a.jpg")));
    EXPECT_EQ(kept.error, Error::Access);
    EXPECT_EQ(kept.cause, QStringLiteral("読み取り専用のファイルです"));
    EXPECT_TRUE(dir.exists(QStringLiteral("a.jpg")));
    // Nor is a read-only file replaced by a copy, and no temporary file stays.
    const Result notReplaced = systemFiles().copyReplace(dir.file(QStringLiteral("b.jpg")),
                                                         dir.file(QStringLiteral("a.jpg")));
    EXPECT_EQ(notReplaced.cause, QStringLiteral("読み取り専用のファイルです"));
    EXPECT_EQ(dir.read(QStringLiteral("a.jpg")), QByteArray("new picture"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));
    EXPECT_TRUE(systemFiles().remove(dir.file(QStringLiteral("b.jpg"))).ok());
    EXPECT_FALSE(dir.exists(QStringLiteral("b.jpg")));
}

TEST(Win32Files, LookupAndFolderListingLeaveOutHiddenSystemFilesAndFolders) {
    TestFolder dir;
    dir.write(QStringLiteral("見える.JPG"), "x");
    dir.write(QStringLiteral("b.bmp"), "x");
    dir.write(QStringLiteral("hidden.jpg"), "x");
    dir.write(QStringLiteral("system.jpg"), "x");
    setAttribute(dir.file(QStringLiteral("hidden.jpg")), FILE_ATTRIBUTE_HIDDEN);
    setAttribute(dir.file(QStringLiteral("system.jpg")), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(
        ::CreateDirectoryW(dir.file(QStringLiteral("folder.jpg")).toStdWString().c_str(), nullptr));

    EXPECT_TRUE(systemFiles().isNormalFile(dir.file(QStringLiteral("見える.JPG"))));
    EXPECT_FALSE(systemFiles().isNormalFile(dir.file(QStringLiteral("hidden.jpg"))));
    EXPECT_FALSE(systemFiles().isNormalFile(dir.file(QStringLiteral("system.jpg"))));
    EXPECT_FALSE(systemFiles().isNormalFile(dir.file(QStringLiteral("folder.jpg"))));
    EXPECT_EQ(systemFiles().length(dir.file(QStringLiteral("見える.JPG"))), 1);

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
