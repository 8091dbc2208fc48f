// Rename, delete and copy to the destination, checked on disk, and the edges where nothing
// may be lost: names and memos exact to the character, every refusal told. What no sequence
// may break (nothing lost, memos go with their pictures, no stray key deletes) the folder
// model checks; here are the exact outcomes.
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
#include "platform/files.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>

using namespace testing_support;
using namespace tarvo;

namespace {
const QColor kRed(0xF0, 0, 0);
} // namespace

TEST_F(OrganiserTest, RenameKeepsTheExtensionTakesTheMemoAndRefusesWhatItMust) {
    const struct {
        const char* picture;
        const char* typed;
        QStringList after; // the folder afterwards, beside taken.jpg and sub/
    } cases[] = {
        {"sea.jpg", "beach.png", {"beach.TXT", "beach.jpg"}},
        {"sea.jpg", "beach", {"beach.TXT", "beach.jpg"}},
        {"a.b.jpg", "cat", {"cat.TXT", "cat.b.jpg"}},
        {"Sea.jpg", "sea", {"sea.TXT", "sea.jpg"}},
        {"sea.jpg", "", {"sea.TXT", "sea.jpg"}},
        {"sea.jpg", ".hidden", {"sea.TXT", "sea.jpg"}},
        {"sea.jpg", "taken", {"sea.TXT", "sea.jpg"}},
        {"sea.jpg", "sub/x", {"sea.TXT", "sea.jpg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TestFolder here;
        here.writePicture(QString::fromLatin1(c.picture), 8, 8);
        here.write(QString::fromLatin1(c.picture).section(QLatin1Char('.'), 0, 0) +
                       QStringLiteral(".TXT"),
                   "waves\r\n");
        here.writePicture(QStringLiteral("taken.jpg"), 3, 3, Qt::blue);
        const QByteArray taken = here.read(QStringLiteral("taken.jpg"));
        QDir(here.path()).mkdir(QStringLiteral("sub"));
        CurrentDir cd(here.path());
        Organiser o(Services{&files, &clip, &box, nullptr});
        QTest::mouseClick(o.imgView()->Image1(0), Qt::LeftButton);
        QPlainTextEdit* field = o.imgView()->Text1(0);
        field->setFocus();
        field->selectAll();
        if (*c.typed)
            typeInto(field, QString::fromLatin1(c.typed));
        else
            QTest::keyClick(field, Qt::Key_Delete);
        o.imgView()->findChild<QPushButton*>(QStringLiteral("CNcommand"))->click();
        EXPECT_EQ(here.names(), QStringList(c.after) << QStringLiteral("taken.jpg"));
        EXPECT_EQ(o.m().FileNames[0], c.after[1]);
        EXPECT_EQ(o.m().NameEdited, 0);
        EXPECT_EQ(here.read(QStringLiteral("taken.jpg")), taken);
        EXPECT_TRUE(QDir(here.file(QStringLiteral("sub"))).isEmpty());
        EXPECT_TRUE(box.shown.empty());
    }
}

TEST_F(OrganiserTest, MemoNameOfAnotherPictureRefusesTheWholeRename) {
    dir.writePicture(QStringLiteral("beach.gif"), 4, 4);
    dir.write(QStringLiteral("beach.TXT"), "beach's own\r\n");
    dir.writePicture(QStringLiteral("cat.jpg"), 8, 8);
    dir.write(QStringLiteral("cat.TXT"), "cat's memo\r\n");
    start();
    const QStringList all = dir.names();
    clickPicture(1);
    typeName(1, QStringLiteral("beach"));
    press("CNcommand");
    EXPECT_EQ(dir.names(), all);
    EXPECT_TRUE(
        memo()->caption().contains(QStringLiteral("同じ名前のメモ beach.TXT が既にあります")));
    // Also with the memo window empty.
    memo()->setTextByProgram(QString());
    typeName(1, QStringLiteral("beach"));
    press("CNcommand");
    EXPECT_EQ(dir.names(), all);
    EXPECT_EQ(dir.read(QStringLiteral("beach.TXT")), QByteArray("beach's own\r\n"));
    EXPECT_TRUE(files.changes.filter(QStringLiteral("rename")).isEmpty());
}

TEST_F(OrganiserTest, RenamedCellsPutTheirOwnPicturesOnTheClipboard) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4, Qt::red);
    dir.writePicture(QStringLiteral("b.bmp"), 4, 4, Qt::blue);
    start();
    auto clipColour = [&] { return clip.image ? clip.image->pixelColor(0, 0) : QColor(); };
    // Trade the names through a third: a (red) becomes c, b (blue) a, c (red) b.
    for (const auto& [cell, typed] : {std::pair{0, "c"}, std::pair{1, "a"}, std::pair{0, "b"}}) {
        clickPicture(cell);
        typeName(cell, QString::fromLatin1(typed));
        press("CNcommand");
    }
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

TEST_F(OrganiserTest, DeleteRemovesPictureAndMemoAndEmptiesTheCell) {
    writePictures(13);
    dir.write(QStringLiteral("p12.TXT"), "memo\r\n");
    start();
    press("DelFcommand"); // before any selection: nothing
    EXPECT_EQ(dir.names().size(), 14);
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
    // A second press and the next selection find nothing more to delete or rename.
    press("DelFcommand");
    clickPicture(0);
    EXPECT_EQ(dir.names().size(), 12);
}

TEST_F(OrganiserTest, CopyTakesTheMemoTurnsTheNameRedAndSkipsACopyOntoItself) {
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

    files.changes.clear();
    m().CopyDir = dir.path();
    trigger("ItemFileCopy");
    EXPECT_EQ(files.changes, QStringList()) << "no copy asked for at all";
    EXPECT_EQ(dir.read(QStringLiteral("sea.TXT")), QByteArray("memo\r\n"));
    EXPECT_EQ(view()->text1Colour(0), kRed);
}

TEST_F(OrganiserTest, FailedCopyNamesTheFileTheDestinationAndTheReason) {
    TestFolder dest;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dest.write(QStringLiteral("sea.jpg"), "kept");
    start();
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* reason;
    } cases[] = {
        {"read-only target", [&] { files.readOnly = {dest.file(QStringLiteral("sea.jpg"))}; },
         "読み取り専用のファイルです"},
        {"no write access",
         [&] {
             files.failing = {{dest.path(), EACCES}};
         },
         "アクセスが拒否されました"},
        {"full disk",
         [&] {
             files.failing = {{dest.path(), ENOSPC}};
         },
         "ディスクの空き容量が不足しています"},
        {"folder gone", [&] { m().CopyDir = dest.path() + QStringLiteral("gone/"); },
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
                      QStringLiteral("\r理由: ") + QString::fromUtf8(c.reason));
        EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Warning);
        EXPECT_EQ(view()->text1Colour(0), QColor(0, 0, 255));
        EXPECT_EQ(dest.read(QStringLiteral("sea.jpg")), QByteArray("kept"));
    }
}

