// The copy-destination dialog: CopyDir before and after the dialog.
#include "organiser/dialogs/settdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"

#include <QDir>

using namespace testing_support;
using namespace tarvo;
using platform::DirList;
using platform::DriveList;
using platform::FileList;
using platform::nativeFolder;
using platform::nativePath;

namespace {

class SetTdirTest : public OrganiserTest {
protected:
    SetTdir* dlg() { return org->setTdir(); }
    template <typename T> T* control(const char* name) {
        auto* w = dlg()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    DirList* dir2() { return control<DirList>("Dir2"); }
    FileList* file2() { return control<FileList>("File2"); }
    QPushButton* ok() { return control<QPushButton>("Command1"); }
    QPushButton* cancel() { return control<QPushButton>("Command2"); }

    void openDialog() {
        press("TDcommand");
        ASSERT_TRUE(dlg()->isVisible());
    }
    void openFolder(const QString& sub) {
        DirList* d = dir2();
        for (int r = 0; r < d->count(); ++r) {
            if (d->item(r)->text().trimmed() == sub) {
                d->setCurrentRow(r);
                QTest::keyClick(d->viewport(), Qt::Key_Return);
                return;
            }
        }
        ADD_FAILURE() << "no folder " << sub.toStdString() << " in the list";
    }
};

} // namespace

TEST_F(SetTdirTest, DesignAndNoCreationStep) {
    start();
    EXPECT_FALSE(org->hasSetTdir()); // nothing refers to it before the first opening
    openDialog();
    EXPECT_EQ(dlg()->windowTitle(), QStringLiteral("Copy先ディレクトリ指定"));
    EXPECT_EQ(dlg()->palette().color(QPalette::Window), QColor(0x80, 0x00, 0x00));
    EXPECT_FALSE(dlg()->windowIcon().isNull());
    EXPECT_NE(control<DriveList>("Drive2"), nullptr);
    EXPECT_EQ(ok()->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel()->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(file2()->pattern(),
              QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg"));
    // A new folder list starts in the current folder, yet CopyDir stays empty.
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(m().CopyDir.isEmpty());
    // ImageDir is not the business of this dialog.
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
}

TEST_F(SetTdirTest, FirstOpeningThenOkLeavesCopyDirEmpty) {
    start();
    openDialog();
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_TRUE(m().CopyDir.isEmpty());
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_TRUE(view()->isVisible());
}

TEST_F(SetTdirTest, FirstOpeningThenCancelLeavesCopyDirEmptyAndTheListInTheCurrentFolder) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    openDialog();
    openFolder(QStringLiteral("dest"));
    ASSERT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_TRUE(m().CopyDir.isEmpty());
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(file2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SetTdirTest, BrowsingSetsCopyDirAtOnceAndCancelRestoresIt) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    dir.writePicture(QStringLiteral("dest/there.bmp"), 4, 4);
    writePictures(2);
    start();
    openDialog();
    openFolder(QStringLiteral("dest"));
    const QString dest = dir.path() + QStringLiteral("dest/");
    EXPECT_EQ(m().CopyDir, nativeFolder(dest)); // before OK
    EXPECT_EQ(file2()->entry(0), QStringLiteral("there.bmp"));
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dest));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // OK reloads nothing

    openDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dest)); // kept while hidden
    EXPECT_EQ(m().SavedCopyDir, nativeFolder(dest));
    ASSERT_TRUE(dir2()->setPath(dir.path() + QStringLiteral("other")));
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("other/")));
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dest));
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dest));
}

TEST_F(SetTdirTest, RootFolderHasOneSlash) {
    start();
    openDialog();
    ASSERT_TRUE(dir2()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().CopyDir, nativeFolder(rootFolder()));
}

TEST_F(SetTdirTest, FrameCloseKeepsCopyDirAndTheNextOpeningStartsAnew) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    openDialog();
    openFolder(QStringLiteral("dest"));
    dlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetTdir());
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));

    openDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(m().CopyDir,
              nativeFolder(dir.path() + QStringLiteral("dest/"))); // creation leaves it
    // Cancel returns to the destination that was in force at this opening.
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path() + QStringLiteral("dest/")));
}

TEST_F(SetTdirTest, DriveWithoutMediumKeepsCopyDir) {
    platform::FakeDrives drives(
        {{QStringLiteral("/"), QStringLiteral("/  [vda]")},
         {QStringLiteral("/no-medium"), QStringLiteral("/no-medium  [CD]")}});
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    openDialog();
    openFolder(QStringLiteral("dest"));
    control<DriveList>("Drive2")->setCurrentIndex(1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, QStringLiteral("ディスクをセットして下さい"));
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Critical);
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    EXPECT_EQ(dir2()->path(), nativePath(dir.path() + QStringLiteral("dest")));
}
