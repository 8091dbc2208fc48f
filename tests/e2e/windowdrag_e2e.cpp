// Windows dragged by their title bar, as a user moves them, come back exactly there after
// they are hidden and shown again: the memo window by "メモ表示", the folder dialog by
// Cancel and "画像ﾌｫﾙﾀﾞ", the main window by "縮小表示" and "拡大" (and the list window it
// switches with). Run under each window
// manager the wrapper offers.

#include "support/testfolder.h"

#include "e2esupport.h"
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace e2e;

const QString kMain = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
const QString kMemo = QStringLiteral("a.TXT");
const QString kList = QStringLiteral(" Tarvo");
const QString kSetDir = QStringLiteral("ディレクトリ指定");

bool shown(const QString& caption) {
    return xclick({QStringLiteral("count"), caption}) == QStringLiteral("1");
}

std::optional<QRect> clientOf(const QString& caption) {
    if (!shown(caption))
        return std::nullopt;
    const auto found = findWindow(caption);
    return found ? std::optional<QRect>(found->rect) : std::nullopt;
}

class WindowDragE2E : public ::testing::Test {
protected:
    testing_support::TestFolder dir;
    QProcess program;

    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("TARVO_NO_WM"))
            GTEST_SKIP() << "needs an X display with a window manager";
        for (const char* p : {"tarvo104", "xclick"})
            if (!QFile::exists(kBin + QLatin1Char('/') + QLatin1String(p)))
                FAIL() << p << " not built";
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
    }

    // Clicks the middle of a control given in twips in the client area of caption.
    void clickIn(const QString& caption, int left, int top, int width, int height) {
        const auto r = clientOf(caption);
        ASSERT_TRUE(r) << qPrintable(caption);
        xclick({QStringLiteral("click"), QString::number(r->left() + (left + width / 2) / 15),
                QString::number(r->top() + (top + height / 2) / 15)});
        QTest::qWait(300);
    }
    // The window bar: one line of the menu bar above the designed client area.
    void clickMain(int left, int top, int width, int height) {
        const auto r = clientOf(kMain);
        ASSERT_TRUE(r);
        const int menu = r->height() - 5160 / 15;
        clickIn(kMain, left, top + menu * 15, width, height);
    }

    // Drags the window by its title bar (a few pixels above the client area) by d, and
    // answers where its client area then is.
    QRect drag(const QString& caption, QPoint d) {
        const auto before = clientOf(caption);
        EXPECT_TRUE(before) << qPrintable(caption);
        if (!before)
            return {};
        const QPoint grab(before->center().x(), before->top() - 8);
        xclick({QStringLiteral("drag"), QString::number(grab.x()), QString::number(grab.y()),
                QString::number(grab.x() + d.x()), QString::number(grab.y() + d.y())});
        std::optional<QRect> now;
        EXPECT_TRUE(eventually([&] {
            now = clientOf(caption);
            return now && now->topLeft() == before->topLeft() + d;
        })) << qPrintable(caption)
            << " was not dragged from " << before->x() << "," << before->width() << ","
            << before->y()
            << (now ? " to " + std::to_string(now->x()) + "," + std::to_string(now->y())
                    : std::string());
        QTest::qWait(300);
        return clientOf(caption).value_or(QRect());
    }

    void expectBackAt(const QString& caption, QRect place) {
        ASSERT_TRUE(eventually([&] { return clientOf(caption).has_value(); }))
            << qPrintable(caption) << " did not come back";
        QTest::qWait(500); // the window manager has placed it for good
        const auto now = clientOf(caption);
        ASSERT_TRUE(now);
        EXPECT_EQ(now->topLeft(), place.topLeft())
            << qPrintable(caption) << " at " << now->x() << "," << now->y() << " instead of "
            << place.x() << "," << place.y();
    }
};

TEST_F(WindowDragE2E, DraggedWindowsComeBackWhereTheUserLeftThem) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, QColor(200, 40, 40));
    program.setWorkingDirectory(dir.path());
    program.start(kBin + QStringLiteral("/tarvo104"), {});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(eventually([] { return shown(kMain); }));
    QTest::qWait(500);

    // The memo window, captioned after the selected picture's memo, hidden and shown by
    // "メモ表示" three times over.
    clickMain(90, 30, 1455, 1455);
    clickMain(6900, 2175, 900, 300);
    ASSERT_TRUE(eventually([] { return shown(kMemo); })) << "the memo window did not open";
    const QRect memo = drag(kMemo, QPoint(60, 90));
    for (int round = 0; round < 3; ++round) {
        clickMain(6900, 2175, 900, 300);
        ASSERT_TRUE(eventually([] { return !shown(kMemo); })) << "the memo window did not hide";
        clickMain(6900, 2175, 900, 300);
        expectBackAt(kMemo, memo);
    }

    // The folder dialog, hidden by Cancel and opened again by "画像ﾌｫﾙﾀﾞ".
    clickMain(120, 2175, 990, 300);
    ASSERT_TRUE(eventually([] { return shown(kSetDir); })) << "the dialog did not open";
    const QRect dialog = drag(kSetDir, QPoint(-50, 70));
    for (int round = 0; round < 2; ++round) {
        clickIn(kSetDir, 228, 2832, 1116, 375); // Cancel
        ASSERT_TRUE(eventually([] { return !shown(kSetDir); })) << "Cancel did not hide it";
        clickMain(120, 2175, 990, 300);
        expectBackAt(kSetDir, dialog);
    }
    clickIn(kSetDir, 228, 2832, 1116, 375);
    ASSERT_TRUE(eventually([] { return !shown(kSetDir); }));

    // The main window and the list window, each hidden by the switch to the other.
    const QRect main = drag(kMain, QPoint(45, 35));
    clickMain(7245, 4824, 975, 276); // 縮小表示
    ASSERT_TRUE(eventually([] { return shown(kList) && !shown(kMain); }));
    // The narrow list window's title bar is all buttons under some window managers: it
    // stays where it was put, and must come back there too.
    QTest::qWait(500);
    const QRect list = clientOf(kList).value_or(QRect());
    for (int round = 0; round < 2; ++round) {
        clickIn(kList, 30, 30, 540, 396); // 拡大
        expectBackAt(kMain, main);
        clickMain(7245, 4824, 975, 276);
        expectBackAt(kList, list);
    }
}

} // namespace
