// The main window: browsing a folder, selecting cells and the end of a selection, the clipboard
// copies every selection makes, memos, and paging by keys and wheel.
#include "organiser/browser/cellrules.h"
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"
#include "support/unprivileged.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWheelEvent>

using namespace testing_support;
using namespace tarvo;
using platform::nativeFolder;
using platform::nativePath;

TEST_F(OrganiserTest, ClickOnAPictureMarksItCopiesItAndLoadsItsMemo) {
    dir.writePicture(QStringLiteral("a.bmp"), 40, 30, Qt::green);
    dir.writePicture(QStringLiteral("sea.bmp"), 640, 480, Qt::blue);
    dir.write(QStringLiteral("sea.TXT"), "blue water\r\n");
    start();
    clickPicture(1);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(view()->Shape1(1)->borderWidth(), 3);
    EXPECT_EQ(view()->Shape1(0)->borderWidth(), 1);
    EXPECT_EQ(view()->text1Colour(1), QColor(0, 0, 255));
    EXPECT_EQ(m().CurFileName, QStringLiteral("sea.bmp"));
    // The whole picture, not the thumbnail the cell shows.
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(640, 480));
    EXPECT_EQ(QColor(clip.image->pixel(320, 240)), QColor(Qt::blue));
    EXPECT_EQ(memo()->caption(), QStringLiteral("sea.TXT"));
    EXPECT_EQ(memo()->text(), QStringLiteral("blue water\r\n"));
    EXPECT_EQ(m().MemoDirty, 0);
    // The first selection ran the rename the start-up's name filling made pending.
    EXPECT_EQ(m().NameEdited, 0);
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.bmp")));
    // An empty cell cannot be selected, but the typed name is applied.
    typeName(1, QStringLiteral("renamed"));
    clickName(5);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_TRUE(dir.exists(QStringLiteral("renamed.bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("renamed.TXT")));
}

TEST_F(OrganiserTest, SelectionSavesThePendingMemoThenRenamesBeforeMarking) {
    writePictures(3);
    start();
    clickPicture(0);
    typeMemo(QStringLiteral("note"));
    typeName(0, QStringLiteral("first"));
    clickPicture(2);
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("first.TXT"), QStringLiteral("first.bmp"),
                                        QStringLiteral("p01.bmp"), QStringLiteral("p02.bmp")}));
    EXPECT_EQ(dir.read(QStringLiteral("first.TXT")), QByteArray("note\r\n"));
    EXPECT_EQ(m().CurCell, 2);
    EXPECT_EQ(m().FileNames[0], QStringLiteral("first.bmp"));
}

// The selection ends with the page, the folder, or a reload that moves the selected file out
// of its cell: delete and copy then act on nothing until the user selects again.
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

