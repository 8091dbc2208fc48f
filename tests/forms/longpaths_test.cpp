// A folder deeper than the 260 characters Windows long allowed works like any other: it is
// opened through the folder dialog, its pictures are shown and copied to the clipboard, a memo
// is saved, a picture renamed, copied to a destination as deep and deleted.
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

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(cannot be read)");
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
    EXPECT_EQ(contents(deep + QStringLiteral("sea.TXT")), "waves\r\nsand\r\n");

    // On Windows a name the system would take otherwise ("a:b" names a stream of "a") is
    // refused and told; the field shows the picture's name again.
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
    EXPECT_EQ(contents(deep + QStringLiteral("beach.TXT")), "waves\r\nsand\r\n");

    press("TDcommand");
    auto* destinations = org->setTdir()->findChild<DirList*>(QStringLiteral("Dir2"));
    for (const QString& step : steps + QStringList{QStringLiteral("dest")})
        openIn(destinations, step);
    org->setTdir()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QTest::mouseDClick(view()->Image1(0), Qt::LeftButton);
    EXPECT_EQ(contents(deep + QStringLiteral("dest/beach.bmp")),
              contents(deep + QStringLiteral("beach.bmp")));
    EXPECT_EQ(contents(deep + QStringLiteral("dest/beach.TXT")), "waves\r\nsand\r\n");

    clickPicture(1);
    press("DelFcommand");
    EXPECT_FALSE(QFile::exists(deep + QStringLiteral("sky.bmp")));
    EXPECT_TRUE(QFile::exists(deep + QStringLiteral("beach.bmp")));
}
