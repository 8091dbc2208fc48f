// Starting the programs on whatever display the user has: on a Wayland session with a live X
// server beside it they take X11; without any display they say so and end instead of being
// aborted.

#include "platform/controls/windowlook.h"
#include "platform/display.h"

#include "e2esupport.h"
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

using e2e::kBin;

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    ~Environment() {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name.constData());
            else
                qputenv(name.constData(), value);
        }
    }
    void set(const char* name, const char* value) {
        save(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

private:
    void save(const char* name) {
        for (const auto& saved : m_saved)
            if (saved.first == name)
                return;
        m_saved.emplace_back(QByteArray(name), qgetenv(name));
    }
    std::vector<std::pair<QByteArray, QByteArray>> m_saved;
};

constexpr const char* kDeadDisplay = ":987"; // no server listens there

TEST(StartupE2E, WaylandSessionTakesXcbOnlyWhenTheXServerAnswers) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs on the Xvfb display";
    Environment env;
    env.set("QT_QPA_PLATFORM", nullptr);
    env.set("WAYLAND_DISPLAY", "wayland-9");
    env.set("XDG_SESSION_TYPE", "wayland");
    platform::choosePlatformPlugin();
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    EXPECT_EQ(platform::startupDisplayProblem(), QString());

    // XWayland gone: no plugin is forced, and the start is refused with the reason.
    env.set("QT_QPA_PLATFORM", nullptr);
    env.set("DISPLAY", kDeadDisplay);
    platform::choosePlatformPlugin();
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
    EXPECT_EQ(platform::startupDisplayProblem(),
              QStringLiteral("画面に接続できません: DISPLAY :987 が応答しません"));
}

TEST(StartupE2E, WithoutADisplayBothProgramsSaySoAndEndNormally) {
    for (const char* program : {"tarvo104", "Mirok101"}) {
        const QString path = kBin + QLatin1Char('/') + QLatin1String(program);
        if (!QFile::exists(path))
            FAIL() << program << " not built";
        for (const char* display : {static_cast<const char*>(nullptr), kDeadDisplay}) {
            SCOPED_TRACE(std::string(program) + " DISPLAY=" + (display ? display : "(none)"));
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            env.remove(QStringLiteral("WAYLAND_DISPLAY"));
            env.remove(QStringLiteral("DISPLAY"));
            if (display)
                env.insert(QStringLiteral("DISPLAY"), QLatin1String(display));
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(path, {});
            ASSERT_TRUE(p.waitForFinished(10000));
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "it crashed";
            EXPECT_EQ(p.exitCode(), 1);
            const QString said = QString::fromUtf8(p.readAllStandardError());
            EXPECT_TRUE(
                said.startsWith(QLatin1String(program) + QStringLiteral(": 画面に接続できません")))
                << qPrintable(said);
        }
    }
}

} // namespace
