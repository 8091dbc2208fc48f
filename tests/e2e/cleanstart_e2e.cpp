// A Wayland session without XWayland: each program says in Japanese why it cannot start and
// ends with status 1, where Qt would abort it.
#include "e2esupport.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

TEST(CleanStartE2E, WaylandWithoutX11IsRefusedWithAMessageByEveryProgram) {
    for (const char* program : {"tarvo104", "Mirok101", "clipbrd"}) {
        SCOPED_TRACE(program);
        const QString path = e2e::kBin + QLatin1Char('/') + QLatin1String(program);
        ASSERT_TRUE(QFile::exists(path)) << program << " not built";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(path, {});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "it crashed";
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                  QLatin1String(program) +
                      QStringLiteral(": 画面に接続できません: DISPLAY が設定されていません (X11 "
                                     "のない Wayland では動きません)\n"));
    }
}
