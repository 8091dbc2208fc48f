// The names each file system takes, and the home folder in the drive list.
#include "platform/drives.h"
#include "platform/pathrules.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PathRules, NamesEachFileSystemRefusesWithAReason) {
    // Refused on Windows only.
    const char* windowsOnly[] = {"a:b.jpg",    "what?.jpg",    "back\\slash.jpg", "con.jpg",
                                 "Nul.tar.gz", "AUX .txt",     "COM¹.jpg",        "sea.",
                                 "sea ",       "tab\there.jpg"};
    for (const char* n : windowsOnly) {
        const QString name = QString::fromUtf8(n);
        const Result w = fileNameRule(name, PathStyle::Windows);
        EXPECT_EQ(w.error, Error::InvalidName) << n;
        EXPECT_EQ(w.subject, name);
        EXPECT_FALSE(w.cause.isEmpty()) << n;
        // Linux takes every one of them; its own file system refuses only "/" and NUL.
        EXPECT_TRUE(fileNameRule(name, PathStyle::Posix).ok()) << n;
    }
    EXPECT_TRUE(fileNameRule(QStringLiteral("a:b"), PathStyle::Windows)
                    .cause.contains(QStringLiteral("\\ / : * ? \" < > |")));
    EXPECT_TRUE(fileNameRule(QStringLiteral("con.jpg"), PathStyle::Windows)
                    .cause.contains(QStringLiteral("Windows")));

    // Refused on both.
    for (const QString& name :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b.jpg")}) {
        EXPECT_EQ(fileNameRule(name, PathStyle::Windows).error, Error::InvalidName)
            << name.toStdString();
        EXPECT_EQ(fileNameRule(name, PathStyle::Posix).error, Error::InvalidName)
            << name.toStdString();
    }
    EXPECT_EQ(
        fileNameRule(QStringLiteral("a") + QChar(0) + QStringLiteral("b"), PathStyle::Posix).error,
        Error::InvalidName);

    // Taken by both: names near the device names, dots and blanks inside, Japanese.
    const char* taken[] = {"console.jpg", "COM10.jpg", "LPT.jpg",
                           "a.b.jpg",     ".hidden",   "海の写真.JPG"};
    for (const char* n : taken) {
        EXPECT_TRUE(fileNameRule(QString::fromUtf8(n), PathStyle::Windows).ok()) << n;
        EXPECT_TRUE(fileNameRule(QString::fromUtf8(n), PathStyle::Posix).ok()) << n;
    }
}

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
