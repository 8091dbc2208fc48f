// Rename, delete and copy to the destination, checked on disk.
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>

using namespace testing_support;
using namespace tarvo;

namespace {
const QColor kRed(0xF0, 0, 0);
}

class RenameTest : public OrganiserTest {
protected:
    // Selects cell 0 showing pictureName (with memo text when given), types typed and
    // applies it with the rename button.
    void renameFirst(const QString& pictureName, const QString& typed,
                     const QByteArray& memoText = {}) {
        dir.writePicture(pictureName, 8, 8);
        if (!memoText.isEmpty())
            dir.write(pictureName.left(pictureName.indexOf(QLatin1Char('.'))) +
                          QStringLiteral(".TXT"),
                      memoText);
        start();
        clickPicture(0);
        typeName(0, typed);
        press("CNcommand");
    }
};

TEST_F(RenameTest, NewNameKeepsTheExtensionAndTheMemoFollows) {
    renameFirst(QStringLiteral("sea.jpg"), QStringLiteral("beach.png"), "waves\r\n");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("beach.TXT"), QStringLiteral("beach.jpg")}));
    EXPECT_EQ(m().FileNames[0], QStringLiteral("beach.jpg"));
    EXPECT_EQ(name(0), QStringLiteral("beach.png"));
    EXPECT_EQ(memo()->caption(), QStringLiteral("beach.TXT"));
    EXPECT_EQ(m().NameEdited, 0);
}

TEST_F(RenameTest, NameWithoutADot) {
    renameFirst(QStringLiteral("sea.jpg"), QStringLiteral("beach"), "x\r\n");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("beach.TXT"), QStringLiteral("beach.jpg")}));
}

TEST_F(RenameTest, SeveralDotsInTheOldName) {
    renameFirst(QStringLiteral("a.b.jpg"), QStringLiteral("cat"), "x\r\n");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("cat.TXT"), QStringLiteral("cat.b.jpg")}));
}

TEST_F(RenameTest, EmptiedFieldGivesTheBareExtension) {
    renameFirst(QStringLiteral("sea.jpg"), QString());
    EXPECT_TRUE(dir.exists(QStringLiteral(".jpg")));
    EXPECT_FALSE(dir.exists(QStringLiteral("sea.jpg")));
}

TEST_F(RenameTest, ExistingNameIsNeverReplaced) {
    dir.writePicture(QStringLiteral("taken.jpg"), 3, 3, Qt::blue);
    const QByteArray taken = dir.read(QStringLiteral("taken.jpg"));
    renameFirst(QStringLiteral("sea.jpg"), QStringLiteral("taken"));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.jpg")));
    EXPECT_EQ(dir.read(QStringLiteral("taken.jpg")), taken);
    EXPECT_EQ(m().FileNames[0], QStringLiteral("sea.jpg"));
    EXPECT_EQ(m().NameEdited, 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(RenameTest, CaseOnlyChangeRenames) {
    renameFirst(QStringLiteral("Sea.jpg"), QStringLiteral("sea"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("sea.jpg")}));
}

TEST_F(RenameTest, PathSeparatorIsRefusedAndNothingMoves) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    renameFirst(QStringLiteral("sea.jpg"), QStringLiteral("sub/x"));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.jpg")));
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("sub"))).isEmpty());
    EXPECT_EQ(m().NameEdited, 0);
}

TEST_F(RenameTest, NameTypedWithEnterIsRefused) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    start();
    clickPicture(0);
    typeName(0, QStringLiteral("beach"));
    QTest::keyClick(view()->Text1(0), Qt::Key_Return);
    press("CNcommand");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("sea.jpg")}));
}

TEST_F(RenameTest, MemoStaysWhenTheMemoWindowIsEmpty) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    start();
    clickPicture(0);
    dir.write(QStringLiteral("sea.TXT"), "written after the load\r\n");
    typeName(0, QStringLiteral("beach"));
    press("CNcommand");
    EXPECT_TRUE(dir.exists(QStringLiteral("beach.jpg")));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.TXT")));
}

TEST_F(OrganiserTest, DeleteRemovesPictureAndMemoAndEmptiesTheCell) {
    writePictures(13);
    dir.write(QStringLiteral("p12.TXT"), "memo\r\n");
    start();
    view()->VScroll1()->setValue(10);
    clickPicture(2);
    press("DelFcommand");
    EXPECT_FALSE(dir.exists(QStringLiteral("p12.bmp")));
    EXPECT_FALSE(dir.exists(QStringLiteral("p12.TXT")));
    EXPECT_TRUE(m().FileNames[12].isEmpty());
    EXPECT_TRUE(name(2).isEmpty());
    EXPECT_TRUE(label(2).isEmpty());
    EXPECT_FALSE(view()->Image1(2)->hasPicture());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("13"));
    EXPECT_EQ(m().NameEdited, 1);
    // A second press finds nothing and clears the same cell again; nothing else goes.
    press("DelFcommand");
    EXPECT_EQ(dir.names().size(), 12);
    // The next selection runs the pending rename, which finds nothing to rename.
    clickPicture(0);
    EXPECT_EQ(dir.names().size(), 12);
}

TEST_F(OrganiserTest, DeleteBeforeAnySelectionDoesNothing) {
    writePictures(2);
    start();
    press("DelFcommand");
    EXPECT_EQ(dir.names().size(), 2);
    EXPECT_EQ(name(0), QStringLiteral("p00.bmp"));
}

TEST_F(OrganiserTest, CopyToDestinationTakesTheMemoAndTurnsTheNameRed) {
    TestFolder dest;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dir.write(QStringLiteral("sea.TXT"), "memo\r\n");
    dest.write(QStringLiteral("sea.jpg"), "old content to replace");
    start();
    m().CopyDir = dest.path();
    QTest::mouseDClick(view()->Image1(0), Qt::LeftButton);
    EXPECT_EQ(dest.read(QStringLiteral("sea.jpg")), dir.read(QStringLiteral("sea.jpg")));
    EXPECT_EQ(dest.read(QStringLiteral("sea.TXT")), QByteArray("memo\r\n"));
    EXPECT_EQ(view()->text1Colour(0), kRed);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(OrganiserTest, CopyWithoutMemoAndCtrlIBeforeAnyChoiceLandsInTheCurrentFolder) {
    TestFolder here;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    start();
    clickPicture(0);
    {
        CurrentDir elsewhere(here.path());
        trigger("ItemFileCopy");
    }
    EXPECT_EQ(here.names(), QStringList({QStringLiteral("sea.jpg")}));
    EXPECT_EQ(view()->text1Colour(0), kRed);
}

TEST_F(OrganiserTest, CopyOntoItselfKeepsTheFile) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    const QByteArray original = dir.read(QStringLiteral("sea.jpg"));
    start();
    m().CopyDir = dir.path();
    trigger("ItemFileCopy");
    EXPECT_EQ(dir.read(QStringLiteral("sea.jpg")), original);
    EXPECT_EQ(view()->text1Colour(0), kRed);
}

TEST_F(OrganiserTest, FailedCopyTellsTheUserAndLeavesTheNameBlue) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    start();
    m().CopyDir = dir.path() + QStringLiteral("gone/");
    trigger("ItemFileCopy");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.contains(QStringLiteral("sea.jpg")));
    EXPECT_EQ(view()->text1Colour(0), QColor(0, 0, 255));
}
