// Paths in the form each system writes them, and the names each file system takes.
#include "platform/pathrules.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PathRules, PathsAndFoldersInEachSystemsForm) {
    struct Row {
        const char* path;
        PathStyle style;
        const char* asPath;
        const char* asFolder;
    };
    const Row rows[] = {
        {"C:/PICS", PathStyle::Windows, "C:\\PICS", "C:\\PICS\\"},
        {"C:/", PathStyle::Windows, "C:\\", "C:\\"},
        {"//server/share/写真", PathStyle::Windows, "\\\\server\\share\\写真",
         "\\\\server\\share\\写真\\"},
        {"/home/a\\b", PathStyle::Posix, "/home/a\\b", "/home/a\\b/"}, // "\" is a name's own
        {"", PathStyle::Windows, "", ""},
    };
    for (const Row& r : rows) {
        const QString path = QString::fromUtf8(r.path);
        EXPECT_EQ(pathInStyle(path, r.style), QString::fromUtf8(r.asPath)) << r.path;
        EXPECT_EQ(folderInStyle(path, r.style), QString::fromUtf8(r.asFolder)) << r.path;
    }
    EXPECT_EQ(nativePath(QStringLiteral("/a/b")),
              pathInStyle(QStringLiteral("/a/b"), nativePathStyle()));
    EXPECT_EQ(lastNameOf(QStringLiteral("C:\\PICS/a:b"), PathStyle::Windows),
              QStringLiteral("a:b"));
    EXPECT_EQ(lastNameOf(QStringLiteral("/home/a\\b"), PathStyle::Posix), QStringLiteral("a\\b"));
}

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
