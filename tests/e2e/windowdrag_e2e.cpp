// Windows dragged by their title bar come back exactly there when hidden and shown again,
// under each window manager the wrapper offers.

#include "e2esupport.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

const QString kMemo = QStringLiteral("a.TXT");
const QString kList = QStringLiteral(" Tarvo");
const QString kSetDir = QStringLiteral("ディレクトリ指定");

// Drags the window by its title bar (a few pixels above the client area) by d, and answers
// where its client area then is.
QRect drag(const QString& caption, QPoint d) {
    const auto before = settled(caption);
    EXPECT_TRUE(before) << qPrintable(caption);
    if (!before)
        return {};
    const QPoint grab(before->center().x(), before->top() - 8);
    e2e::drag(grab, grab + d);
    const auto now = settled(caption);
    EXPECT_TRUE(now && now->topLeft() == before->topLeft() + d)
        << qPrintable(caption) << " was not dragged from " << before->x() << "," << before->y();
    return now.value_or(QRect());
}

void expectBackAt(const QString& caption, QRect place) {
    const auto now = settled(caption);
    ASSERT_TRUE(now) << qPrintable(caption) << " did not come back";
    EXPECT_EQ(now->topLeft(), place.topLeft())
        << qPrintable(caption) << " at " << now->x() << "," << now->y() << " instead of "
        << place.x() << "," << place.y();
}

TEST(WindowDragE2E, DraggedWindowsComeBackWhereTheUserLeftThem) {
    testing_support::TestFolder dir;
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, QColor(200, 40, 40));
    Program program;
    ASSERT_TRUE(program.start(QStringLiteral("tarvo104"), dir.path()));

    // The memo window (captioned after the memo), hidden and shown by "メモ表示".
    const auto memoButton = [] { return clickMain(6900, 2175, 900, 300); };
    ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
    ASSERT_TRUE(memoButton());
    ASSERT_TRUE(eventually([] { return shown(kMemo); })) << "the memo window did not open";
    const QRect memo = drag(kMemo, QPoint(60, 90));
    for (int round = 0; round < 3; ++round) {
        memoButton();
        ASSERT_TRUE(eventually([] { return !shown(kMemo); })) << "the memo window did not hide";
        memoButton();
        expectBackAt(kMemo, memo);
    }

    // The folder dialog, hidden by Cancel and opened again by "画像ﾌｫﾙﾀﾞ".
    const auto cancel = [] { return clickIn(kSetDir, 228, 228, 2832, 1116, 375); };
    clickMain(120, 2175, 990, 300);
    ASSERT_TRUE(eventually([] { return shown(kSetDir); })) << "the dialog did not open";
    const QRect dialog = drag(kSetDir, QPoint(-50, 70));
    for (int round = 0; round < 2; ++round) {
        cancel();
        ASSERT_TRUE(eventually([] { return !shown(kSetDir); })) << "Cancel did not hide it";
        clickMain(120, 2175, 990, 300);
        expectBackAt(kSetDir, dialog);
    }
    cancel();
    ASSERT_TRUE(eventually([] { return !shown(kSetDir); }));

    // The main and list windows switched by "縮小表示" and "拡大"; the narrow list window's
    // title bar is all buttons under some window managers, so it stays where it was put.
    const QRect main = drag(kOrganiser, QPoint(45, 35));
    clickMain(7245, 4824, 975, 276); // 縮小表示
    ASSERT_TRUE(eventually([] { return shown(kList) && !shown(kOrganiser); }));
    const QRect list = settled(kList).value_or(QRect());
    for (int round = 0; round < 2; ++round) {
        clickIn(kList, 472, 30, 30, 540, 396); // 拡大
        expectBackAt(kOrganiser, main);
        clickMain(7245, 4824, 975, 276);
        expectBackAt(kList, list);
    }
}

} // namespace