TEST_F(SelectionEndTest, APageChangeSavesTheMemoAndEndsTheSelection) {
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
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    expectNoSelection();
    EXPECT_EQ(name(0), QStringLiteral("p10.bmp"));
    // Typing into the emptied memo window writes over no memo of the page left behind.
    typeMemo(QStringLiteral("stray"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p02.TXT")), QByteArray("two\r\nmore\r\n"));
    // A new selection aims the commands again.
    clickPicture(4);
    EXPECT_EQ(m().MemoFileName, QStringLiteral("p14.TXT"));
    EXPECT_FALSE(dir.exists(QStringLiteral("p14.TXT")));
    press("DelFcommand");
    EXPECT_FALSE(dir.exists(QStringLiteral("p14.bmp")));
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
    expectNoSelection();
    EXPECT_EQ(dir.names().size(), 2);
    EXPECT_TRUE(dir.exists(QStringLiteral("other/sea.jpg")));
    EXPECT_TRUE(dir.exists(QStringLiteral("other/sea.TXT")));
}

TEST_F(SelectionEndTest, AReloadKeepsTheSelectionOnlyWhileItsFileStaysInItsCell) {
    writePictures(3);
    start();
    clickPicture(1);
    dir.writePicture(QStringLiteral("q.bmp"), 4, 4); // after the selected one
    press("ResetBotton");
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("4"));
    EXPECT_EQ(m().CurFileName, QStringLiteral("p01.bmp"));
    EXPECT_EQ(view()->Shape1(1)->borderWidth(), 1); // the frame is thinned all the same
    EXPECT_EQ(name(3), QStringLiteral("q.bmp"));
    QFile::remove(dir.file(QStringLiteral("p00.bmp"))); // another program took it
    press("ResetBotton");
    EXPECT_EQ(name(1), QStringLiteral("p02.bmp"));
    EXPECT_EQ(view()->text1Colour(1), QColor(Qt::black));
    expectNoSelection();
}

TEST_F(OrganiserTest, CtrlNCopiesThePathAndTheClearMarkDecidesWhetherCopiesAccumulate) {
    writePictures(1);
    start();
    clickPicture(0);
    typeName(0, QStringLiteral("typed.bmp"));
    const int clearsBefore = clip.clears;
    trigger("ItemCopy_1");
    // The path as the system writes it, with the typed name, which becomes current.
    EXPECT_EQ(clip.textData, nativePath(dir.path() + QStringLiteral("typed.bmp")));
    EXPECT_EQ(m().CurFileName, QStringLiteral("typed.bmp"));
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

TEST_F(OrganiserTest, AFailedCopyStillCompletesTheSelectionAndIsTold) {
    writePictures(3);
    dir.write(QStringLiteral("p01.TXT"), "memo\r\n");
    dir.write(QStringLiteral("p02.bmp"), "damaged");
    clip.heldByOther = true;
    start();
    clickPicture(1);
    EXPECT_EQ(m().CurFileName, QStringLiteral("p01.bmp"));
    EXPECT_EQ(memo()->text(), QStringLiteral("memo\r\n"));
    EXPECT_TRUE(memo()->caption().startsWith(QStringLiteral("p01.TXT ")));
    EXPECT_TRUE(memo()->caption().endsWith(QStringLiteral("コピーできませんでした）")));
    clip.heldByOther = false;
    clickPicture(2);
    EXPECT_FALSE(clip.image.has_value());
    EXPECT_EQ(m().CurCell, 2);
    EXPECT_TRUE(memo()->caption().contains(QStringLiteral("コピーできませんでした")));
    clickPicture(0);
    EXPECT_TRUE(clip.image.has_value());
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT"));
}

TEST_F(OrganiserTest, TwentyThreeFilesGiveThreePagesInCaseInsensitiveOrder) {
    writePictures(21);
    dir.writePicture(QStringLiteral("A.GIF"), 4, 4);
    dir.writePicture(QStringLiteral("b.JPG"), 4, 4);
    dir.writePicture(QStringLiteral(".hidden.bmp"), 4, 4);
    dir.write(QStringLiteral("skip.png"), "png is not in the mask");
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    start();
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("23"));
    EXPECT_EQ(view()->VScroll1()->maximum(), 20);
    EXPECT_EQ(name(0), QStringLiteral("A.GIF"));
    EXPECT_EQ(name(1), QStringLiteral("b.JPG"));
    EXPECT_EQ(name(2), QStringLiteral("p00.bmp"));
    EXPECT_EQ(m().FileNames[22], QStringLiteral("p20.bmp"));
    EXPECT_TRUE(m().FileNames[23].isEmpty());
    view()->VScroll1()->setValue(20);
    EXPECT_EQ(name(2), QStringLiteral("p20.bmp"));
    EXPECT_TRUE(name(3).isEmpty());
    EXPECT_FALSE(view()->Image1(3)->isVisibleTo(view()));
}

TEST_F(OrganiserTest, CellsShowSizeAndAShrunkCentredPicture) {
    // 300 × 150 pixels is 4500 × 2250 twips at 15 twips a pixel: wider than the cell.
    dir.writePicture(QStringLiteral("wide.bmp"), 300, 150);
    dir.writePicture(QStringLiteral("zsmall.bmp"), 20, 10);
    start();
    EXPECT_EQ(label(0), sizeLabel(QFileInfo(dir.file(QStringLiteral("wide.bmp"))).size()));
    PictureView* wide = view()->Image1(0);
    EXPECT_TRUE(wide->hasPicture());
    EXPECT_TRUE(wide->stretch());
    EXPECT_NEAR(wide->widthTwips(), m().CellWidth, 15);
    EXPECT_NEAR(wide->heightTwips(), m().CellHeight / 2.0, 15);
    EXPECT_NEAR(wide->leftTwips(), m().CellLeft[0], 15);
    EXPECT_NEAR(wide->topTwips() + wide->heightTwips() / 2, m().CellTop[0] + m().CellHeight / 2.0,
                15);
    // A small picture keeps its size and sits in the middle of its cell.
    PictureView* small = view()->Image1(1);
    EXPECT_NEAR(small->widthTwips(), 300, 1);
    EXPECT_NEAR(small->heightTwips(), 150, 1);
    EXPECT_NEAR(small->leftTwips(), m().CellLeft[1] + (m().CellWidth - 300) / 2.0, 15);
}

TEST_F(OrganiserTest, PictureThatCannotBeShownSetsTheMemoCaption) {
    dir.write(QStringLiteral("broken.jpg"), QByteArray(5000, 'x'));
    dir.write(QStringLiteral("empty.bmp"), QByteArray());
    dir.writePicture(QStringLiteral("good.bmp"), 10, 10);
    start();
    EXPECT_EQ(memo()->caption(), QStringLiteral("このファイルは表示不可能なプロパティイです｡"));
    EXPECT_FALSE(memo()->isVisible());
    // The failed cell still shows its size and stays clickable, with no picture.
    EXPECT_EQ(label(0), QStringLiteral("5.KB"));
    EXPECT_TRUE(view()->Image1(0)->isVisibleTo(view()));
    EXPECT_FALSE(view()->Image1(0)->hasPicture());
    EXPECT_EQ(label(1), QStringLiteral("0.KB"));
    EXPECT_FALSE(view()->Image1(1)->hasPicture());
    EXPECT_TRUE(view()->Image1(2)->hasPicture());
}

TEST_F(OrganiserTest, MemoButtonAndTheFrameCloseShowAndHideTheMemoWindow) {
    start();
    press("dsptxt");
    EXPECT_TRUE(memo()->isVisible());
    EXPECT_EQ(m().MemoShown, 1);
    press("dsptxt");
    EXPECT_FALSE(memo()->isVisible());
    EXPECT_EQ(m().MemoShown, 0);
    press("dsptxt");
    memo()->close();
    EXPECT_EQ(m().MemoShown, 0);
    press("dsptxt");
    EXPECT_TRUE(memo()->isVisible());
    trigger("ItemEnd");
    EXPECT_EQ(endCalls, 1);
}

TEST_F(OrganiserTest, MenuKeysWinOverTheNameFieldAndOtherKeysStayWithIt) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4);
    start();
    clickPicture(0);
    QApplication::setActiveWindow(view()); // shortcuts go to the active window only
    QPlainTextEdit* field = view()->Text1(0);
    field->setFocus();
    field->selectAll();
    // Ctrl+N is the menu's file name copy: the field keeps its text.
    QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(clip.textData.has_value());
    EXPECT_TRUE(clip.textData->endsWith(QStringLiteral("a.bmp")));
    EXPECT_EQ(field->toPlainText(), QStringLiteral("a.bmp"));
    // Ctrl+C is the field's own copy too; the menu's picture copy wins.
    clip.image.reset();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clip.image.has_value());
    // Ctrl+A is no menu key: the field selects its text.
    field->moveCursor(QTextCursor::End);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(field->textCursor().hasSelection());
}

