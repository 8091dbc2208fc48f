// Reasons for failed file operations, as the user reads them in a Japanese interface.
#include "platform/result.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace platform;

TEST(ErrnoText, CommonFileErrorsReadInJapanese) {
    const struct {
        int err;
        Error kind;
        const char* text;
    } rows[] = {
        {EACCES, Error::Access, "アクセスが拒否されました"},
        {EPERM, Error::Access, "アクセスが拒否されました"},
        {ENOENT, Error::NotFound, "ファイルまたはフォルダが見つかりません"},
        {ENOTDIR, Error::NotFound, "フォルダが見つかりません"},
        {ENOSPC, Error::NoSpace, "ディスクの空き容量が不足しています"},
        {EROFS, Error::Access, "読み取り専用のファイルシステムです"},
        {ENAMETOOLONG, Error::InvalidName, "ファイル名が長すぎます"},
        {EEXIST, Error::Exists, "同じ名前のファイルが既にあります"},
        {EISDIR, Error::InvalidName, "同じ名前のフォルダがあります"},
        {EBUSY, Error::Busy, "ファイルが使用中です"},
    };
    for (const auto& r : rows) {
        const Result res = resultFromErrno(r.err, QStringLiteral("/pics/sea.jpg"));
        EXPECT_EQ(res.error, r.kind) << r.text;
        EXPECT_EQ(res.subject, QStringLiteral("/pics/sea.jpg"));
        EXPECT_EQ(res.cause, QString::fromUtf8(r.text));
        EXPECT_EQ(res.reason, QStringLiteral("/pics/sea.jpg: ") + QString::fromUtf8(r.text));
    }
}

TEST(ErrnoText, OtherErrorsKeepTheSystemsTextAndNoErrorIsSuccess) {
    const Result r = resultFromErrno(ELOOP, QString());
    EXPECT_EQ(r.error, Error::Io);
    EXPECT_EQ(r.reason, QString::fromLocal8Bit(std::strerror(ELOOP)));
    EXPECT_TRUE(r.subject.isEmpty());
    EXPECT_TRUE(resultFromErrno(0, QStringLiteral("x")).ok());
}

TEST(ResultText, AKindAloneGivesItsGeneralTextAndAFreeTextStaysWhole) {
    const Result taken = Result::failureOf(Error::Exists, QStringLiteral("beach.jpg"));
    EXPECT_EQ(taken.reason, QStringLiteral("beach.jpg: 同じ名前のファイルが既にあります"));
    const Result ro = readOnlyFile(QStringLiteral("/dest/sea.jpg"));
    EXPECT_EQ(ro.error, Error::Access);
    EXPECT_EQ(ro.cause, QStringLiteral("読み取り専用のファイルです"));
    const Result free = Result::failure(Error::Busy, QStringLiteral("応答がありません"));
    EXPECT_EQ(free.reason, free.cause);
    EXPECT_TRUE(free.subject.isEmpty());
    // Every kind of failure has words of its own.
    for (Error e :
         {Error::NotFound, Error::Exists, Error::Access, Error::NoSpace, Error::InvalidName,
          Error::Unsupported, Error::Busy, Error::Corrupt, Error::TooLarge, Error::Io})
        EXPECT_FALSE(Result::errorText(e).isEmpty());
}
