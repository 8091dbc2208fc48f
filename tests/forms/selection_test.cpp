// Selecting cells, paging, and the clipboard copies that every selection makes.
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>

using namespace testing_support;
using namespace tarvo;
using platform::nativeFolder;
using platform::nativePath;

namespace {
const QColor kBlue(0, 0, 255);
}

TEST_F(OrganiserTest, ClickOnAPictureMarksItCopiesItAndLoadsItsMemo) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, Qt::green);
    dir.writePicture(QStringLiteral("sea.bmp"), 640, 480, Qt::blue);
    dir.write(QStringLiteral("sea.TXT"), "blue water\r\n");
    start();
    clickPicture(1);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(view()->Shape1(1)->borderWidth(), 3);
    EXPECT_EQ(view()->Shape1(0)->borderWidth(), 1);
    EXPECT_EQ(view()->text1Colour(1), kBlue);
    EXPECT_EQ(m().CurFileName, QStringLiteral("sea.bmp"));
    // The clipboard gets the whole picture, not the thumbnail the cell shows.
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(640, 480));
    EXPECT_EQ(QColor(clip.image->pixel(320, 240)), QColor(Qt::blue));
    EXPECT_EQ(memo()->caption(), QStringLiteral("sea.TXT"));
    EXPECT_EQ(memo()->text(), QStringLiteral("blue water\r\n"));
    EXPECT_EQ(m().MemoDirty, 0);
    // The first selection ran the rename the start-up's name filling made pending.
    EXPECT_EQ(m().NameEdited, 0);
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.bmp")));
}

TEST_F(OrganiserTest, EmptyCellCannotBeSelectedButPendingEditsAreApplied) {
    writePictures(2);
    start();
    clickName(0);
    typeName(0, QStringLiteral("renamed"));
    clickName(5); // an empty cell
    EXPECT_EQ(m().CurCell, 0);
    EXPECT_TRUE(dir.exists(QStringLiteral("renamed.bmp")));
    EXPECT_FALSE(dir.exists(QStringLiteral("p00.bmp")));
    EXPECT_EQ(m().NameEdited, 0);
}

TEST_F(OrganiserTest, SelectionSavesThePendingMemoThenRenamesBeforeMarking) {
    writePictures(3);
    start();
    clickPicture(0);
    typeMemo(QStringLiteral("note"));
    typeName(0, QStringLiteral("first"));
    clickPicture(2);
    // The memo went to the old memo name (MemoPath of the last load), then the picture
    // and that memo were renamed together.
    EXPECT_TRUE(dir.exists(QStringLiteral("first.bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("first.TXT")));
    EXPECT_FALSE(dir.exists(QStringLiteral("p00.TXT")));
    EXPECT_EQ(dir.read(QStringLiteral("first.TXT")), QByteArray("note\r\n"));
    EXPECT_EQ(m().CurCell, 2);
    EXPECT_EQ(m().FileNames[0], QStringLiteral("first.bmp"));
}

TEST_F(OrganiserTest, ArrowPagesByFiveAndTroughByTen) {
    writePictures(23);
    start();
    EXPECT_EQ(view()->VScroll1()->maximum(), 20);
    view()->VScroll1()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view()->VScroll1()->value(), 5);
    EXPECT_EQ(name(0), QStringLiteral("p05.bmp"));
    EXPECT_EQ(name(9), QStringLiteral("p14.bmp"));
    view()->VScroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view()->VScroll1()->value(), 15);
    view()->VScroll1()->setValue(20);
    EXPECT_EQ(name(2), QStringLiteral("p22.bmp"));
    EXPECT_TRUE(name(3).isEmpty());
    EXPECT_FALSE(view()->Image1(3)->isVisibleTo(view()));
}

TEST_F(OrganiserTest, PageChangeEndsTheSelectionAndKeepsMemosApart) {
    writePictures(23);
    dir.write(QStringLiteral("p02.TXT"), "two\r\n");
    start();
    clickPicture(2);
    typeMemo(QStringLiteral("more"));
    view()->VScroll1()->setValue(10);
    EXPECT_EQ(m().CurCell, 0);
    EXPECT_EQ(view()->Shape1(2)->borderWidth(), 1);
    EXPECT_EQ(view()->text1Colour(2), QColor(Qt::black));
    EXPECT_TRUE(memo()->text().isEmpty());
    // The pending edit went to the memo it belonged to before the text was cleared.
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    clickPicture(4);
    // The next selection does not write the cleared text over anything.
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    EXPECT_FALSE(dir.exists(QStringLiteral("p14.TXT")));
    EXPECT_EQ(m().MemoFileName, QStringLiteral("p14.TXT"));
}

TEST_F(OrganiserTest, ReloadAtPageZeroKeepsSelectionButThinsFrames) {
    writePictures(3);
    start();
    clickPicture(1);
    // A new file after the selected one leaves cell 1 showing the file selected there.
    dir.writePicture(QStringLiteral("q.bmp"), 4, 4);
    press("ResetBotton");
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("4"));
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p01.bmp"));
    EXPECT_EQ(view()->Shape1(1)->borderWidth(), 1);
    EXPECT_EQ(name(3), QStringLiteral("q.bmp"));
}

TEST_F(OrganiserTest, CtrlNPutsThePathAndTypedNameBecomesCurrent) {
    writePictures(1);
    start();
    clickPicture(0);
    typeName(0, QStringLiteral("typed.bmp"));
    trigger("ItemCopy_1");
    // The path as the system writes it: C:\...\typed.bmp on Windows.
    EXPECT_EQ(clip.textData, nativePath(dir.path() + QStringLiteral("typed.bmp")));
    EXPECT_EQ(m().CurFileName, QStringLiteral("typed.bmp"));
}

