// Choices made from the user's environment before any window opens.
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
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY: the plugin asked for.
    const struct {
        const char *qpa, *wayland, *session, *display, *chosen;
    } rows[] = {
        {"", "wayland-0", "", ":0", "xcb"},
        {"", "", "Wayland", ":0", "xcb"},
        {"", "wayland-0", "wayland", "", ""}, // no X11 beside it: Qt's own choice
        {"", "", "x11", ":0", ""},
        {"wayland", "wayland-0", "", ":0", ""}, // the user's own choice
    };
    for (const auto& r : rows)
        EXPECT_EQ(preferredQpaPlatform(QString::fromUtf8(r.qpa), QString::fromUtf8(r.wayland),
                                       QString::fromUtf8(r.session), QString::fromUtf8(r.display)),
                  QString::fromUtf8(r.chosen))
            << r.qpa << "|" << r.wayland << "|" << r.session << "|" << r.display;
}

TEST(StartupDisplay, NoDisplayAtAllIsReportedInsteadOfLeftToQtsAbort) {
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, whether X answers: what the report says.
    const struct {
        const char *qpa, *wayland, *display;
        bool answers;
        const char* problem;
    } rows[] = {
        {"", "", ":0", true, ""},
        {"offscreen", "", "", false, ""},
        {"", "wayland-0", "", false, "X11 のない Wayland"},
        {"", "", "", false, "DISPLAY も WAYLAND_DISPLAY も設定されていません"},
        {"xcb", "wayland-0", ":0", false, "DISPLAY :0 が応答しません"},
    };
    for (const auto& r : rows) {
        const QString problem =
            platform::displayProblem(QString::fromUtf8(r.qpa), QString::fromUtf8(r.wayland),
                                     QString::fromUtf8(r.display), r.answers);
        EXPECT_EQ(problem.isEmpty(), !*r.problem) << r.problem;
        EXPECT_TRUE(problem.contains(QString::fromUtf8(r.problem))) << problem.toStdString();
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
