// Browsing a folder: start-up, the first page, cell rendering and the memo window toggle.
#include "organiser/browser/cellrules.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>

using namespace testing_support;
using namespace tarvo;
using platform::nativeFolder;

namespace {
const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");
}

TEST_F(OrganiserTest, EmptyFolderShowsNothingAndCountsZero) {
    dir.write(QStringLiteral("notes.txt"), "not a picture");
    start();
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    EXPECT_EQ(view()->VScroll1()->maximum(), 0);
    for (int i = 0; i < kCells; ++i) {
        EXPECT_TRUE(name(i).isEmpty());
        EXPECT_TRUE(label(i).isEmpty());
        EXPECT_FALSE(view()->Image1(i)->isVisibleTo(view()));
    }
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(view()->Directory()->text(), nativeFolder(dir.path()));
    // Filling the name fields counts as an edit.
    EXPECT_EQ(m().NameEdited, 1);
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
}

TEST_F(OrganiserTest, CellsShowSizeAndAShrunkCentredPicture) {
    // 300 × 150 pixels is 4500 × 2250 twips at 15 twips a pixel: wider than the cell.
    dir.writePicture(QStringLiteral("wide.bmp"), 300, 150);
    dir.writePicture(QStringLiteral("zsmall.bmp"), 20, 10);
    start();
    const qint64 bytes = QFileInfo(dir.file(QStringLiteral("wide.bmp"))).size();
    EXPECT_EQ(label(0), sizeLabel(bytes));
    PictureView* wide = view()->Image1(0);
    EXPECT_TRUE(wide->isVisibleTo(view()));
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
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
    EXPECT_FALSE(memo()->isVisible());
    // The failed cell still shows its size and stays clickable, with no picture.
    EXPECT_EQ(name(0), QStringLiteral("broken.jpg"));
    EXPECT_EQ(label(0), QStringLiteral("5.KB"));
    EXPECT_TRUE(view()->Image1(0)->isVisibleTo(view()));
    EXPECT_FALSE(view()->Image1(0)->hasPicture());
    EXPECT_EQ(label(1), QStringLiteral("0.KB"));
    EXPECT_FALSE(view()->Image1(1)->hasPicture());
    EXPECT_TRUE(view()->Image1(2)->hasPicture());
}

TEST_F(OrganiserTest, NameGoneFromDiskKeepsThePreviousSizeLabel) {
    writePictures(2);
    start();
    const QString before = label(1);
    ASSERT_FALSE(before.isEmpty());
    QFile::remove(dir.file(QStringLiteral("p01.bmp")));
    view()->Dsp_Image(1);
    EXPECT_EQ(label(1), before);
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
}

TEST_F(OrganiserTest, JapaneseAndOddNamesAreListedAndShown) {
    dir.writePicture(QStringLiteral("海の 写真.v2.JPG"), 30, 20);
    dir.writePicture(QStringLiteral("a b.c.d.gif"), 30, 20);
    start();
    EXPECT_EQ(name(0), QStringLiteral("a b.c.d.gif"));
    EXPECT_EQ(name(1), QStringLiteral("海の 写真.v2.JPG"));
    EXPECT_TRUE(view()->Image1(0)->hasPicture());
    EXPECT_TRUE(view()->Image1(1)->hasPicture());
}

TEST_F(OrganiserTest, MemoButtonShowsAndHidesTheMemoWindow) {
    start();
    press("dsptxt");
    EXPECT_TRUE(memo()->isVisible());
    EXPECT_EQ(m().MemoShown, 1);
    press("dsptxt");
    EXPECT_FALSE(memo()->isVisible());
    EXPECT_EQ(m().MemoShown, 0);
    // The frame close hides it too and the button shows it again with one press.
    press("dsptxt");
    memo()->close();
    EXPECT_EQ(m().MemoShown, 0);
    press("dsptxt");
    EXPECT_TRUE(memo()->isVisible());
}

TEST_F(OrganiserTest, MainWindowCarriesItsDesignedTexts) {
    start();
    EXPECT_EQ(view()->windowTitle(), QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]"));
    const std::pair<const char*, const char*> buttons[] = {
        {"SetSDir", "画像ﾌｫﾙﾀﾞ"},    {"CNcommand", "ﾌｧｲﾙ名変更"}, {"TSave", "メモ保存"},
        {"TDcommand", "Copy先設定"}, {"Paint", "Paint"},          {"DelFcommand", "削 除"},
        {"DspClip_com", "画像表示"}, {"dsptxt", "メモ表示"},      {"ResetBotton", "再表示"},
        {"EndBottun", "END"},        {"Small_Com", "縮小表示"},
    };
    for (const auto& [objectName, caption] : buttons) {
        auto* b = view()->findChild<QPushButton*>(QLatin1String(objectName));
        ASSERT_NE(b, nullptr) << objectName;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption));
    }
    auto* copy = view()->findChild<QAction*>(QStringLiteral("ItemCopy_0"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_TRUE(view()->ItemClear()->isChecked());
}

TEST(InitImageDir, RootKeepsOneSlash) {
    CurrentDir cwd(QStringLiteral("/"));
    FakeMessageBox box;
    FakeClipboard clip;
    Organiser org(Services{nullptr, &clip, &box, nullptr});
    InitImageDir(org);
    // The root as the system writes it: "/", or "C:\" on Windows.
    EXPECT_EQ(org.m().ImageDir, nativeFolder(rootFolder()));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^(/|[A-Z]:\\\\)$")).match(org.m().ImageDir).hasMatch())
        << org.m().ImageDir.toStdString();
}

TEST_F(OrganiserTest, EndingThroughTheMenuOrTheCloseBoxEndsAtOnce) {
    start();
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
    // Ctrl+N is the menu's file name copy: the path goes to the clipboard, the field keeps
    // its text (the field's own Ctrl+N would do nothing or edit it).
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
