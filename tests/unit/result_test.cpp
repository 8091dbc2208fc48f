// Reasons for failed file operations: the kind the commands act on and the text the user reads.
#include "platform/result.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace platform;

TEST(ErrnoText, EachErrorGivesItsKindAndTheSubjectBeforeItsText) {
    const std::pair<int, Error> rows[] = {
        {EACCES, Error::Access},    {EPERM, Error::Access},
        {EROFS, Error::Access},     {ENOENT, Error::NotFound},
        {ENOTDIR, Error::NotFound}, {ENOSPC, Error::NoSpace},
        {EEXIST, Error::Exists},    {EISDIR, Error::InvalidName},
        {EBUSY, Error::Busy},       {ENAMETOOLONG, Error::InvalidName},
        {ELOOP, Error::Io},
    };
    for (const auto& [err, kind] : rows) {
        const Result res = resultFromErrno(err, QStringLiteral("/pics/sea.jpg"));
        EXPECT_EQ(res.error, kind) << err;
        EXPECT_EQ(res.subject, QStringLiteral("/pics/sea.jpg"));
        EXPECT_FALSE(res.cause.isEmpty()) << err;
        EXPECT_EQ(res.reason, QStringLiteral("/pics/sea.jpg: ") + res.cause);
    }
    EXPECT_TRUE(resultFromErrno(0, QStringLiteral("x")).ok());
    const Result free = Result::failure(Error::Busy, QStringLiteral("応答がありません"));
    EXPECT_EQ(free.reason, free.cause);
}
