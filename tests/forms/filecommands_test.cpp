// Rename and copy to the destination: the exact outcomes on disk and every refusal told with
// its reason. What no sequence may break the folder model checks; delete: the long-path test.
#include "support/organiserfixture.h"

#include <QDir>
#include <cerrno>

using namespace testing_support;
using namespace tarvo;

TEST_F(OrganiserTest, RenameKeepsTheExtensionTakesTheMemoAndRefusesWhatItMustWithAReason) {
    const struct {
        const char* picture;
        const char* typed;
        QStringList after;       // the folder afterwards, beside taken.jpg
        const char* reason = ""; // in the caption of a refusal
        int folderError = 0;
    } cases[] = {
        {"sea.jpg", "beach.png", {"beach.TXT", "beach.jpg"}},
        {"a.b.jpg", "cat", {"cat.TXT", "cat.b.jpg"}},
        {"Sea.jpg", "sea", {"sea.TXT", "sea.jpg"}},
        {"sea.jpg", "", {"sea.TXT", "sea.jpg"}, "名前が空です"},
        {"sea.jpg", "taken", {"sea.TXT", "sea.jpg"}, "同じ名前のファイルが既にあります"},
        {"sea.jpg", "sub/x", {"sea.TXT", "sea.jpg"}, "ファイル名に使えない文字が含まれています"},
        {"sea.jpg", "fine", {"sea.TXT", "sea.jpg"}, "アクセスが拒否されました", EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TestFolder here;
        const QString picture = QString::fromLatin1(c.picture);
        here.writePicture(picture, 8, 8);
        here.write(picture.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".TXT"), "waves\r\n");
        here.writePicture(QStringLiteral("taken.jpg"), 3, 3, Qt::blue);
        const QByteArray taken = here.read(QStringLiteral("taken.jpg"));
        files.failing.clear();
        if (c.folderError)
            files.failing[here.path()] = c.folderError;
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
        EXPECT_EQ(here.read(QStringLiteral("taken.jpg")), taken);
        EXPECT_TRUE(o.editText()->caption().contains(QString::fromUtf8(c.reason)));
        // A refused name leaves the field showing the name the picture has.
        EXPECT_EQ(o.imgView()->text1(0) == picture, *c.reason != 0 || c.after[1] == picture);
    }
}

TEST_F(OrganiserTest, MemoNameOfAnotherPictureRefusesTheWholeRename) {
    dir.writePicture(QStringLiteral("beach.gif"), 4, 4);
    dir.write(QStringLiteral("beach.TXT"), "beach's own\r\n");
    dir.writePicture(QStringLiteral("cat.jpg"), 8, 8);
    start();
    clickPicture(1);
    typeMemo(QStringLiteral("cat's memo"));
    // Refused by the next selection, the reason stays on the status line past the memo load.
    typeName(1, QStringLiteral("beach"));
    clickPicture(0);
    EXPECT_TRUE(
        memo()->caption().contains(QStringLiteral("同じ名前のメモ beach.TXT が既にあります")));
    EXPECT_EQ(name(1), QStringLiteral("cat.jpg"));
    EXPECT_EQ(dir.names(), QStringList({QStringLiteral("beach.TXT"), QStringLiteral("beach.gif"),
                                        QStringLiteral("cat.TXT"), QStringLiteral("cat.jpg")}));
    EXPECT_EQ(dir.read(QStringLiteral("beach.TXT")), QByteArray("beach's own\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("cat.TXT")), QByteArray("cat's memo\r\n"));
    EXPECT_TRUE(files.changes.filter(QStringLiteral("rename")).isEmpty());
}

TEST_F(OrganiserTest, CopyTellsAFailureWithItsReasonAndSkipsACopyOntoItself) {
    TestFolder dest;
    dir.writePicture(QStringLiteral("sea.jpg"), 8, 8);
    dir.write(QStringLiteral("sea.TXT"), "memo\r\n");
    dest.write(QStringLiteral("sea.jpg"), "kept");
    start();
    clickPicture(0);
    enum Arrange { ReadOnly, FullDisk, FolderGone };
    const struct {
        Arrange arrange;
        const char* reason;
    } cases[] = {{ReadOnly, "読み取り専用のファイルです"},
                 {FullDisk, "ディスクの空き容量が不足しています"},
                 {FolderGone, "ファイルまたはフォルダが見つかりません"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        m().CopyDir = c.arrange == FolderGone ? dest.file(QStringLiteral("gone/")) : dest.path();
        if (c.arrange == ReadOnly)
            files.readOnly = {dest.file(QStringLiteral("sea.jpg"))};
        if (c.arrange == FullDisk)
            files.failing = {{dest.path(), ENOSPC}};
        box.shown.clear();
        trigger("ItemFileCopy");
        files.readOnly.clear();
        files.failing.clear();
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text,
                  QStringLiteral("sea.jpg をコピーできませんでした。\rコピー先: ") +
                      QDir::toNativeSeparators(m().CopyDir + QStringLiteral("sea.jpg")) +
                      QStringLiteral("\r理由: ") + QString::fromUtf8(c.reason));
        EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Warning);
        EXPECT_EQ(view()->text1Colour(0), QColor(0, 0, 255));
        EXPECT_EQ(dest.read(QStringLiteral("sea.jpg")), QByteArray("kept"));
    }

    // A copy onto itself is not attempted. (A copy that works: the long-path test.)
    files.changes.clear();
    m().CopyDir = dir.path();
    trigger("ItemFileCopy");
    EXPECT_EQ(files.changes, QStringList()) << "no copy asked for at all";
    EXPECT_EQ(dir.read(QStringLiteral("sea.TXT")), QByteArray("memo\r\n"));
}
