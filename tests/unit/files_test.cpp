#include "platform/fileidentity.h"
#include "platform/files.h"
#include "platform/textcodec.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

void makeReadOnly(const QString& path) {
    ASSERT_EQ(::chmod(encodePath(path).constData(), 0444), 0);
}

} // namespace

TEST(Files, RenameNeverReplacesAndAllowsCaseOnlyChanges) {
    TestFolder dir;
    dir.write("sea.jpg", "sea");
    dir.write("beach.jpg", "beach");
    Files& f = systemFiles();
    EXPECT_EQ(f.renameNoReplace(dir.file("sea.jpg"), dir.file("beach.jpg")).error, Error::Exists);
    EXPECT_TRUE(f.renameNoReplace(dir.file("sea.jpg"), dir.file("Sea.jpg")).ok());
    EXPECT_EQ(dir.names(), (QStringList{"Sea.jpg", "beach.jpg"}));
    EXPECT_EQ(dir.read("beach.jpg"), "beach");
}

TEST(Files, CopyReplacesTheTargetOrKeepsItWhenTheCopyFails) {
    TestFolder src, dst;
    src.write("a.jpg", "new contents");
    dst.write("a.jpg", "old");
    dst.write("c.jpg", "old");
    Files& f = systemFiles();
    EXPECT_TRUE(f.copyReplace(src.file("a.jpg"), dst.file("a.jpg")).ok());
    EXPECT_EQ(dst.read("a.jpg"), "new contents");
    // A read-only target is refused, as the Windows copy refuses it.
    makeReadOnly(dst.file("c.jpg"));
    const Result r = f.copyReplace(src.file("a.jpg"), dst.file("c.jpg"));
    EXPECT_EQ(r.error, Error::Access);
    EXPECT_EQ(r.cause, QStringLiteral("読み取り専用のファイルです"));
    EXPECT_EQ(dst.read("c.jpg"), "old");
    EXPECT_EQ(dst.names(), (QStringList{"a.jpg", "c.jpg"})) << "no temporary left";
}

TEST(Files, NormalFilesAreNotFoldersOrHiddenAndOnlyLinksOrWritableOnesAreRemoved) {
    // The mode bits decide, for root as for anyone, as the read-only attribute does.
    TestFolder dir;
    dir.write("a.jpg", "keep");
    dir.write(".hidden.jpg", "x");
    ASSERT_EQ(::mkdir(encodePath(dir.file("sub.jpg")).constData(), 0755), 0);
    ASSERT_EQ(::symlink("a.jpg", encodePath(dir.file("link.jpg")).constData()), 0);
    Files& f = systemFiles();
    EXPECT_TRUE(f.isNormalFile(dir.file("link.jpg")));
    for (const char* n : {".hidden.jpg", "sub.jpg", "gone.jpg"})
        EXPECT_FALSE(f.isNormalFile(dir.file(n))) << n;
    EXPECT_EQ(f.length(dir.file("a.jpg")), 4);
    EXPECT_FALSE(f.length(dir.file("sub.jpg")).has_value());
    makeReadOnly(dir.file("a.jpg"));
    const Result r = f.remove(dir.file("a.jpg"));
    EXPECT_EQ(r.error, Error::Access);
    EXPECT_EQ(r.reason, dir.file("a.jpg") + QStringLiteral(": 読み取り専用のファイルです"));
    EXPECT_TRUE(f.remove(dir.file("link.jpg")).ok());
    EXPECT_EQ(f.remove(dir.file("link.jpg")).error, Error::NotFound);
    EXPECT_TRUE(f.remove(dir.file(".hidden.jpg")).ok());
    EXPECT_EQ(dir.names(), QStringList{"a.jpg"});
}

TEST(Files, MemosAreWrittenAsUtf8OrKeepCp932AndTheirPermissions) {
    TestFolder dir;
    Files& f = systemFiles();
    ASSERT_TRUE(f.writeText(dir.file("new.TXT"), QStringLiteral("海\r\n")).ok());
    EXPECT_EQ(dir.read("new.TXT"), QStringLiteral("海\r\n").toUtf8());
    dir.write("sj.TXT", *encodeCp932(QStringLiteral("古いメモ\r\n")));
    EXPECT_EQ(f.readText(dir.file("sj.TXT")), QStringLiteral("古いメモ\r\n"));
    ASSERT_TRUE(f.writeText(dir.file("sj.TXT"), QStringLiteral("新しいメモ\r\n")).ok());
    EXPECT_EQ(dir.read("sj.TXT"), *encodeCp932(QStringLiteral("新しいメモ\r\n")));
    // A character CP932 lacks: the memo is written whole, as UTF-8, rather than lossy.
    ASSERT_TRUE(f.writeText(dir.file("sj.TXT"), QStringLiteral("メモ 😀\r\n")).ok());
    EXPECT_EQ(dir.read("sj.TXT"), QStringLiteral("メモ 😀\r\n").toUtf8());
    // The memo keeps its permissions; a read-only one is left as it was.
    ASSERT_EQ(::chmod(encodePath(dir.file("sj.TXT")).constData(), 0640), 0);
    ASSERT_TRUE(f.writeText(dir.file("sj.TXT"), "new").ok());
    struct stat st;
    ASSERT_EQ(::stat(encodePath(dir.file("sj.TXT")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    makeReadOnly(dir.file("sj.TXT"));
    EXPECT_EQ(f.writeText(dir.file("sj.TXT"), "newer").error, Error::Access);
    EXPECT_EQ(dir.read("sj.TXT"), "new");
    EXPECT_EQ(dir.names(), (QStringList{"new.TXT", "sj.TXT"})) << "no temporary left";
}

// A snapshot is the file's bytes as opened, or nothing if it was rewritten in place meanwhile.
TEST(FileSnapshot, IsTheFileAsOpenedOrNothingWhenItWasRewrittenInPlace) {
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("p.bmp"));
    const QByteArray first(4096, 'a');
    const QByteArray second(4096, 'b');
    for (const bool rewrite : {false, true}) {
        SCOPED_TRACE(rewrite ? "rewritten in place" : "left alone");
        folder.write(QStringLiteral("p.bmp"), first);
        std::unique_ptr<QFile> file = openForReading(path);
        ASSERT_TRUE(file);
        const std::optional<FileIdentity> opened = identityOf(*file);
        ASSERT_TRUE(opened);
        if (rewrite) {
            QFile other(path); // the same file, not a new one put in its place
            ASSERT_TRUE(other.open(QIODevice::ReadWrite));
            ASSERT_EQ(other.write(second), second.size());
        }
        Result why;
        const std::optional<FileSnapshot> snap = readSnapshot(*file, *opened, 1 << 20, &why);
        if (rewrite) {
            EXPECT_FALSE(snap) << "read " << (snap ? snap->bytes.left(1).constData() : "");
            EXPECT_EQ(why.error, Error::Io);
        } else {
            ASSERT_TRUE(snap) << qPrintable(why.reason);
            EXPECT_EQ(snap->bytes, first);
            EXPECT_EQ(snap->identity, *opened);
        }
    }
    folder.write(QStringLiteral("p.bmp"), first);
    Result why;
    EXPECT_FALSE(readSnapshot(path, first.size() - 1, &why));
    EXPECT_EQ(why.error, Error::TooLarge);
}
