// Starting programs by their Windows names, and the key strings of sendKeys.
#include "platform/keystrokes.h"
#include "platform/programlookup.h"
#include "support/testfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using platform::KeyStroke;

namespace {

KeyStroke key(char c, bool shift = false, int function = 0) {
    KeyStroke k;
    k.character = function ? QChar() : QChar(QLatin1Char(c));
    k.function = function;
    k.shift = shift;
    return k;
}

TEST(KeyStrokes, ReadsTheViewerClosingKeysAndTheOtherForms) {
    EXPECT_EQ(platform::parseKeyStrokes(QStringLiteral("+{F10}FX")),
              (std::vector<KeyStroke>{key(0, true, 10), key('f'), key('x')}));
    EXPECT_EQ(platform::parseKeyStrokes(QStringLiteral("+a7{f1}")),
              (std::vector<KeyStroke>{key('a', true), key('7'), key(0, false, 1)}));
    EXPECT_EQ(platform::parseKeyStrokes(QString()), std::vector<KeyStroke>{});
}

TEST(KeyStrokes, RefusesWhatItCannotSendWhole) {
    for (const char* bad : {"+", "a+", "{F13}", "{F0}", "{F1", "{}", "{NOPE}", "a b", "ä", "{F01}"})
        EXPECT_FALSE(platform::parseKeyStrokes(QString::fromUtf8(bad))) << bad;
}

TEST(ProgramLookup, SearchesOwnFolderThenCurrentFolderThenPath) {
    testing_support::TestFolder cur, onPath;
    testing_support::CurrentDir in(cur.path());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QDir::cleanPath(onPath.path()).toLocal8Bit() + ":" + oldPath);
    QStringList paths = platform::programSearchPaths(QStringLiteral("mirok101.exe"));
    qputenv("PATH", oldPath);
    ASSERT_GE(paths.size(), 3);
    EXPECT_EQ(paths[0], QDir(QCoreApplication::applicationDirPath()).filePath("Mirok101"));
    EXPECT_EQ(paths[1], QDir(QDir::cleanPath(cur.path())).filePath("Mirok101"));
    EXPECT_EQ(paths[2], QDir(QDir::cleanPath(onPath.path())).filePath("Mirok101"));
    EXPECT_EQ(paths.removeDuplicates(), 0);
}

} // namespace
