// A picture being read never stands in the way of deleting or renaming it. (That a file
// rewritten with its old size and times is told apart is checked by the window tests, which
// run here too.)
#include "platform/fileidentity.h"
#include "platform/files.h"
#include "support/testfolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <windows.h>

using namespace platform;
using testing_support::TestFolder;

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
