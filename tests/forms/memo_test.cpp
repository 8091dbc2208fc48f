// Memos: loading into the memo window, saving, the caption, and the text copy.
#include "support/organiserfixture.h"

#include <QFile>

using namespace testing_support;
using namespace tarvo;

TEST_F(OrganiserTest, TypedMemoIsSavedByTheNextSelection) {
    writePictures(2);
    start();
    clickPicture(0);
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT"));
    EXPECT_TRUE(memo()->text().isEmpty());
    EXPECT_FALSE(dir.exists(QStringLiteral("p00.TXT")));
    typeMemo(QStringLiteral("abc"));
    EXPECT_EQ(m().MemoDirty, 1);
    clickPicture(1);
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("abc\r\n"));
    // Loading it again shows the line end; an edit and a save add one more.
    clickPicture(0);
    EXPECT_EQ(memo()->text(), QStringLiteral("abc\r\n"));
    memo()->Etxt()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo()->Etxt(), QStringLiteral("X"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("Xabc\r\n\r\n"));
}

TEST_F(OrganiserTest, SaveMarksTheCaptionEachTimeAndNotWithoutAnEdit) {
    writePictures(1);
    start();
    clickPicture(0);
    press("TSave");
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT"));
    EXPECT_FALSE(dir.exists(QStringLiteral("p00.TXT")));
    typeMemo(QStringLiteral("a"));
    press("TSave");
    typeMemo(QStringLiteral("b"));
    press("TSave");
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT (保存)  (保存) "));
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("ab\r\n"));
}

TEST_F(OrganiserTest, MemoWithCommasQuotesAndEmptyLines) {
    writePictures(1);
    dir.write(QStringLiteral("p00.TXT"), "a,b\r\n\"x, y\"\r\n\r\nend\r\n");
    start();
    clickPicture(0);
    EXPECT_EQ(memo()->text(), QStringLiteral("a\r\nb\r\nx, y\r\n\r\nend\r\n"));
    typeMemo(QStringLiteral("!"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")),
              QByteArray("a\r\nb\r\nx, y\r\n\r\nend\r\n!\r\n"));
}

TEST_F(OrganiserTest, ShiftJisMemoIsShownAndWrittenBackAsShiftJis) {
    writePictures(1);
    // "海" and "山" in Shift-JIS.
    dir.write(QStringLiteral("p00.TXT"), QByteArray("\x8a\x43\r\n\x8e\x52\r\n"));
    start();
    clickPicture(0);
    EXPECT_EQ(memo()->text(), QStringLiteral("海\r\n山\r\n"));
    typeMemo(QStringLiteral("空"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")),
              QByteArray("\x8a\x43\r\n\x8e\x52\r\n\x8b\xf3\r\n"));
}

TEST_F(OrganiserTest, NameWithoutADotHasTheMemoTxt) {
    dir.writePicture(QStringLiteral("README"), 4, 4, Qt::red, "bmp");
    start();
    // README is not in the mask, so show it with a mask-free path: select through the
    // table directly as a reload with a wider mask would.
    m().FileNames[0] = QStringLiteral("README");
    view()->setText1(0, QStringLiteral("README"));
    view()->Dsp_Image(0);
    clickPicture(0);
    typeMemo(QStringLiteral("r"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("TXT")), QByteArray("r\r\n"));
}

TEST_F(OrganiserTest, SaveWhileHiddenWritesAndSaveBeforeAnySelectionWritesNothing) {
    writePictures(1);
    start();
    typeMemo(QStringLiteral("orphan"));
    press("TSave");
    EXPECT_EQ(m().MemoDirty, 0);
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("p00.bmp")}));
    clickPicture(0);
    // The dropped edit's text stays in the window until a selection clears it.
    EXPECT_EQ(memo()->text(), QStringLiteral("orphan"));
    EXPECT_FALSE(memo()->isVisible());
    memo()->Etxt()->selectAll();
    typeInto(memo()->Etxt(), QStringLiteral("hidden"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("hidden\r\n"));
}

TEST_F(OrganiserTest, FrameCloseKeepsThePendingEdit) {
    writePictures(2);
    start();
    press("dsptxt");
    clickPicture(0);
    typeMemo(QStringLiteral("keep me"));
    memo()->close();
    EXPECT_EQ(m().MemoShown, 0);
    EXPECT_EQ(m().MemoDirty, 1);
    clickPicture(1);
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("keep me\r\n"));
}

TEST_F(OrganiserTest, DoubleClickOnTheMemoCopiesItsTextWithoutClearing) {
    writePictures(1);
    dir.write(QStringLiteral("p00.TXT"), "line one\r\n");
    start();
    clickPicture(0);
    const int clears = clip.clears;
    QTest::mouseDClick(memo()->Etxt()->viewport(), Qt::LeftButton);
    EXPECT_EQ(clip.clears, clears);
    ASSERT_TRUE(clip.textData.has_value());
    EXPECT_EQ(*clip.textData, QStringLiteral("line one\n"));
    EXPECT_TRUE(clip.image.has_value());
}
