// Started where no X server answers, every program says why in Japanese and ends with status
// 1, where Qt would abort it. (Which display is chosen, and each reason's text, are checked by
// the unit tests.)

#include "e2esupport.h"
#include <QProcessEnvironment>

#include <gtest/gtest.h>

TEST(StartupE2E, WithoutADisplayEveryProgramSaysWhyAndEndsWithStatusOne) {
    for (const char* program : {"tarvo104", "Mirok101", "clipbrd"}) {
        SCOPED_TRACE(program);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987")); // no server listens there
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(e2e::kBin + QLatin1Char('/') + QLatin1String(program), {});
        ASSERT_TRUE(p.waitForFinished(10000)) << "not built, or it did not end";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "it crashed";
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                  QStringLiteral("%1: 画面に接続できません: DISPLAY :987 が応答しません\n")
                      .arg(QLatin1String(program)));
    }
}
