// What the click copies is the file as it was when it was opened: its bytes read whole, or
// nothing when another program rewrote it in place while it was open, never a mix of the two.
#include "platform/fileidentity.h"
#include "platform/files.h"
#include "support/testfolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform;

TEST(FileSnapshot, IsTheFileAsOpenedOrNothingWhenItWasRewrittenInPlace) {
    testing_support::TestFolder folder;
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