TEST_F(OrganiserTest, NamesAndMemosAreExactToTheCharacter) {
    const QString specials[] = {
        QStringLiteral("\u00A0"), QStringLiteral("\u2028"),  QStringLiteral("\u2029"),
        QStringLiteral("\u3000"), QStringLiteral("e\u0301"), QString::fromUcs4(U"\U0001F600"),
    };
    QString all;
    for (const QString& s : specials) {
        all += s;
        const QString n = QStringLiteral("a") + s + QStringLiteral("b");
        dir.writePicture(n + QStringLiteral(".bmp"), 4, 4);
        // In the platform's own form for text its code page cannot hold.
        ASSERT_TRUE(platform::systemFiles()
                        .writeText(dir.file(n + QStringLiteral(".TXT")), n + QStringLiteral("\r\n"))
                        .ok());
    }
    dir.writePicture(QStringLiteral("zz.bmp"), 4, 4);
    start();
    const QStringList before = dir.names();
    const int last = int(std::size(specials));
    for (int i = 0; i < last; ++i) {
        const QString n = m().fileName(i);
        EXPECT_EQ(name(i), n);
        clickPicture(i);
        EXPECT_TRUE(view()->Image1(i)->hasPicture()) << i;
        EXPECT_EQ(memo()->caption(), n.chopped(4) + QStringLiteral(".TXT"));
        EXPECT_EQ(memo()->text(), n.chopped(4) + QStringLiteral("\r\n"));
    }
    clickPicture(last); // the selection after the last one applies no rename
    EXPECT_EQ(dir.names(), before);

    // Typed and saved as typed; a typed paragraph separator is a line break like Enter.
    QString typed = all;
    typed.remove(QChar(0x2029));
    typeMemo(typed);
    press("TSave");
    EXPECT_EQ(platform::systemFiles().readText(dir.file(QStringLiteral("zz.TXT"))),
              typed + QStringLiteral("\r\n"));
    // A typed name keeps them too: Enter applies it.
    typeName(last, QStringLiteral("n") + typed);
    QTest::keyClick(view()->Text1(last), Qt::Key_Return);
    EXPECT_TRUE(dir.exists(QStringLiteral("n") + typed + QStringLiteral(".bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("n") + typed + QStringLiteral(".TXT")));
}

TEST_F(OrganiserTest, AMemoThatCannotBeSavedIsToldAndKept) {
    const struct {
        const char* what;
        bool readOnly;
        bool folder; // the failure is the folder's, not the memo's
        int error;
        const char* reason;
    } cases[] = {
        {"read-only memo", true, false, 0, "読み取り専用のファイルです"},
        {"folder without write access", false, true, EACCES, "アクセスが拒否されました"},
        {"full disk", false, false, ENOSPC, "ディスクの空き容量が不足しています"},
    };
    writePictures(2);
    dir.write(QStringLiteral("p00.TXT"), "old\r\n");
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        files.readOnly.clear();
        files.failing.clear();
        box.shown.clear();
        clickPicture(0);
        if (c.readOnly)
            files.readOnly << dir.file(QStringLiteral("p00.TXT"));
        if (c.error)
            files.failing[c.folder ? dir.path() : dir.file(QStringLiteral("p00.TXT"))] = c.error;
        typeMemo(QStringLiteral("new"));
        press("TSave");
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_TRUE(box.shown[0].text.contains(QStringLiteral("p00.TXT")));
        EXPECT_TRUE(box.shown[0].text.contains(QString::fromUtf8(c.reason)));
        // The selection that runs the save stays, with the typed text, and tells again;
        // selecting again moves on without the edit, as the message said.
        clickPicture(1);
        ASSERT_EQ(box.shown.size(), 2u);
        EXPECT_EQ(m().CurCell, 0);
        EXPECT_EQ(memo()->text(), QStringLiteral("old\r\nnew"));
        clickPicture(1);
        EXPECT_EQ(m().CurCell, 1);
        EXPECT_EQ(m().MemoDirty, 0);
        EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("old\r\n"));
    }
    // Once the memo can be written, the kept text is saved by the next selection.
    files.failing = {{dir.file(QStringLiteral("p00.TXT")), ENOSPC}};
    clickPicture(0);
    typeMemo(QStringLiteral("kept"));
    clickPicture(1);
    EXPECT_EQ(m().CurCell, 0);
    files.failing.clear();
    clickPicture(1);
    EXPECT_EQ(m().CurCell, 1);
    EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("old\r\nkept\r\n"));
}

