// Choices made from the user's environment before any window opens.
#include "platform/controls/windowlook.h"
#include "platform/display.h"
#include "platform/drives.h"

#include <gtest/gtest.h>

using platform::Drive;
using platform::preferredQpaPlatform;
using platform::withHomeDrive;

namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(PlatformPlugin, WaylandWithXWaylandAsksForXcbAndEverythingElseKeepsQtsChoice) {
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY: the plugin asked for.
    auto plugin = [](const char* qpa, const char* wayland, const char* session, const char* x) {
        return preferredQpaPlatform(q(qpa), q(wayland), q(session), q(x));
    };
    EXPECT_EQ(plugin("", "wayland-0", "", ":0"), q("xcb"));
    EXPECT_EQ(plugin("", "", "Wayland", ":0"), q("xcb"));
    EXPECT_EQ(plugin("", "wayland-0", "wayland", ""), q("")) << "no X11: Qt's own choice";
    EXPECT_EQ(plugin("", "", "x11", ":0"), q(""));
    EXPECT_EQ(plugin("wayland", "wayland-0", "", ":0"), q("")) << "the user's own choice";
}

TEST(StartupDisplay, NoDisplayAtAllIsReportedInsteadOfLeftToQtsAbort) {
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, whether X answers: what the report says.
    auto problem = [](const char* qpa, const char* wayland, const char* x, bool answers) {
        return platform::displayProblem(q(qpa), q(wayland), q(x), answers);
    };
    EXPECT_EQ(problem("", "", ":0", true), q(""));
    EXPECT_EQ(problem("offscreen", "", "", false), q(""));
    EXPECT_TRUE(problem("", "wayland-0", "", false).contains(q("X11 のない Wayland")));
    EXPECT_TRUE(problem("", "", "", false).contains(q("DISPLAY も WAYLAND_DISPLAY も")));
    EXPECT_EQ(problem("xcb", "wayland-0", ":0", false),
              q("画面に接続できません: DISPLAY :0 が応答しません"));
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
