// Starting the programs on whatever display the user has: on a Wayland session with a live X
// server beside it they take X11; without a display they say why in Japanese and end with
// status 1, where Qt would abort them.

#include "platform/display.h"

#include "e2esupport.h"
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

constexpr const char* kDeadDisplay = ":987"; // no server listens there

// A Wayland session beside a live X server takes X11 (the programs below show a dead one).
TEST(StartupE2E, WaylandSessionTakesXcbWhenTheXServerAnswers) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs on the Xvfb display";
    qunsetenv("QT_QPA_PLATFORM");
    qputenv("WAYLAND_DISPLAY", "wayland-9");
    qputenv("XDG_SESSION_TYPE", "wayland");
    platform::choosePlatformPlugin();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    EXPECT_EQ(platform::startupDisplayProblem(), QString());
}

TEST(StartupE2E, WithoutADisplayEveryProgramSaysWhyAndEndsWithStatusOne) {
    struct Row {
        const char* display; // nothing: unset
        const char* wayland;
        const char* said;
    };
    const Row rows[] = {
        {nullptr, nullptr, "DISPLAY も WAYLAND_DISPLAY も設定されていません"},
        {kDeadDisplay, nullptr, "DISPLAY :987 が応答しません"},
        {nullptr, "wayland-0", "DISPLAY が設定されていません (X11 のない Wayland では動きません)"},
    };
    for (const char* program : {"tarvo104", "Mirok101", "clipbrd"}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(program) + " " + r.said);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QLatin1String(name));
            env.insert(QStringLiteral("XDG_SESSION_TYPE"),
                       QLatin1String(r.wayland ? "wayland" : "x11"));
            if (r.display)
                env.insert(QStringLiteral("DISPLAY"), QLatin1String(r.display));
            if (r.wayland)
                env.insert(QStringLiteral("WAYLAND_DISPLAY"), QLatin1String(r.wayland));
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(e2e::kBin + QLatin1Char('/') + QLatin1String(program), {});
            ASSERT_TRUE(p.waitForFinished(10000)) << "not built, or it did not end";
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "it crashed";
            EXPECT_EQ(p.exitCode(), 1);
            EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                      QStringLiteral("%1: 画面に接続できません: %2\n")
                          .arg(QLatin1String(program), QString::fromUtf8(r.said)));
        }
    }
}

} // namespace