TEST_F(OrganiserTest, ClearCheckMarkDecidesWhetherCopiesAccumulate) {
    writePictures(1);
    start();
    clickPicture(0);
    const int clearsBefore = clip.clears;
    trigger("ItemCopy_1");
    EXPECT_EQ(clip.clears, clearsBefore + 1);
    EXPECT_FALSE(clip.image.has_value());
    trigger("ItemClear");
    EXPECT_FALSE(view()->ItemClear()->isChecked());
    trigger("ItemCopy_0");
    trigger("ItemCopy_1");
    EXPECT_EQ(clip.clears, clearsBefore + 1);
    EXPECT_TRUE(clip.image.has_value());
    EXPECT_TRUE(clip.textData.has_value());
}

TEST_F(OrganiserTest, IconGoesThroughPicture1AsABitmapOfTheBox) {
    dir.writePicture(QStringLiteral("sea.Ico"), 16, 16, Qt::red);
    start();
    clickPicture(0);
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), view()->Picture1()->size());
    EXPECT_EQ(QColor(clip.image->pixel(2, 2)), QColor(Qt::red));
    // Outside the icon the box's grey background shows.
    EXPECT_EQ(QColor(clip.image->pixel(clip.image->width() - 1, clip.image->height() - 1)),
              QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(OrganiserTest, ClipboardHeldElsewhereStillCompletesTheSelection) {
    writePictures(2);
    dir.write(QStringLiteral("p01.TXT"), "memo\r\n");
    clip.heldByOther = true;
    start();
    clickPicture(1);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p01.bmp"));
    EXPECT_EQ(memo()->text(), QStringLiteral("memo\r\n"));
    EXPECT_TRUE(memo()->caption().startsWith(QStringLiteral("p01.TXT ")));
    EXPECT_TRUE(memo()->caption().contains(QStringLiteral("コピーできませんでした")));
}

TEST_F(OrganiserTest, CellWithoutAPictureCopiesNothing) {
    writePictures(2);
    dir.write(QStringLiteral("p00.bmp"), "damaged");
    start();
    clickPicture(0);
    EXPECT_FALSE(clip.image.has_value());
    EXPECT_EQ(m().CurFileName, QStringLiteral("p00.bmp"));
    EXPECT_TRUE(memo()->caption().contains(QStringLiteral("コピーできませんでした")));
    clickPicture(1);
    EXPECT_TRUE(clip.image.has_value());
    EXPECT_EQ(memo()->caption(), QStringLiteral("p01.TXT"));
}

// The selection ends with the page, the folder, or a reload that moves the selected file out
// of its cell: delete and copy then act on nothing until the user selects again.
// (Ctrl+I selects the current cell anew, so it copies what that cell shows.)
class SelectionEndTest : public OrganiserTest {
protected:
    void expectNoSelection() {
        EXPECT_TRUE(m().CurFileName.isEmpty());
        EXPECT_TRUE(m().MemoFileName.isEmpty());
        EXPECT_TRUE(m().MemoPath.isEmpty());
        const QStringList before = dir.names();
        press("DelFcommand");
        EXPECT_EQ(dir.names(), before);
    }
};

TEST_F(SelectionEndTest, DeleteAfterAPageChangeTouchesNoFile) {
    writePictures(13);
    dir.write(QStringLiteral("p02.TXT"), "two\r\n");
    start();
    clickPicture(2);
    typeMemo(QStringLiteral("more"));
    view()->VScroll1()->setValue(10);
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    EXPECT_TRUE(m().CurFileName.isEmpty());
    EXPECT_TRUE(m().MemoFileName.isEmpty());
    press("DelFcommand");
    EXPECT_EQ(dir.names().size(), 14);
    EXPECT_EQ(name(0), QStringLiteral("p10.bmp"));
    EXPECT_TRUE(view()->Image1(0)->hasPicture());
    // Typing into the emptied memo window writes over no memo of the page left behind.
    typeMemo(QStringLiteral("stray"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    // A new selection aims the commands again.
    clickPicture(3);
    press("DelFcommand");
    EXPECT_FALSE(dir.exists(QStringLiteral("p13.bmp")));
}

TEST_F(SelectionEndTest, FolderChangeEndsTheSelection) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dir.write(QStringLiteral("sea.TXT"), "here\r\n");
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    dir.writePicture(QStringLiteral("other/sea.jpg"), 8, 8);
    dir.write(QStringLiteral("other/sea.TXT"), "there\r\n");
    start();
    clickPicture(0);
    auto* dirList = org->setDir()->findChild<platform::DirList*>(QStringLiteral("Dir1"));
    ASSERT_NE(dirList, nullptr);
    ASSERT_TRUE(dirList->setPath(dir.path() + QStringLiteral("other")));
    org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ASSERT_EQ(m().ImageDir, nativeFolder(dir.path() + QStringLiteral("other/")));
    EXPECT_EQ(name(0), QStringLiteral("sea.jpg"));
    expectNoSelection();
    EXPECT_TRUE(dir.exists(QStringLiteral("other/sea.jpg")));
    EXPECT_TRUE(dir.exists(QStringLiteral("other/sea.TXT")));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.jpg")));
}

TEST_F(SelectionEndTest, ReloadThatMovesTheSelectedFileEndsTheSelection) {
    writePictures(3);
    start();
    clickPicture(1);
    ASSERT_EQ(m().CurFileName, QStringLiteral("p01.bmp"));
    QFile::remove(dir.file(QStringLiteral("p00.bmp"))); // another program took it
    press("ResetBotton");
    EXPECT_EQ(name(1), QStringLiteral("p02.bmp"));
    EXPECT_EQ(view()->text1Colour(1), QColor(Qt::black));
    expectNoSelection();
    EXPECT_TRUE(dir.exists(QStringLiteral("p02.bmp")));
}
