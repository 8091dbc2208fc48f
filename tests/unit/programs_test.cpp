// Starting programs by their Windows names, the key strings of sendKeys, and the program
// service away from X11.

#include "platform/keystrokes.h"
#include "platform/programlookup.h"
#include "platform/programs.h"
#include "support/testfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using platform::KeyStroke;

namespace {

KeyStroke key(QChar c, bool shift = false) {
    KeyStroke k;
    k.character = c;
    k.shift = shift;
    return k;
}
KeyStroke fkey(int n, bool shift = false) {
    KeyStroke k;
    k.function = n;
    k.shift = shift;
    return k;
}

TEST(KeyStrokes, ReadsTheViewerClosingKeysAndTheOtherForms) {
    EXPECT_EQ(
        platform::parseKeyStrokes(QStringLiteral("+{F10}FX")),
        (std::vector<KeyStroke>{fkey(10, true), key(QLatin1Char('f')), key(QLatin1Char('x'))}));
    EXPECT_EQ(
        platform::parseKeyStrokes(QStringLiteral("+a7{f1}")),
        (std::vector<KeyStroke>{key(QLatin1Char('a'), true), key(QLatin1Char('7')), fkey(1)}));
    const auto named = platform::parseKeyStrokes(QStringLiteral("^%{ESC}~{TAB}"));
    ASSERT_TRUE(named);
    ASSERT_EQ(named->size(), 3u);
    EXPECT_TRUE((*named)[0].control && (*named)[0].alt && !(*named)[0].shift);
    EXPECT_EQ((*named)[0].named, KeyStroke::Named::Escape);
    EXPECT_EQ((*named)[1].named, KeyStroke::Named::Enter);
    EXPECT_EQ((*named)[2].named, KeyStroke::Named::Tab);
    EXPECT_EQ(platform::parseKeyStrokes(QString()), std::vector<KeyStroke>{});
}

TEST(KeyStrokes, RefusesWhatItCannotSendWhole) {
    for (const char* bad : {"+", "a+", "{F13}", "{F0}", "{F1", "{}", "{NOPE}", "a b", "ä", "{F01}"})
        EXPECT_FALSE(platform::parseKeyStrokes(QString::fromUtf8(bad))) << bad;
}

TEST(ProgramLookup, MapsTheWindowsNamesToOurStandIns) {
    EXPECT_EQ(platform::programCandidates(QStringLiteral("CLIPBRD.EXE")),
              QStringList{QStringLiteral("clipbrd")});
    EXPECT_EQ(platform::programCandidates(QStringLiteral("mirok101.exe")),
              QStringList{QStringLiteral("Mirok101")});
    EXPECT_EQ(platform::programCandidates(QStringLiteral("Mirok101.exe")),
              QStringList{QStringLiteral("Mirok101")});
    EXPECT_EQ(
        platform::programCandidates(QStringLiteral("MSPAINT.EXE")),
        (QStringList{QStringLiteral("kolourpaint"), QStringLiteral("pinta"),
                     QStringLiteral("mtpaint"), QStringLiteral("gimp"), QStringLiteral("krita")}));
    EXPECT_EQ(platform::programCandidates(QStringLiteral("Other.exe")),
              QStringList{QStringLiteral("Other")});
    EXPECT_TRUE(platform::programCandidates(QStringLiteral("../x.exe")).isEmpty());
    EXPECT_TRUE(platform::programCandidates(QStringLiteral(".exe")).isEmpty());
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

TEST(ProgramLookup, StartsTheFirstExecutableInItsFolderWithTheNoFocusArgument) {
    testing_support::TestFolder cur;
    testing_support::CurrentDir in(cur.path());
    // Not executable: passed over; then the "program" records how it was started.
    cur.write(QStringLiteral("kolourpaint"), "not a program");
    EXPECT_EQ(platform::resolveProgram(QStringLiteral("MSPAINT.EXE")).contains(cur.path()), false);
    cur.write(QStringLiteral("clipbrd"), "#!/bin/sh\necho \"$PWD $*\" > started.txt\n");
    QFile(cur.file(QStringLiteral("clipbrd")))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(platform::resolveProgram(QStringLiteral("clipbrd.exe")),
              QDir(QDir::cleanPath(cur.path())).filePath("clipbrd"));

    ASSERT_TRUE(platform::startProgram(QStringLiteral("CLIPBRD.EXE"),
                                       platform::WindowStyle::NormalNoFocus));
    QTRY_VERIFY_WITH_TIMEOUT(cur.exists(QStringLiteral("started.txt")), 5000);
    QTest::qWait(100);
    EXPECT_EQ(QString::fromUtf8(cur.read(QStringLiteral("started.txt"))).trimmed(),
              QDir::cleanPath(cur.path()) + QStringLiteral(" --no-focus"));

    QFile::remove(cur.file(QStringLiteral("started.txt")));
    ASSERT_TRUE(
        platform::startProgram(QStringLiteral("CLIPBRD.EXE"), platform::WindowStyle::NormalFocus));
    QTRY_VERIFY_WITH_TIMEOUT(cur.exists(QStringLiteral("started.txt")), 5000);
    QTest::qWait(100);
    EXPECT_EQ(QString::fromUtf8(cur.read(QStringLiteral("started.txt"))).trimmed(),
              QDir::cleanPath(cur.path()));
}

TEST(ProgramLookup, NothingToStartIsNotFound) {
    testing_support::TestFolder cur;
    testing_support::CurrentDir in(cur.path());
    EXPECT_EQ(platform::startProgram(QStringLiteral("NoSuchProgram.exe"),
                                     platform::WindowStyle::NormalFocus)
                  .error,
              platform::Error::NotFound);
}

TEST(ProgramLookup, PaintMessageNamesWhatToInstallInLinesLikeTheOriginal) {
    const QString text = platform::paintMissingMessage();
    const QStringList lines = text.split(QChar(13));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("(例）")));
    for (const char* p : {"kolourpaint", "pinta", "mtpaint", "gimp", "krita"})
        EXPECT_TRUE(lines[3].contains(QLatin1String(p))) << p;
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
}

TEST(SystemPrograms, WindowOperationsFailCleanlyAwayFromX11) {
    ASSERT_NE(QGuiApplication::platformName(), QLatin1String("xcb"));
    platform::Programs& p = platform::systemPrograms();
    EXPECT_EQ(p.activate(QStringLiteral("クリップボード ビューア"), true).error,
              platform::Error::Unsupported);
    EXPECT_EQ(p.sendKeys(QStringLiteral("+{F10}FX"), true).error, platform::Error::Unsupported);
}

} // namespace
