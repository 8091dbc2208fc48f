// Nothing is lost at the edges: a delete that cannot remove the picture keeps its memo, names
// and memos come back exactly as written, no key press deletes by accident, a memo or a
// rename that fails is told, and a copy without a destination replaces nothing.
#include "organiser/dialogs/setdir.h"
#include "platform/controls/folderlists.h"
#include "platform/files.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QApplication>
#include <QDir>
#include <cerrno>

using namespace testing_support;
using namespace tarvo;

namespace {

QWidget* focused(QWidget* window) {
    QWidget* w = QApplication::focusWidget();
    return w ? w : window->focusWidget();
}

} // namespace

TEST_F(OrganiserTest, DeleteKeepsTheMemoOfAPictureThatStays) {
    struct Case {
        const char* what;
        bool readOnly;
        int error; // the error the picture's removal meets, 0 for none
        bool pictureGoes;
    };
    const Case cases[] = {
        {"plain", false, 0, true},
        {"read-only", true, 0, false},
        {"held open", false, EBUSY, false},
    };
    writePictures(3);
    for (int k = 0; k < 3; ++k)
        dir.write(QStringLiteral("p0%1.TXT").arg(k), "memo\r\n");
    start();
    int cell = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString picture = QStringLiteral("p0%1.bmp").arg(cell);
        const QString memoName = QStringLiteral("p0%1.TXT").arg(cell);
        if (c.readOnly)
            files.readOnly << dir.file(picture);
        if (c.error)
            files.failing[dir.file(picture)] = c.error;
        clickPicture(cell);
        press("DelFcommand");
        EXPECT_EQ(dir.exists(picture), !c.pictureGoes);
        EXPECT_EQ(dir.exists(memoName), !c.pictureGoes);
        if (!c.pictureGoes) {
            EXPECT_TRUE(
                memo()->caption().startsWith(picture + QStringLiteral(" を削除できません: ")))
                << memo()->caption().toStdString();
        }
        ++cell;
    }
}

