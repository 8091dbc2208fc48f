// A picture being read never stands in the way of deleting or renaming it, and a file is
// known by its volume, file ID, size and times: a copy that keeps the last-write time is
// still told apart by its change time.
#include "platform/fileidentity.h"
#include "platform/files.h"
#include "support/testfolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <windows.h>

using namespace platform;
using testing_support::TestFolder;

TEST(Win32FileIdentity, AFileBeingReadCanBeDeletedAndRenamedAndAReplacementIsAnotherFile) {
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
    a.reset();

    std::unique_ptr<QFile> b = openForReading(dir.file(QStringLiteral("b.bmp")));
    ASSERT_TRUE(b);
    EXPECT_TRUE(::MoveFileW(dir.file(QStringLiteral("b.bmp")).toStdWString().c_str(),
                            dir.file(QStringLiteral("c.bmp")).toStdWString().c_str()))
        << ::GetLastError();
    b.reset();

    // Rewritten in place with the same size, its last-write time put back.
    const QString c = dir.file(QStringLiteral("c.bmp"));
    const auto before = identityOf(c);
    ASSERT_TRUE(before.has_value());
    // The file system's clock moves in ticks: the rewrite comes in a later one.
    for (std::optional<FileIdentity> probe; !probe || probe->changedNs == before->changedNs;) {
        dir.write(QStringLiteral("tick"), "t");
        probe = identityOf(dir.file(QStringLiteral("tick")));
        ASSERT_TRUE(probe.has_value());
    }
    dir.write(QStringLiteral("c.bmp"), QByteArray(4096, 'c'));
    HANDLE h = ::CreateFileW(c.toStdWString().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const quint64 steps = quint64(before->modifiedNs / 100) + 116444736000000000ull;
    FILETIME written;
    written.dwLowDateTime = DWORD(steps & 0xFFFFFFFFu);
    written.dwHighDateTime = DWORD(steps >> 32);
    ASSERT_TRUE(::SetFileTime(h, nullptr, nullptr, &written));
    ::CloseHandle(h);
    const auto after = identityOf(c);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->size, before->size);
    EXPECT_EQ(after->modifiedNs, before->modifiedNs);
    EXPECT_NE(*after, *before);
}