TEST_F(OrganiserTest, TypedMemoIsSavedByTheNextSelectionOrTheSaveButton) {
    writePictures(2);
    start();
    press("dsptxt");
    clickPicture(0);
    press("TSave"); // nothing typed: nothing written, no mark
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT"));
    EXPECT_FALSE(dir.exists(QStringLiteral("p00.TXT")));
    typeMemo(QStringLiteral("abc"));
    EXPECT_EQ(m().MemoDirty, 1);
    memo()->close(); // the frame close keeps the pending edit
    clickPicture(1);
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("abc\r\n"));
    // Loading it again shows the line end; each save adds one more and marks the caption.
    clickPicture(0);
    EXPECT_EQ(memo()->text(), QStringLiteral("abc\r\n"));
    memo()->Etxt()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo()->Etxt(), QStringLiteral("X"));
    press("TSave");
    typeMemo(QStringLiteral("b"));
    press("TSave");
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("Xabc\r\nb\r\n"));
    EXPECT_EQ(memo()->caption(), QStringLiteral("p00.TXT (保存)  (保存) "));
}

TEST_F(OrganiserTest, MemoItemsAndShiftJisAreReadAndWrittenBack) {
    const struct {
        QByteArray file;
        QString shown;
        QString typed;
        QByteArray saved;
    } cases[] = {
        {"a,b\r\n\"x, y\"\r\n\r\nend\r\n", QStringLiteral("a\r\nb\r\nx, y\r\n\r\nend\r\n"),
         QStringLiteral("!"), "a\r\nb\r\nx, y\r\n\r\nend\r\n!\r\n"},
        // "海" and "山" in Shift-JIS, then "空".
        {"\x8a\x43\r\n\x8e\x52\r\n", QStringLiteral("海\r\n山\r\n"), QStringLiteral("空"),
         "\x8a\x43\r\n\x8e\x52\r\n\x8b\xf3\r\n"},
    };
    writePictures(2);
    start();
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const QString memoName = QStringLiteral("p0%1.TXT").arg(k);
        dir.write(memoName, cases[k].file);
        clickPicture(k);
        EXPECT_EQ(memo()->text(), cases[k].shown);
        typeMemo(cases[k].typed);
        press("TSave");
        EXPECT_EQ(dir.read(memoName), cases[k].saved);
    }
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