TEST_F(OrganiserTest, AfterDeleteSpaceAndEnterDeleteNothing) {
    writePictures(3);
    start();
    view()->show();
    view()->activateWindow();
    clickPicture(0);
    auto* del = view()->findChild<QPushButton*>(QStringLiteral("DelFcommand"));
    del->setFocus();
    QTest::keyClick(del, Qt::Key_Space); // the user deletes p00 by keyboard
    ASSERT_FALSE(dir.exists(QStringLiteral("p00.bmp")));
    EXPECT_EQ(focused(view()), view()->VScroll1());
    clickPicture(1);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(focused(view()), key);
    EXPECT_TRUE(dir.exists(QStringLiteral("p01.bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("p02.bmp")));
}

TEST_F(OrganiserTest, NamesAndMemosAreExactToTheCharacter) {
    // Memos in the platform's own form for text its code page cannot hold.
    auto writeMemo = [this](const QString& name, const QString& text) {
        ASSERT_TRUE(platform::systemFiles().writeText(dir.file(name), text).ok());
    };
    const QString specials[] = {
        QStringLiteral("\u00A0"), QStringLiteral("\u2028"),  QStringLiteral("\u2029"),
        QStringLiteral("\u3000"), QStringLiteral("e\u0301"), QString::fromUcs4(U"\U0001F600"),
    };
    QStringList names;
    for (const QString& s : specials) {
        names << QStringLiteral("a") + s + QStringLiteral("b.bmp");
    }
    for (const QString& n : names) {
        dir.writePicture(n, 4, 4);
        writeMemo(QString(n).replace(QStringLiteral(".bmp"), QStringLiteral(".TXT")),
                  QStringLiteral("x") + n.mid(1, n.size() - 6) + QStringLiteral("y\r\n"));
    }
    dir.writePicture(QStringLiteral("zz.bmp"), 4, 4);
    start();
    const QStringList before = dir.names();
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        const QString n = m().fileName(i);
        ASSERT_TRUE(names.contains(n));
        EXPECT_EQ(name(i), n);
        clickPicture(i);
        EXPECT_TRUE(view()->Image1(i)->hasPicture());
        const QString memoName = QString(n).replace(QStringLiteral(".bmp"), QStringLiteral(".TXT"));
        EXPECT_EQ(memo()->caption(), memoName);
        EXPECT_EQ(memo()->text(),
                  QStringLiteral("x") + n.mid(1, n.size() - 6) + QStringLiteral("y\r\n"));
    }
    clickPicture(names.size()); // the selection after the last one applies no rename
    EXPECT_EQ(dir.names(), before);

    // Typed and saved: each special character goes into the memo file as it was typed,
    // around a loaded text that holds them all.
    QString all;
    for (const QString& s : specials)
        all += s;
    writeMemo(QStringLiteral("zz.TXT"), all + QStringLiteral("\r\n"));
    clickPicture(0);
    clickPicture(names.size());
    ASSERT_EQ(memo()->text(), all + QStringLiteral("\r\n"));
    // A typed paragraph separator is a line break like Enter (the box holds nothing else);
    // the rest arrive as typed.
    QString typed;
    for (const QString& s : specials)
        if (s != QStringLiteral("\u2029"))
            typed += s;
    typeMemo(typed);
    press("TSave");
    EXPECT_EQ(platform::systemFiles().readText(dir.file(QStringLiteral("zz.TXT"))),
              all + QStringLiteral("\r\n") + typed + QStringLiteral("\r\n"));

    // A typed name keeps them too: Enter applies it.
    typeName(names.size(), QStringLiteral("n") + typed);
    QTest::keyClick(view()->Text1(names.size()), Qt::Key_Return);
    EXPECT_TRUE(dir.exists(QStringLiteral("n") + typed + QStringLiteral(".bmp")));
    EXPECT_TRUE(dir.exists(QStringLiteral("n") + typed + QStringLiteral(".TXT")));
}

TEST_F(OrganiserTest, AMemoThatCannotBeSavedIsToldAndKept) {
    struct Case {
        const char* what;
        bool readOnly;
        bool folder; // the failure is the folder's, not the memo's
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {"read-only memo", true, false, 0, "読み取り専用のファイルです"},
        {"folder without write access", false, true, EACCES, "アクセスが拒否されました"},
        {"full disk", false, false, ENOSPC, "ディスクの空き容量が不足しています"},
    };
    writePictures(2);
    dir.write(QStringLiteral("p00.TXT"), "old\r\n");
    start();
    for (const Case& c : cases) {
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
        EXPECT_TRUE(box.shown[0].text.contains(QString::fromUtf8(c.reason)))
            << box.shown[0].text.toStdString();
        EXPECT_EQ(m().MemoDirty, 1);
        // The selection that runs the save stays, with the typed text, and tells again.
        clickPicture(1);
        ASSERT_EQ(box.shown.size(), 2u);
        EXPECT_EQ(m().CurCell, 0);
        EXPECT_EQ(memo()->text(), QStringLiteral("old\r\nnew"));
        EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("old\r\n"));
        // Selecting again moves on without the edit, as the message said.
        clickPicture(1);
        EXPECT_EQ(m().CurCell, 1);
        EXPECT_EQ(m().MemoDirty, 0);
        EXPECT_EQ(dir.read(QStringLiteral("p00.TXT")), QByteArray("old\r\n"));
    }
    // Once the memo can be written, the kept text is saved by the next selection.
    files.failing.clear();
    files.failing[dir.file(QStringLiteral("p00.TXT"))] = ENOSPC;
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
    struct Case {
        const char* typed;
        int folderError;
        const char* reason;
    };
    const Case cases[] = {
        {"p01", 0, "同じ名前のファイルが既にあります"},
        {"a/b", 0, "ファイル名に使えない文字が含まれています"},
        {"", 0, "名前が空です"},
        {"fine", EACCES, "アクセスが拒否されました"},
    };
    writePictures(2);
    dir.write(QStringLiteral("p00.TXT"), "m\r\n");
    start();
    const QStringList before = dir.names();
    for (const Case& c : cases) {
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
        EXPECT_TRUE(memo()->caption().contains(QString::fromUtf8(c.reason)))
            << memo()->caption().toStdString();
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