TEST_F(OrganiserTest, ARefusedRenameIsToldAndNotShownAsDone) {
    const struct {
        const char* typed;
        int folderError;
        const char* reason;
    } cases[] = {
        {"p01", 0, "同じ名前のファイルが既にあります"},
        {"a/b", 0, "ファイル名に使えない文字が含まれています"},
        {"", 0, "名前が空です"},
        {"fine", EACCES, "アクセスが拒否されました"},
    };
    writePictures(2);
    dir.write(QStringLiteral("p00.TXT"), "m\r\n");
    start();
    const QStringList before = dir.names();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        files.failing.clear();
        if (c.folderError)
            files.failing[dir.path()] = c.folderError;
        clickPicture(0);
        typeName(0, QString::fromUtf8(c.typed));
        QTest::keyClick(view()->Text1(0), Qt::Key_Return);
        EXPECT_EQ(dir.names(), before);
        EXPECT_EQ(name(0), QStringLiteral("p00.bmp"));
        EXPECT_EQ(m().NameEdited, 0);
        EXPECT_TRUE(memo()->caption().contains(QString::fromUtf8(c.reason)));
    }
    // A refusal by the next selection stays on the status line past the memo load.
    files.failing.clear();
    clickPicture(0);
    typeName(0, QStringLiteral("p01"));
    clickPicture(1);
    EXPECT_TRUE(memo()->caption().contains(QStringLiteral("同じ名前のファイルが既にあります")));
    EXPECT_EQ(name(0), QStringLiteral("p00.bmp"));
    // Enter applies an acceptable name, and no line end enters it.
    clickPicture(0);
    typeName(0, QStringLiteral("sea"));
    QTest::keyClick(view()->Text1(0), Qt::Key_Return);
    EXPECT_EQ(name(0), QStringLiteral("sea"));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("sea.TXT")));
    EXPECT_EQ(memo()->caption(), QStringLiteral("sea.TXT"));
}

TEST_F(OrganiserTest, WithoutADestinationACopyReplacesNothing) {
    dir.writePicture(QStringLiteral("p12.bmp"), 4, 4, Qt::blue);
    dir.write(QStringLiteral("p12.TXT"), "start\r\n");
    QDir().mkpath(dir.file(QStringLiteral("other")));
    dir.writePicture(QStringLiteral("other/p12.bmp"), 6, 6, Qt::green);
    dir.writePicture(QStringLiteral("other/new.bmp"), 6, 6, Qt::green);
    start();
    const QByteArray startPicture = dir.read(QStringLiteral("p12.bmp"));
    auto* dir1 = org->setDir()->findChild<platform::DirList*>(QStringLiteral("Dir1"));
    ASSERT_NE(dir1, nullptr);
    trigger("ItemSetDIr");
    ASSERT_TRUE(dir1->setPath(dir.path() + QStringLiteral("other")));
    org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ASSERT_EQ(m().ImageDir, platform::nativeFolder(dir.path() + QStringLiteral("other/")));
    ASSERT_EQ(m().fileName(1), QStringLiteral("p12.bmp"));
    QTest::mouseDClick(view()->Image1(1), Qt::LeftButton);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.contains(QStringLiteral("コピー先が指定されていない")));
    EXPECT_EQ(dir.read(QStringLiteral("p12.bmp")), startPicture);
    EXPECT_EQ(dir.read(QStringLiteral("p12.TXT")), QByteArray("start\r\n"));
    // A name the start folder does not have is copied there, as designed.
    QTest::mouseDClick(view()->Image1(0), Qt::LeftButton);
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(dir.exists(QStringLiteral("new.bmp")));
}
