// A folder deeper than the 260 characters Windows long allowed works like any other: opened
// through the folder dialog, a picture shown and copied to the clipboard, a memo saved, a
// picture renamed, copied to a destination as deep and deleted, seen on disk and in the window.
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

using namespace testing_support;
using platform::DirList;

namespace {

// Opens a subfolder shown in a folder list as the user does: select it, Enter.
void openIn(DirList* list, const QString& sub) {
    for (int r = 0; r < list->count(); ++r) {
        if (list->item(r)->text().trimmed() == sub) {
            list->setCurrentRow(r);
            QTest::keyClick(list->viewport(), Qt::Key_Return);
            return;
        }
    }
    ADD_FAILURE() << "no folder " << sub.toStdString() << " in " << list->path().toStdString();
}

} // namespace

TEST_F(OrganiserTest, AFolderBeyondTheOldPathLimitWorksLikeAnyOther) {
    const QStringList steps{QString(90, u'a'), QString(90, u'b'), QString(90, u'c')};
    const QString deepName = steps.join(u'/') + u'/';
    const QString deep = dir.path() + deepName;
    ASSERT_TRUE(QDir().mkpath(deep + QStringLiteral("dest")));
    ASSERT_GT(deep.size(), 280);
    dir.writePicture(deepName + QStringLiteral("sea.bmp"), 40, 30, Qt::red);
    dir.writePicture(deepName + QStringLiteral("sky.bmp"), 40, 30, Qt::blue);
    dir.write(deepName + QStringLiteral("sea.TXT"), "waves\r\n");
    const QByteArray sea = dir.read(deepName + QStringLiteral("sea.bmp"));
    start();

    trigger("ItemSetDIr");
    auto* folders = org->setDir()->findChild<DirList*>(QStringLiteral("Dir1"));
    ASSERT_NE(folders, nullptr);
    for (const QString& step : steps)
        openIn(folders, step);
    org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(m().ImageDir, platform::nativeFolder(deep));
    ASSERT_EQ(name(0), QStringLiteral("sea.bmp"));
    ASSERT_EQ(name(1), QStringLiteral("sky.bmp"));

    clickPicture(0);
    ASSERT_TRUE(clip.image.has_value());
    EXPECT_EQ(QColor(clip.image->pixel(20, 15)), QColor(Qt::red));
    EXPECT_EQ(memo()->text(), QStringLiteral("waves\r\n"));
    typeMemo(QStringLiteral("sand"));
    press("TSave");
    EXPECT_EQ(dir.read(deepName + QStringLiteral("sea.TXT")), "waves\r\nsand\r\n");

    // On Windows a name the system would take otherwise ("a:b" names a stream of "a") is
    // refused and told.
    if (QSysInfo::productType() == QLatin1String("windows")) {
        typeName(0, QStringLiteral("a:b"));
        QTest::keyClick(view()->Text1(0), Qt::Key_Return);
        EXPECT_TRUE(QFile::exists(deep + QStringLiteral("sea.bmp")));
        EXPECT_EQ(name(0), QStringLiteral("sea.bmp"));
        EXPECT_TRUE(memo()->caption().contains(QStringLiteral("使えません")))
            << memo()->caption().toStdString();
    }
    typeName(0, QStringLiteral("beach"));
    QTest::keyClick(view()->Text1(0), Qt::Key_Return);
    EXPECT_FALSE(QFile::exists(deep + QStringLiteral("sea.bmp")));
    EXPECT_EQ(dir.read(deepName + QStringLiteral("beach.TXT")), "waves\r\nsand\r\n");

    press("TDcommand");
    auto* destinations = org->setTdir()->findChild<DirList*>(QStringLiteral("Dir2"));
    for (const QString& step : steps + QStringList{QStringLiteral("dest")})
        openIn(destinations, step);
    org->setTdir()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QTest::mouseDClick(view()->Image1(0), Qt::LeftButton);
    EXPECT_EQ(dir.read(deepName + QStringLiteral("dest/beach.bmp")), sea);
    EXPECT_EQ(dir.read(deepName + QStringLiteral("dest/beach.TXT")), "waves\r\nsand\r\n");
    EXPECT_EQ(view()->text1Colour(0), QColor(0xF0, 0, 0));

    clickPicture(1);
    press("DelFcommand");
    EXPECT_FALSE(QFile::exists(deep + QStringLiteral("sky.bmp")));
    EXPECT_TRUE(QFile::exists(deep + QStringLiteral("beach.bmp")));
    EXPECT_TRUE(name(1).isEmpty());
    EXPECT_TRUE(label(1).isEmpty());
    EXPECT_FALSE(view()->Image1(1)->hasPicture());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
}
