// The drive list: the home folder added to the drives, and the drive a path belongs to.
#include "platform/drives.h"

#include <gtest/gtest.h>

using platform::Drive;
using platform::withHomeDrive;

namespace {

TEST(HomeDrive, HomeIsAddedAfterTheDrivesUnlessItIsOneOfThem) {
    const std::vector<Drive> drives{
        {QStringLiteral("/"), QStringLiteral("/  [vda]")},
        {QStringLiteral("/media/stick"), QStringLiteral("/media/stick  [STICK]")}};
    const auto added = withHomeDrive(drives, QStringLiteral("/home/ann/"));
    ASSERT_EQ(added.size(), 3u);
    EXPECT_EQ(added[0].root, QStringLiteral("/"));
    EXPECT_EQ(added[1].root, QStringLiteral("/media/stick"));
    EXPECT_EQ(added[2].root, QStringLiteral("/home/ann"));
    EXPECT_EQ(added[2].text, QStringLiteral("/home/ann  [home]"));

    // Home on a mount of its own is listed once, with the mount's own text.
    std::vector<Drive> mounted = drives;
    mounted.push_back({QStringLiteral("/home/ann"), QStringLiteral("/home/ann  [nvme1]")});
    const auto same = withHomeDrive(mounted, QStringLiteral("/home/ann//"));
    ASSERT_EQ(same.size(), 3u);
    EXPECT_EQ(same[2].text, QStringLiteral("/home/ann  [nvme1]"));

    EXPECT_EQ(withHomeDrive(drives, QStringLiteral("/")).size(), 2u) << "home at the root";
}

#ifdef _WIN32 // on Linux, the folder lists' tests follow paths to their drives
TEST(DriveRoots, APathBelongsToTheLongestRootThatHoldsIt) {
    using platform::driveRootOf;
    // Windows roots end with their separator ("C:/").
    const std::vector<Drive> windows{{QStringLiteral("C:/"), QStringLiteral("c: [OS]")},
                                     {QStringLiteral("D:/"), QStringLiteral("d:")},
                                     {QStringLiteral("C:/stick"), QStringLiteral("s")}};
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/users/ann")), QStringLiteral("C:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/")), QStringLiteral("C:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("D:/photos")), QStringLiteral("D:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/stick/a")), QStringLiteral("C:/stick"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("E:/x")), QString());
}
#endif

} // namespace