TEST_F(OrganiserTest, KeysOnTheFocusedBarAndTheWheelOverTheCellsTurnThePage) {
    writePictures(33); // scroll maximum 30
    start();
    view()->show();
    view()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view()));
    QScrollBar* bar = view()->VScroll1();
    // The page shown is the one the bar's value names, the selection ended by the change.
    auto expectPage = [&](int start) {
        EXPECT_EQ(bar->value(), start);
        EXPECT_EQ(name(0), QStringLiteral("p%1.bmp").arg(start, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(view()->Shape1(m().CurCell)->borderWidth(), 1);
    };
    auto wheel = [](QWidget* over, int delta) {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &e);
    };
    // Tab reaches the bar from the last name field.
    view()->Text1(9)->setFocus();
    for (int k = 0; k < 30 && !bar->hasFocus(); ++k)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(bar->hasFocus());

    clickPicture(2); // a selection, which every page change ends
    bar->setFocus();
    const struct {
        Qt::Key key;
        int page;
    } steps[] = {{Qt::Key_Down, 5}, {Qt::Key_PageDown, 15}, {Qt::Key_Up, 10},
                 {Qt::Key_End, 30}, {Qt::Key_Down, 30},     {Qt::Key_PageUp, 20},
                 {Qt::Key_Home, 0}, {Qt::Key_Up, 0},        {Qt::Key_PageDown, 10}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.key);
        QTest::keyClick(bar, s.key);
        expectPage(s.page);
        EXPECT_TRUE(bar->hasFocus()); // the page change leaves the focus where it was
    }
    // A notch down over a picture, over a name field and over the bar: 5 each; up again.
    wheel(view()->Image1(3), -120);
    expectPage(15);
    wheel(view()->Text1(7)->viewport(), -120);
    expectPage(20);
    wheel(bar, 120);
    expectPage(15);
    // A touchpad's small deltas page once they add up to a notch.
    wheel(view()->Image1(0), -60);
    expectPage(15);
    wheel(view()->Image1(0), -60);
    expectPage(20);
}

TEST_F(OrganiserTest, AnUnlistableStartFolderIsReportedOnceAndAListableOneIsNot) {
    auto startIn = [&](const QString& folder) {
        cwd.reset(); // back to where the test began before the next folder is entered
        cwd = std::make_unique<CurrentDir>(folder);
        org = std::make_unique<tarvo::Organiser>(Services{&files, &clip, &box, nullptr});
        org->start();
    };
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    const QString closed = dir.path() + QStringLiteral("closed");
    ASSERT_TRUE(QDir().mkdir(closed));
    dir.writePicture(QStringLiteral("closed/a.bmp"), 8, 8);
    QFile::setPermissions(closed, QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ExeOther); // entered, not listed
    {
        Unprivileged nobody;
        if (!nobody.active())
            GTEST_SKIP() << "root cannot give up its rights here";
        startIn(closed);
    }
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.startsWith(QStringLiteral("ファイルの一覧を読めません。\n")));
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ディレクトリ指定"));
    EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Warning);
    EXPECT_EQ(m().FileNames[0], QString());
    org.reset();
    box.shown.clear();
    writePictures(2);
    startIn(dir.path());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(m().FileNames[1], QStringLiteral("p01.bmp"));
}
