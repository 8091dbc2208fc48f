// Rename, delete and copy to the destination, checked on disk.
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>

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

TEST_F(RenameTest, EmptiedFieldOrLeadingDotIsRefusedSoThePictureStaysListed) {
    renameFirst(QStringLiteral("sea.jpg"), QString(), "waves\r\n");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("sea.TXT"), QStringLiteral("sea.jpg")}));
    EXPECT_EQ(m().NameEdited, 0);
    typeName(0, QStringLiteral(".hidden"));
    press("CNcommand");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("sea.TXT"), QStringLiteral("sea.jpg")}));
    press("ResetBotton");
    EXPECT_EQ(name(0), QStringLiteral("sea.jpg"));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(RenameTest, MemoNameOfAnotherPictureRefusesTheWholeRename) {
    // cat.jpg to "beach" while beach.TXT belongs to beach.gif: nothing moves, with the memo
    // window holding cat's memo or not.
    dir.writePicture(QStringLiteral("beach.gif"), 4, 4);
    dir.write(QStringLiteral("beach.TXT"), "beach's own\r\n");
    dir.writePicture(QStringLiteral("cat.jpg"), 8, 8);
    dir.write(QStringLiteral("cat.TXT"), "cat's memo\r\n");
    start();
    clickPicture(1);
    typeName(1, QStringLiteral("beach"));
    press("CNcommand");
    const QStringList all{QStringLiteral("beach.TXT"), QStringLiteral("beach.gif"),
                          QStringLiteral("cat.TXT"), QStringLiteral("cat.jpg")};
    EXPECT_EQ(dir.names(), all);
    EXPECT_EQ(m().FileNames[1], QStringLiteral("cat.jpg"));
    EXPECT_TRUE(
        memo()->caption().contains(QStringLiteral("同じ名前のメモ beach.TXT が既にあります")));
    EXPECT_EQ(m().NameEdited, 0);
    memo()->setTextByProgram(QString());
    typeName(1, QStringLiteral("beach"));
    press("CNcommand");
    EXPECT_EQ(dir.names(), all);
    EXPECT_EQ(dir.read(QStringLiteral("beach.TXT")), QByteArray("beach's own\r\n"));
    EXPECT_TRUE(files.changes.filter(QStringLiteral("rename")).isEmpty())
        << files.changes.join('\n').toStdString();
}

TEST_F(RenameTest, MemoThatCannotFollowBringsThePictureBack) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dir.write(QStringLiteral("sea.TXT"), "waves\r\n");
    files.failing[dir.file(QStringLiteral("sea.TXT"))] = EBUSY;
    start();
    clickPicture(0);
    typeName(0, QStringLiteral("beach"));
    press("CNcommand");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("sea.TXT"), QStringLiteral("sea.jpg")}));
    EXPECT_EQ(m().FileNames[0], QStringLiteral("sea.jpg"));
    // The cell still copies its own picture.
    clickPicture(0);
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(clip.image->size(), QSize(8, 8));
}

TEST_F(RenameTest, RenamedCellsPutTheirOwnPicturesOnTheClipboard) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4, Qt::red);
    dir.writePicture(QStringLiteral("b.bmp"), 4, 4, Qt::blue);
    start();
    auto clipColour = [&] { return clip.image ? clip.image->pixelColor(0, 0) : QColor(); };
    auto renameCell = [&](int cell, const QString& typed) {
        clickPicture(cell);
        typeName(cell, typed);
        press("CNcommand");
    };
    renameCell(0, QStringLiteral("c"));
    clickPicture(0);
    EXPECT_EQ(clipColour(), QColor(Qt::red));
    EXPECT_FALSE(memo()->caption().contains(QStringLiteral("コピーできませんでした")));
    // Trade the names: a (red) became c, b (blue) becomes a, c (red) becomes b.
    renameCell(1, QStringLiteral("a"));
    renameCell(0, QStringLiteral("b"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("a.bmp"), QStringLiteral("b.bmp")}));
    clickPicture(1);
    EXPECT_EQ(clipColour(), QColor(Qt::blue));
    clickPicture(0);
    EXPECT_EQ(clipColour(), QColor(Qt::red));
    // A deleted cell has no source left: Ctrl+C puts nothing.
    press("DelFcommand");
    clip.image.reset();
    trigger("ItemCopy_0");
    EXPECT_FALSE(clip.image.has_value());
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

TEST_F(RenameTest, EnterAppliesTheNameWithoutALineEnd) {
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    start();
    clickPicture(0);
    typeName(0, QStringLiteral("beach"));
    QTest::keyClick(view()->Text1(0), Qt::Key_Return);
    press("CNcommand");
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("beach.jpg")}));
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

