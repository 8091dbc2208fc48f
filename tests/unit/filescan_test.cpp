#include "platform/files.h"
#include "platform/filescan.h"
#include "support/testfolder.h"
#include "support/unprivileged.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testing_support::TestFolder;
using testing_support::Unprivileged;

namespace {

const QString kDesignPattern = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");

} // namespace

TEST(WildcardMask, MatchesWholeNamesWithoutRegardToCase) {
    const struct {
        const char* pattern; // nullptr: the design's mask
        const char* name;
        bool expected;
    } cases[] = {
        {nullptr, "SEA.JPEG", true},
        {nullptr, "anim.GIF", true},
        {nullptr, "sea.jpg.TXT", false},
        {nullptr, "jpg", false},
        {"*.gif", "a.gift", false},
        {"a?c.*", "abc.txt", true},
        {"a?c.*", "ac.txt", false},
        {"a?c.*", "海bc.txt", false},
        {"?.jpg", "海.JPG", true},
        {"*.*", "README", true},
        {"s*a*.jpg", "ship.jpg", false},
        {"Ä*.jpg", "äpfel.JPG", true},
        {" *.gif ; ;*.bmp;;", "x.BMP", true},
    };
    for (const auto& c : cases) {
        const QString pattern = c.pattern ? QString::fromUtf8(c.pattern) : kDesignPattern;
        const auto mask = WildcardMask::parse(pattern);
        ASSERT_TRUE(mask.has_value()) << c.pattern;
        EXPECT_EQ(mask->matches(QString::fromUtf8(c.name)), c.expected) << c.name;
    }
}

TEST(WildcardMask, RefusesPatternsTheFileListCannotUse) {
    for (const char* bad : {"", " ; ;; ", "../*.jpg", "*.jpg;sub/*.gif", "C:\\*.jpg"})
        EXPECT_FALSE(WildcardMask::parse(QString::fromUtf8(bad)).has_value()) << bad;
    EXPECT_FALSE(WildcardMask::parse(QStringLiteral("*.jpg") + QChar(0)).has_value());
    EXPECT_EQ(WildcardMask::parse(kDesignPattern)->text(), kDesignPattern);
}

TEST(ScanFolder, ListsMatchingNormalFilesInCaseInsensitiveOrder) {
    TestFolder dir;
    for (const char* n : {"b.JPG", "A.bmp", "c.gif", "a b.c.jpeg", "海.jpg", "Ｚ.jpg", "notes.TXT",
                          ".hidden.jpg", "x.png", "C.DIB", "zz.rle", "icon.ICO", "z.wmf"})
        dir.write(QString::fromUtf8(n), "x");
    ASSERT_EQ(::mkdir(encodePath(dir.file("folder.jpg")).constData(), 0755), 0);
    ASSERT_EQ(::symlink("b.JPG", encodePath(dir.file("link.jpg")).constData()), 0);
    ASSERT_EQ(::symlink("gone", encodePath(dir.file("dangling.jpg")).constData()), 0);

    auto names = scanFolder(dir.path(), *WildcardMask::parse(kDesignPattern));
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, (QStringList{"a b.c.jpeg", "A.bmp", "b.JPG", "C.DIB", "c.gif", "icon.ICO",
                                   "link.jpg", "z.wmf", "zz.rle", "海.jpg", "Ｚ.jpg"}));

    // A general pattern takes the slow path and agrees with it.
    auto some = scanFolder(dir.path(), *WildcardMask::parse("?.*;*海*"));
    ASSERT_TRUE(some.has_value());
    EXPECT_EQ(*some, (QStringList{"A.bmp", "b.JPG", "C.DIB", "c.gif", "x.png", "z.wmf", "海.jpg",
                                  "Ｚ.jpg"}));
    EXPECT_EQ(scanFolder(dir.path(), *WildcardMask::parse("*.tif")), QStringList());
}

TEST(ScanFolder, NameInvalidInUtf8IsListedAndOpenable) {
    TestFolder dir;
    const QByteArray raw = encodePath(dir.path()) + QByteArray("caf\xE9.jpg");
    int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "pixels", 6), 6);
    ::close(fd);

    auto names = scanFolder(dir.path(), *WildcardMask::parse("*.JPG"));
    ASSERT_TRUE(names.has_value());
    ASSERT_EQ(names->size(), 1);
    const QString path = dir.path() + names->at(0);
    auto file = openForReading(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->readAll(), "pixels");
    EXPECT_TRUE(systemFiles().renameNoReplace(path, dir.file("cafe.jpg")).ok());
    EXPECT_EQ(dir.read("cafe.jpg"), "pixels");
}

TEST(ScanFolder, MissingOrUnreadableFolderFails) {
    Result why;
    EXPECT_FALSE(scanFolder("/nonexistent/folder/", *WildcardMask::parse("*"), &why));
    EXPECT_EQ(why.error, Error::NotFound);
    TestFolder dir;
    ASSERT_EQ(::chmod(encodePath(dir.path()).constData(), 0), 0);
    {
        Unprivileged nobody;
        if (!nobody.active())
            GTEST_SKIP() << "root cannot give up its rights here";
        EXPECT_FALSE(scanFolder(dir.path(), *WildcardMask::parse("*"), &why));
    }
    ::chmod(encodePath(dir.path()).constData(), 0755);
    EXPECT_EQ(why.error, Error::Access);
    EXPECT_EQ(why.reason, dir.path() + QStringLiteral(": アクセスが拒否されました"));
}
