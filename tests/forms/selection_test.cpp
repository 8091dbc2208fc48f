// The main window: selecting cells and the end of a selection, the clipboard copies every
// selection makes, memos. Paging by keys and wheel: the folder model.
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QApplication>

using namespace testing_support;
using namespace tarvo;
using platform::nativePath;

TEST_F(OrganiserTest, AClickSelectsCopiesAndLoadsTheMemoAndTheNextSavesItThenRenames) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, Qt::green);
    dir.writePicture(QStringLiteral("sea.bmp"), 640, 480, Qt::blue);
    dir.write(QStringLiteral("sea.TXT"), "\x8a\x43\r\n"); // "海" in Shift-JIS
    start();
    press("dsptxt");
    EXPECT_TRUE(memo()->isVisible());
    clickPicture(1);
    EXPECT_EQ(view()->Shape1(1)->borderWidth(), 3);
    EXPECT_EQ(view()->text1Colour(1), QColor(0, 0, 255));
    // The whole picture, not the thumbnail the cell shows.
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(640, 480));
    EXPECT_EQ(QColor(clip.image->pixel(320, 240)), QColor(Qt::blue));
    EXPECT_EQ(memo()->caption(), QStringLiteral("sea.TXT"));
    EXPECT_EQ(memo()->text(), QStringLiteral("海\r\n"));
    // A double click on the memo copies its text and keeps the picture.
    const int clears = clip.clears;
    QTest::mouseDClick(memo()->Etxt()->viewport(), Qt::LeftButton);
    EXPECT_EQ(clip.clears, clears);
    EXPECT_EQ(clip.textData, QStringLiteral("海\n"));
    EXPECT_TRUE(clip.image.has_value());
    press("TSave"); // nothing typed: nothing written, no mark
    EXPECT_EQ(memo()->caption(), QStringLiteral("sea.TXT"));

    // The frame close hides the memo window and keeps the edit; a click on an empty cell
    // selects nothing but saves the memo (in its code page) and then renames.
    typeMemo(QStringLiteral("空"));
    memo()->close();
    EXPECT_EQ(m().MemoShown, 0);
    typeName(1, QStringLiteral("renamed"));
    clickName(5);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("a.bmp"), QStringLiteral("renamed.TXT"),
                                        QStringLiteral("renamed.bmp")}));
    EXPECT_EQ(dir.read(QStringLiteral("renamed.TXT")), QByteArray("\x8a\x43\r\n\x8b\xf3\r\n"));
    // Each save writes the text with one line end after it and marks the caption.
    clickPicture(1);
    typeMemo(QStringLiteral("b"));
    press("TSave");
    typeMemo(QStringLiteral("c"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("renamed.TXT")),
              QByteArray("\x8a\x43\r\n\x8b\xf3\r\nbc\r\n"));
    EXPECT_EQ(memo()->caption(), QStringLiteral("renamed.TXT (保存)  (保存) "));
}

// The selection ends with the page: delete then acts on nothing until the user selects again.
// (With a reload or a new folder: the folder model.)
using SelectionEndTest = OrganiserTest;

TEST_F(SelectionEndTest, APageChangeSavesTheMemoAndEndsTheSelection) {
    writePictures(23);
    dir.write(QStringLiteral("p02.TXT"), "two\r\n");
    start();
    clickPicture(2);
    typeMemo(QStringLiteral("more"));
    view()->VScroll1()->setValue(10);
    EXPECT_EQ(view()->Shape1(2)->borderWidth(), 1);
    EXPECT_EQ(view()->text1Colour(2), QColor(Qt::black));
    EXPECT_TRUE(memo()->text().isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    EXPECT_EQ(name(0), QStringLiteral("p10.bmp"));
    EXPECT_TRUE(m().CurFileName.isEmpty());
    const QStringList before = dir.names();
    press("DelFcommand");
    EXPECT_EQ(dir.names(), before);
}

TEST_F(OrganiserTest, MenuKeysWinOverTheNameFieldAndTheClearMarkDecidesWhetherCopiesAdd) {
    writePictures(1);
    start();
    clickPicture(0);
    QApplication::setActiveWindow(view()); // shortcuts go to the active window only
    QPlainTextEdit* field = view()->Text1(0);
    typeName(0, QStringLiteral("typed.bmp"));
    // Ctrl+N copies the path with the typed name, which becomes current; the field keeps it.
    const int clearsBefore = clip.clears;
    QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(clip.textData, nativePath(dir.path() + QStringLiteral("typed.bmp")));
    EXPECT_EQ(m().CurFileName, QStringLiteral("typed.bmp"));
    EXPECT_EQ(field->toPlainText(), QStringLiteral("typed.bmp"));
    EXPECT_EQ(clip.clears, clearsBefore + 1);
    EXPECT_FALSE(clip.image.has_value());
    // Ctrl+C is the field's own copy too; the menu's picture copy wins. Without the Clear
    // mark it adds to the path.
    trigger("ItemClear");
    EXPECT_FALSE(view()->ItemClear()->isChecked());
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip.clears, clearsBefore + 1);
    EXPECT_TRUE(clip.image.has_value());
    EXPECT_TRUE(clip.textData.has_value());
}
