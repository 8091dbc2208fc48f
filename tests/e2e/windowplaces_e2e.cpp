// The real organiser on an X display with a window manager: windows the user moved come back
// at the same place when they are hidden and shown again.

#include "platform/programs.h"
#include "support/testfolder.h"

#include "e2esupport.h"
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

using namespace e2e;

const QString kMain = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
const QString kMemo = QStringLiteral(" "); // the memo window before a file is opened
const QString kList = QStringLiteral(" Tarvo");
const QString kSetDir = QStringLiteral("ディレクトリ指定");

// Exactly this caption, shown: prefixes do not count (every caption here begins with a blank).
bool shown(const QString& caption) {
    return xclick({QStringLiteral("count"), caption}) == QStringLiteral("1");
}

std::optional<QPoint> placeOf(const QString& caption) {
    if (!shown(caption))
        return std::nullopt;
    const auto found = findWindow(caption);
    return found ? std::optional<QPoint>(found->rect.topLeft()) : std::nullopt;
}

class WindowPlacesE2E : public ::testing::Test {
protected:
    testing_support::TestFolder dir;
    QProcess program;

    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("TARVO_NO_WM"))
            GTEST_SKIP() << "needs an X display with a window manager";
        for (const char* p : {"tarvo104", "Mirok101", "clipput", "xclick"})
            if (!QFile::exists(kBin + QLatin1Char('/') + QLatin1String(p)))
                FAIL() << p << " not built";
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
    }

    void startProgram(const QString& name, const QString& caption) {
        program.setWorkingDirectory(dir.path());
        program.start(kBin + QLatin1Char('/') + name, {});
        ASSERT_TRUE(program.waitForStarted());
        ASSERT_TRUE(eventually([&] { return shown(caption); })) << qPrintable(caption);
        QTest::qWait(500);
    }

    // Clicks the middle of a control of the window captioned caption, placed at left, top,
    // width, height twips in a client area clientHeight pixels high at its bottom.
    void clickIn(const QString& caption, int clientHeight, int left, int top, int width,
                 int height) {
        const auto w = findWindow(caption);
        ASSERT_TRUE(w) << qPrintable(caption);
        const int x = w->rect.left() + (left + width / 2) / 15;
        const int y = w->rect.bottom() + 1 - clientHeight + (top + height / 2) / 15;
        xclick({QStringLiteral("click"), QString::number(x), QString::number(y)});
        QTest::qWait(300);
    }
    void clickMain(int left, int top, int width, int height) {
        clickIn(kMain, 344, left, top, width, height);
    }

    // Moves the window as the user would and answers where it now is, well away from where
    // the window manager put it.
    QPoint moveAway(const QString& caption, QPoint to) {
        const auto before = placeOf(caption);
        EXPECT_TRUE(before);
        xclick({QStringLiteral("move"), caption, QString::number(to.x()), QString::number(to.y())});
        std::optional<QPoint> now;
        EXPECT_TRUE(eventually([&] {
            now = placeOf(caption);
            return now && before && *now != *before &&
                   (*now - to).manhattanLength() < 80; // the frame's border and title bar
        })) << qPrintable(caption)
            << " did not move";
        QTest::qWait(300);
        return placeOf(caption).value_or(QPoint());
    }

    void expectBackAt(const QString& caption, QPoint place) {
        std::optional<QPoint> now;
        ASSERT_TRUE(eventually([&] { return (now = placeOf(caption)).has_value(); }))
            << qPrintable(caption) << " did not come back";
        QTest::qWait(500); // the window manager has placed it for good
        now = placeOf(caption);
        ASSERT_TRUE(now);
        EXPECT_EQ(*now, place) << qPrintable(caption) << " at " << now->x() << "," << now->y()
                               << " instead of " << place.x() << "," << place.y();
    }
};

TEST_F(WindowPlacesE2E, MovedWindowsOfTheOrganiserComeBackWhereTheUserLeftThem) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, QColor(200, 40, 40));
    ASSERT_NO_FATAL_FAILURE(startProgram(QStringLiteral("tarvo104"), kMain));

    // The memo window, by "メモ表示" twice: no caption while no file is open.
    clickMain(6900, 2175, 900, 300);
    ASSERT_TRUE(eventually([] { return shown(kMemo); })) << "the memo window did not open";
    const QPoint memo = moveAway(kMemo, QPoint(700, 600));
    clickMain(6900, 2175, 900, 300);
    ASSERT_TRUE(eventually([] { return !shown(kMemo); })) << "the memo window did not hide";
    clickMain(6900, 2175, 900, 300);
    expectBackAt(kMemo, memo);
    clickMain(6900, 2175, 900, 300);
    ASSERT_TRUE(eventually([] { return !shown(kMemo); }));

    // The folder dialog, hidden by Cancel and opened again by "画像ﾌｫﾙﾀﾞ".
    clickMain(120, 2175, 990, 300);
    ASSERT_TRUE(eventually([] { return shown(kSetDir); })) << "the dialog did not open";
    const QPoint dialog = moveAway(kSetDir, QPoint(650, 420));
    clickIn(kSetDir, 228, 228, 2832, 1116, 375);
    ASSERT_TRUE(eventually([] { return !shown(kSetDir); })) << "Cancel did not hide it";
    clickMain(120, 2175, 990, 300);
    expectBackAt(kSetDir, dialog);
    clickIn(kSetDir, 228, 228, 2832, 1116, 375);
    ASSERT_TRUE(eventually([] { return !shown(kSetDir); }));

    // The main window and the list window, each hidden by the switch to the other.
    const QPoint main = moveAway(kMain, QPoint(120, 140));
    clickMain(7245, 4824, 975, 276); // 縮小表示
    ASSERT_TRUE(eventually([] { return shown(kList) && !shown(kMain); }));
    const QPoint list = moveAway(kList, QPoint(900, 150));
    clickIn(kList, 472, 30, 30, 540, 396); // 拡大
    expectBackAt(kMain, main);
    ASSERT_FALSE(shown(kList));
    clickMain(7245, 4824, 975, 276);
    expectBackAt(kList, list);
    EXPECT_FALSE(shown(kMain));
}

} // namespace
