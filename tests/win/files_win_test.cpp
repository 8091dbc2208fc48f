// The Win32 file services under Wine (Japanese locale) in what only Windows has; the rest of
// them is driven by the window tests, which run here too.
#include "platform/drives.h"
#include "platform/fileidentity.h"
#include "platform/files.h"
#include "platform/filescan.h"
#include "platform/pathrules.h"
#include "support/testfolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <windows.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

std::wstring native(const TestFolder& dir, const char* name) {
    return dir.file(QString::fromUtf8(name)).toStdWString();
}

void setAttribute(const TestFolder& dir, const char* name, DWORD attribute) {
    const std::wstring w = native(dir, name);
    ASSERT_TRUE(::SetFileAttributesW(w.c_str(), ::GetFileAttributesW(w.c_str()) | attribute));
}

} // namespace

TEST(Win32Files, ReadOnlyHiddenAndSystemFilesAndLetterCase) {
    TestFolder dir;
    for (const char* name : {"ro.TXT", "a.jpg", "b.jpg", "hidden.jpg", "system.jpg"})
        dir.write(QString::fromUtf8(name), name);
    setAttribute(dir, "ro.TXT", FILE_ATTRIBUTE_READONLY);
    setAttribute(dir, "a.jpg", FILE_ATTRIBUTE_READONLY);
    setAttribute(dir, "hidden.jpg", FILE_ATTRIBUTE_HIDDEN);
    setAttribute(dir, "system.jpg", FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(::CreateDirectoryW(native(dir, "folder.jpg").c_str(), nullptr));
    Files& f = systemFiles();

    // Read-only files are neither written, replaced nor deleted, and no temporary file stays.
    const QString readOnly = QStringLiteral("読み取り専用のファイルです");
    EXPECT_EQ(f.writeText(dir.file(QStringLiteral("ro.TXT")), QStringLiteral("new")).error,
              Error::Access);
    EXPECT_EQ(f.remove(dir.file(QStringLiteral("a.jpg"))).cause, readOnly);
    EXPECT_EQ(
        f.copyReplace(dir.file(QStringLiteral("b.jpg")), dir.file(QStringLiteral("a.jpg"))).cause,
        readOnly);
    EXPECT_EQ(dir.read(QStringLiteral("ro.TXT")), QByteArray("ro.TXT"));
    EXPECT_EQ(dir.read(QStringLiteral("a.jpg")), QByteArray("a.jpg"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5)
        << "a temporary file is left behind";

    // Hidden and system files and folders are not pictures to list.
    EXPECT_TRUE(f.isNormalFile(dir.file(QStringLiteral("b.jpg"))));
    for (const char* name : {"hidden.jpg", "system.jpg", "folder.jpg"})
        EXPECT_FALSE(f.isNormalFile(dir.file(QString::fromUtf8(name)))) << name;
    const auto mask = WildcardMask::parse(QStringLiteral("*.JPG;*.TXT"));
    ASSERT_TRUE(mask.has_value());
    EXPECT_EQ(
        scanFolder(dir.path(), *mask).value(),
        QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("ro.TXT")}));
    EXPECT_FALSE(scanFolder(dir.file(QStringLiteral("gone")), *mask).has_value());

    // Letter case names the same file, and a change of case alone is a rename.
    EXPECT_TRUE(f.sameFile(dir.file(QStringLiteral("b.jpg")), dir.file(QStringLiteral("B.JPG"))));
    EXPECT_FALSE(f.sameFile(dir.file(QStringLiteral("b.jpg")), dir.file(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(
        f.renameNoReplace(dir.file(QStringLiteral("b.jpg")), dir.file(QStringLiteral("b.JPG")))
            .ok());
    EXPECT_TRUE(dir.names().contains(QStringLiteral("b.JPG")));
    EXPECT_FALSE(dir.names().contains(QStringLiteral("b.jpg")));
}

TEST(Win32Files, RenameRefusesNamesWindowsForbids) {
    TestFolder dir;
    dir.write(QStringLiteral("sea.jpg"), "picture");
    const QString sea = dir.file(QStringLiteral("sea.jpg"));
    // A stream of a file "a", a wildcard, two devices, and "sea" spelt otherwise.
    for (const char* name : {"a:b.jpg", "what?.jpg", "CON.jpg", "lpt1.TXT", "sea.", "sea "}) {
        EXPECT_EQ(systemFiles().renameNoReplace(sea, dir.file(QString::fromUtf8(name))).error,
                  Error::InvalidName)
            << name;
        EXPECT_EQ(dir.names(), QStringList{QStringLiteral("sea.jpg")}) << name;
    }
    EXPECT_TRUE(systemFiles().renameNoReplace(sea, dir.file(QStringLiteral("海 の写真.jpg"))).ok());
}

TEST(Win32FileIdentity, AFileBeingReadCanBeDeletedAndRenamed) {
    TestFolder dir;
    dir.write(QStringLiteral("a.bmp"), QByteArray(4096, 'a'));
    dir.write(QStringLiteral("b.bmp"), QByteArray(4096, 'b'));
    std::unique_ptr<QFile> a = openForReading(dir.file(QStringLiteral("a.bmp")));
    std::unique_ptr<QFile> b = openForReading(dir.file(QStringLiteral("b.bmp")));
    ASSERT_TRUE(a && b);
    const auto opened = identityOf(*a);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(identityOf(dir.file(QStringLiteral("a.bmp"))), opened);
    EXPECT_EQ(opened->size, 4096);
    EXPECT_TRUE(::DeleteFileW(native(dir, "a.bmp").c_str())) << ::GetLastError();
    EXPECT_TRUE(::MoveFileW(native(dir, "b.bmp").c_str(), native(dir, "c.bmp").c_str()))
        << ::GetLastError();
    EXPECT_EQ(a->readAll(), QByteArray(4096, 'a'));
    EXPECT_EQ(b->readAll(), QByteArray(4096, 'b'));
}

TEST(Win32Paths, DrivesFoldersAndFailuresReadWithBackslashes) {
    ASSERT_EQ(nativePathStyle(), PathStyle::Windows);
    bool sawC = false;
    for (const Drive& d : mountedDrives()) {
        EXPECT_TRUE(d.text.startsWith(d.root.left(2).toLower())) << d.text.toStdString();
        sawC = sawC || d.root == QStringLiteral("C:/");
    }
    EXPECT_TRUE(sawC);
    EXPECT_TRUE(canListFolder(QStringLiteral("C:/")).ok());
    EXPECT_EQ(canListFolder(QStringLiteral("C:/no such folder here")).error, Error::NotFound);

    TestFolder dir;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]:\\\\([^/\\\\]+\\\\)+$"))
                    .match(nativeFolder(dir.path()))
                    .hasMatch())
        << nativeFolder(dir.path()).toStdString();
    // A failure names its file as the user knows it.
    const Result gone = systemFiles().renameNoReplace(dir.file(QStringLiteral("gone.jpg")),
                                                      dir.file(QStringLiteral("new.jpg")));
    EXPECT_EQ(gone.error, Error::NotFound);
    EXPECT_EQ(gone.subject, nativePath(dir.file(QStringLiteral("new.jpg"))));
    EXPECT_FALSE(gone.reason.contains(QLatin1Char('/')));
}