TEST_F(OrganiserTest, ReadOnlyPictureAndMemoStayAndReappearAfterAReload) {
    // The mode bits decide, also for root: no change of rights is involved.
    writePictures(3);
    dir.write(QStringLiteral("p01.TXT"), "memo\r\n");
    for (const char* n : {"p01.bmp", "p01.TXT"})
        ASSERT_TRUE(QFile::setPermissions(dir.file(QLatin1String(n)),
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    start();
    clickPicture(1);
    press("DelFcommand");
    EXPECT_TRUE(name(1).isEmpty());
    EXPECT_FALSE(view()->Image1(1)->hasPicture());
    EXPECT_TRUE(dir.exists(QStringLiteral("p01.bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("p01.TXT")));
    EXPECT_TRUE(box.shown.empty());
    press("ResetBotton");
    EXPECT_EQ(name(1), QStringLiteral("p01.bmp"));
}

TEST_F(OrganiserTest, DeleteRefusedByTheSystemClearsTheCellAndKeepsTheMemo) {
    // A picture the file service will not delete (read-only attribute, or a folder without
    // write access) stays with its memo; the cell is cleared all the same.
    writePictures(2);
    dir.write(QStringLiteral("p00.TXT"), "memo\r\n");
    files.readOnly << dir.file(QStringLiteral("p00.bmp"));
    files.failing[dir.file(QStringLiteral("p00.TXT"))] = EACCES;
    start();
    clickPicture(0);
    press("DelFcommand");
    EXPECT_TRUE(name(0).isEmpty());
    EXPECT_EQ(dir.names().size(), 3);
    EXPECT_EQ(files.changes.filter(QStringLiteral("remove")).size(), 1);
}

TEST_F(OrganiserTest, DeleteAfterARefusedRenameTakesTheShownPictureNotTheTypedName) {
    // Each typed name is refused (taken), or applied with the old extension kept; the
    // delete then takes the picture the cell shows and its memo, and nothing else.
    for (const QString& typed :
         {QStringLiteral("taken"), QStringLiteral("taken.jpg"), QStringLiteral("beach.png")}) {
        SCOPED_TRACE(typed.toStdString());
        TestFolder here;
        here.writePicture(QStringLiteral("sea.jpg"), 8, 8);
        here.write(QStringLiteral("sea.TXT"), "sea\r\n");
        here.writePicture(QStringLiteral("taken.jpg"), 8, 8, Qt::blue);
        here.write(QStringLiteral("taken.TXT"), "taken\r\n");
        CurrentDir cd(here.path());
        tarvo::Services s;
        s.clipboard = &clip;
        s.messages = &box;
        s.files = &files;
        tarvo::Organiser o(s);
        o.imgView();
        QTest::mouseClick(o.imgView()->Image1(0), Qt::LeftButton);
        QPlainTextEdit* field = o.imgView()->Text1(0);
        field->setFocus();
        field->selectAll();
        typeInto(field, typed);
        QTest::mouseClick(o.imgView()->Image1(0), Qt::LeftButton); // applies the typed name
        o.imgView()->findChild<QPushButton*>(QStringLiteral("DelFcommand"))->click();
        EXPECT_EQ(here.names(),
                  QStringList({QStringLiteral("taken.TXT"), QStringLiteral("taken.jpg")}));
        EXPECT_TRUE(o.m().FileNames[0].isEmpty());
        EXPECT_EQ(o.imgView()->text1(1), QStringLiteral("taken.jpg"));
    }
}

TEST_F(OrganiserTest, CopyAfterARefusedRenameCopiesTheShownPicture) {
    TestFolder dest;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dir.writePicture(QStringLiteral("taken.jpg"), 3, 3, Qt::blue);
    dest.write(QStringLiteral("taken.jpg"), "the destination's own");
    start();
    m().CopyDir = dest.path();
    clickPicture(0);
    typeName(0, QStringLiteral("taken.jpg"));
    QTest::mouseDClick(view()->Image1(0), Qt::LeftButton);
    EXPECT_EQ(dest.read(QStringLiteral("sea.jpg")), dir.read(QStringLiteral("sea.jpg")));
    EXPECT_EQ(dest.read(QStringLiteral("taken.jpg")), QByteArray("the destination's own"));
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
    EXPECT_EQ(files.changes, QStringList()) << "no copy asked for at all";
}

TEST_F(OrganiserTest, FailedCopyNamesTheFileTheDestinationAndTheReason) {
    TestFolder dest;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dest.write(QStringLiteral("sea.jpg"), "kept");
    start();
    const QString to = dest.file(QStringLiteral("sea.jpg"));
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* reason;
    } cases[] = {
        {"read-only target", [&] { files.readOnly = {to}; }, "読み取り専用のファイルです"},
        {"folder without write access",
         [&] {
             files.failing = {{dest.path(), EACCES}};
         },
         "アクセスが拒否されました"},
        {"full disk",
         [&] {
             files.failing = {{dest.path(), ENOSPC}};
         },
         "ディスクの空き容量が不足しています"},
        {"folder gone",
         [&] {
             files.failing.clear();
             m().CopyDir = dest.path() + QStringLiteral("gone/");
         },
         "ファイルまたはフォルダが見つかりません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        files.readOnly.clear();
        files.failing.clear();
        m().CopyDir = dest.path();
        c.arrange();
        box.shown.clear();
        trigger("ItemFileCopy");
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text,
                  QStringLiteral("sea.jpg をコピーできませんでした。\rコピー先: ") +
                      QDir::toNativeSeparators(m().CopyDir + QStringLiteral("sea.jpg")) +
                      QStringLiteral("\r理由: ") + QString::fromUtf8(c.reason))
            << box.shown[0].text.toStdString();
        EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Warning);
        EXPECT_EQ(view()->text1Colour(0), QColor(0, 0, 255));
        EXPECT_EQ(dest.read(QStringLiteral("sea.jpg")), QByteArray("kept"));
    }
}
