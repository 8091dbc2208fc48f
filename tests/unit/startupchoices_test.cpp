// Choices made from the user's environment before any window opens: the Qt platform plugin on
// a Wayland session, and the home folder as a drive of its own.
#include "platform/controls/windowlook.h"
#include "platform/display.h"
#include "platform/drives.h"

#include <gtest/gtest.h>

using platform::Drive;
using platform::preferredQpaPlatform;
using platform::withHomeDrive;

namespace {

const QString kNone;

TEST(PlatformPlugin, WaylandWithXWaylandAsksForXcbAndEverythingElseKeepsQtsChoice) {
    const QString xcb = QStringLiteral("xcb");
    const QString x11Display = QStringLiteral(":0");
    const QString wl = QStringLiteral("wayland-0");
    // A Wayland session, told either way, with X11 beside it.
    EXPECT_EQ(preferredQpaPlatform(kNone, wl, kNone, x11Display), xcb);
    EXPECT_EQ(preferredQpaPlatform(kNone, kNone, QStringLiteral("wayland"), x11Display), xcb);
    EXPECT_EQ(preferredQpaPlatform(kNone, kNone, QStringLiteral("Wayland"), x11Display), xcb);
    // No X11 there: Qt's own choice (Wayland), and the window operations fail cleanly.
    EXPECT_EQ(preferredQpaPlatform(kNone, wl, QStringLiteral("wayland"), kNone), kNone);
    // An X11 session, or the user's own choice, is left alone.
    EXPECT_EQ(preferredQpaPlatform(kNone, kNone, QStringLiteral("x11"), x11Display), kNone);
    EXPECT_EQ(preferredQpaPlatform(kNone, kNone, kNone, x11Display), kNone);
    EXPECT_EQ(preferredQpaPlatform(QStringLiteral("wayland"), wl, kNone, x11Display), kNone);
    EXPECT_EQ(preferredQpaPlatform(QStringLiteral("offscreen"), wl, kNone, x11Display), kNone);
}

TEST(StartupDisplay, NoDisplayAtAllIsReportedInsteadOfLeftToQtsAbort) {
    const QString x11Display = QStringLiteral(":0");
    const QString wl = QStringLiteral("wayland-0");
    // An X server that answers, or another plugin asked for by name: nothing to report.
    EXPECT_EQ(platform::displayProblem(kNone, kNone, x11Display, true), kNone);
    EXPECT_EQ(platform::displayProblem(QStringLiteral("xcb"), kNone, x11Display, true), kNone);
    EXPECT_EQ(platform::displayProblem(QStringLiteral("offscreen"), kNone, kNone, false), kNone);
    // Wayland without X11 beside it.
    EXPECT_EQ(platform::displayProblem(kNone, wl, kNone, false),
              QStringLiteral("画面に接続できません: DISPLAY が設定されていません (X11 のない "
                             "Wayland では動きません)"));
    // Neither is set.
    EXPECT_EQ(
        platform::displayProblem(kNone, kNone, kNone, false),
        QStringLiteral("画面に接続できません: DISPLAY も WAYLAND_DISPLAY も設定されていません"));
    // X11 is set, or asked for, and does not answer.
    EXPECT_EQ(platform::displayProblem(kNone, kNone, x11Display, false),
              QStringLiteral("画面に接続できません: DISPLAY :0 が応答しません"));
    EXPECT_EQ(platform::displayProblem(QStringLiteral("xcb"), wl, x11Display, false),
              QStringLiteral("画面に接続できません: DISPLAY :0 が応答しません"));
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

    // Home at the root, or unknown: nothing to add.
    EXPECT_EQ(withHomeDrive(drives, QStringLiteral("/")).size(), 2u);
    EXPECT_EQ(withHomeDrive(drives, QString()).size(), 2u);
}

TEST(DriveRoots, APathBelongsToTheLongestRootThatHoldsItOnEitherSystem) {
    using platform::driveRootOf;
    // Paths are made absolute first, so each system's own form is tried on it.
#ifndef _WIN32
    const std::vector<Drive> linux{{QStringLiteral("/"), QStringLiteral("/  [vda]")},
                                   {QStringLiteral("/media/stick"), QStringLiteral("s")}};
    EXPECT_EQ(driveRootOf(linux, QStringLiteral("/media/stick/pictures")),
              QStringLiteral("/media/stick"));
    EXPECT_EQ(driveRootOf(linux, QStringLiteral("/media/sticker")), QStringLiteral("/"));
    EXPECT_EQ(driveRootOf(linux, QStringLiteral("/")), QStringLiteral("/"));
#else
    // Windows roots end with their separator ("C:/").
    const std::vector<Drive> windows{{QStringLiteral("C:/"), QStringLiteral("c: [OS]")},
                                     {QStringLiteral("D:/"), QStringLiteral("d:")},
                                     {QStringLiteral("C:/stick"), QStringLiteral("s")}};
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/users/ann")), QStringLiteral("C:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/")), QStringLiteral("C:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("D:/photos")), QStringLiteral("D:/"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("C:/stick/a")), QStringLiteral("C:/stick"));
    EXPECT_EQ(driveRootOf(windows, QStringLiteral("E:/x")), QString());
#endif
}

} // namespace
