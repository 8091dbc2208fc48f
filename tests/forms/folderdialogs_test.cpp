// The two folder dialogs: the image-folder dialog (choosing the folder and the mask, OK and
// Cancel, the drive errors, the frame close) and the copy-destination dialog (CopyDir before
// and after it).
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"
#include "support/unprivileged.h"
#include "tools/gifwriter.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

using namespace testing_support;
using namespace tarvo;
using platform::DirList;
using platform::DriveList;
using platform::FileList;
using platform::nativeFolder;
using platform::nativePath;

namespace {

// Qt reads GIF but cannot write it.
void writeGif(const TestFolder& dir, const QString& name) {
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    dir.write(name, tools::encodeGif(img));
}

const QString kDesign = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");

class FolderDialogTest : public OrganiserTest {
protected:
    SetDir* dlg() { return org->setDir(); }
    template <typename T> T* control(const char* name) {
        auto* w = dlg()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The copy-destination dialog's controls.
    SetTdir* tdlg() { return org->setTdir(); }
    template <typename T> T* tcontrol(const char* name) {
        auto* w = tdlg()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    DirList* dir2() { return tcontrol<DirList>("Dir2"); }
    FileList* file2() { return tcontrol<FileList>("File2"); }
    QPushButton* tok() { return tcontrol<QPushButton>("Command1"); }
    QPushButton* tcancel() { return tcontrol<QPushButton>("Command2"); }
    void openCopyDialog() {
        press("TDcommand");
        ASSERT_TRUE(tdlg()->isVisible());
    }
    DirList* dir1() { return control<DirList>("Dir1"); }
    FileList* file1() { return control<FileList>("File1"); }
    QLineEdit* mask() { return control<QLineEdit>("SetMask"); }
    QPushButton* ok() { return control<QPushButton>("Command1"); }
    QPushButton* cancel() { return control<QPushButton>("Command2"); }

    // The menu item of the main window, as the user opens the dialog.
    void openDialog() {
        trigger("ItemSetDIr");
        ASSERT_TRUE(dlg()->isVisible());
        dlg()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg()));
    }
    // Opens a subfolder shown in a folder list, as the user does: select it, Enter.
    void openFolder(const QString& sub) { openFolderIn(dir1(), sub); }
    void openFolderIn(DirList* d, const QString& sub) {
        for (int r = 0; r < d->count(); ++r) {
            if (d->item(r)->text().trimmed() == sub) {
                d->setCurrentRow(r);
                QTest::keyClick(d->viewport(), Qt::Key_Return);
                return;
            }
        }
        ADD_FAILURE() << "no folder " << sub.toStdString() << " in the list";
    }
    void typeMask(const QString& text) {
        mask()->setFocus();
        mask()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(mask(), Qt::Key_Delete);
        else
            QTest::keyClicks(mask(), text);
    }
    QStringList fileNames() {
        QStringList names;
        for (int k = 0; !m().fileName(k).isEmpty(); ++k)
            names << m().fileName(k);
        return names;
    }
};

} // namespace

TEST_F(FolderDialogTest, DesignAndCreationStep) {
    writePictures(2);
    start();
    EXPECT_EQ(dlg()->windowTitle(), QStringLiteral("ディレクトリ指定"));
    EXPECT_FALSE(dlg()->isVisible()); // created, hidden, by the start-up
    EXPECT_EQ(ok()->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel()->text(), QStringLiteral("キャンセル"));
    EXPECT_NE(control<DriveList>("Drive1"), nullptr);
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(dlg()->DefaultMask(), kDesign);
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
}

TEST_F(FolderDialogTest, FolderChangeFollowsAtOnceAndOkReloads) {
    writePictures(3);
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    for (int k = 0; k < 12; ++k)
        writeGif(dir, QStringLiteral("other/q%1.gif").arg(k, 2, 10, QLatin1Char('0')));
    start();
    view()->show();
    openDialog();
    EXPECT_EQ(m().SavedImageDir, nativeFolder(dir.path()));

    openFolder(QStringLiteral("other"));
    const QString other = dir.path() + QStringLiteral("other/");
    EXPECT_EQ(m().ImageDir, nativeFolder(other));            // at once, before OK
    EXPECT_EQ(file1()->count(), 12);                         // the dialog's list shows the folder
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3")); // the main view not yet

    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("12"));
    EXPECT_EQ(view()->Directory()->text(), nativeFolder(other));
    EXPECT_EQ(m().fileName(0), QStringLiteral("q00.gif"));
    EXPECT_EQ(m().fileName(11), QStringLiteral("q11.gif"));
    EXPECT_TRUE(m().fileName(12).isEmpty());
    EXPECT_EQ(view()->VScroll1()->maximum(), 10);

    // The next opening shows the folder the main window shows.
    openDialog();
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(other));
    EXPECT_EQ(m().SavedImageDir, nativeFolder(other));
}

TEST_F(FolderDialogTest, GifMaskPersistsUntilCancelBringsBackTheDesignPattern) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4);
    writeGif(dir, QStringLiteral("b.gif"));
    writeGif(dir, QStringLiteral("C.GIF"));
    dir.writePicture(QStringLiteral("d.jpg"), 4, 4);
    start();
    ASSERT_EQ(view()->Total()->text(), QStringLiteral("4"));

    openDialog();
    typeMask(QStringLiteral("*.gif"));
    QTest::mouseClick(ok(), Qt::LeftButton); // the click takes the focus: the mask applies
    EXPECT_EQ(fileNames(), (QStringList{"b.gif", "C.GIF"}));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));

    openDialog();
    EXPECT_EQ(mask()->text(), QStringLiteral("*.gif"));
    EXPECT_EQ(file1()->pattern(), QStringLiteral("*.gif"));

    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(file1()->count(), 4);
    // The main view is not reloaded by Cancel.
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));

    // Several patterns are applied as typed.
    openDialog();
    typeMask(QStringLiteral("*.JPG;*.bmp"));
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(fileNames(), (QStringList{"a.bmp", "d.jpg"}));
}

TEST_F(FolderDialogTest, RejectedOrEmptyMaskFallsBackToTheDesignPatternSilently) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4);
    writeGif(dir, QStringLiteral("b.gif"));
    start();
    openDialog();
    typeMask(QStringLiteral("*.gif"));
    dir1()->setFocus(); // focus loss applies the mask
    ASSERT_EQ(file1()->pattern(), QStringLiteral("*.gif"));

    typeMask(QStringLiteral("sub/*.bmp"));
    dir1()->setFocus();
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(mask()->text(), QStringLiteral("sub/*.bmp")); // the field keeps the text

    typeMask(QStringLiteral("*.gif"));
    dir1()->setFocus();
    typeMask(QString());
    dir1()->setFocus();
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_TRUE(mask()->text().isEmpty());
    EXPECT_EQ(file1()->count(), 2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FolderDialogTest, CancelRestoresTheSavedFolderExactly) {
    writePictures(2);
    QDir(dir.path()).mkpath(QStringLiteral("a/b"));
    start();
    openDialog();
    openFolder(QStringLiteral("a"));
    openFolder(QStringLiteral("b"));
    ASSERT_EQ(m().ImageDir, nativeFolder(dir.path() + QStringLiteral("a/b/")));

    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(file1()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(file1()->count(), 2);
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
}

TEST_F(FolderDialogTest, RootFolderHasOneSlash) {
    start();
    openDialog();
    ASSERT_TRUE(dir1()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().ImageDir, nativeFolder(rootFolder()));
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(view()->Directory()->text(), nativeFolder(rootFolder()));
    openCopyDialog();
    ASSERT_TRUE(dir2()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().CopyDir, nativeFolder(rootFolder()));
}

TEST_F(FolderDialogTest, GoneSavedFolderFallsBackToItsNearestParent) {
    QDir(dir.path()).mkpath(QStringLiteral("sub/deep"));
    dir.writePicture(QStringLiteral("sub/deep/x.bmp"), 4, 4);
    dir.writePicture(QStringLiteral("sub/y.bmp"), 4, 4);
    dir.writePicture(QStringLiteral("sub/z.bmp"), 4, 4);
    start();
    openDialog();
    openFolder(QStringLiteral("sub"));
    openFolder(QStringLiteral("deep"));
    QTest::mouseClick(ok(), Qt::LeftButton);
    const QString deep = dir.path() + QStringLiteral("sub/deep/");
    ASSERT_EQ(m().ImageDir, nativeFolder(deep));
    ASSERT_EQ(view()->Total()->text(), QStringLiteral("1"));

    openDialog();
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    ASSERT_TRUE(QDir(deep).removeRecursively());
    QTest::mouseClick(cancel(), Qt::LeftButton);
    // The list stands on the nearest folder that is still there; ImageDir keeps the saved
    // string, which matches the names the main view still shows.
    EXPECT_EQ(dir1()->path(), nativePath(dir.path() + QStringLiteral("sub")));
    EXPECT_EQ(file1()->count(), 2);
    EXPECT_EQ(m().ImageDir, nativeFolder(deep));
    EXPECT_FALSE(dlg()->isVisible());

    // OK reads the folder the list shows, and ImageDir agrees with it.
    openDialog();
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path() + QStringLiteral("sub/")));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
}

TEST_F(FolderDialogTest, FrameCloseDestroysAndTheNextReferenceRunsCreationAgain) {
    writePictures(3);
    writeGif(dir, QStringLiteral("g.gif"));
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    start();
    openDialog();
    typeMask(QStringLiteral("*.gif"));
    openFolder(QStringLiteral("sub"));
    ASSERT_EQ(m().ImageDir, nativeFolder(dir.path() + QStringLiteral("sub/")));

    dlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetDir());
    // Neither OK nor Cancel ran: ImageDir stays, the main view is not reloaded.
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path() + QStringLiteral("sub/")));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("4"));

    // "再表示" refers to the file list: a new dialog, back in the current folder.
    press("ResetBotton");
    EXPECT_TRUE(org->hasSetDir());
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("4"));
}

TEST_F(FolderDialogTest, DriveWithoutMediumShowsTheDriveErrorAndKeepsTheFolder) {
    TestFolder stick;
    stick.writePicture(QStringLiteral("s.jpg"), 4, 4);
    const QString stickRoot = stick.path().chopped(1);
    platform::FakeDrives drives(
        {{QStringLiteral("/"), QStringLiteral("/  [vda]")},
         {stickRoot, stickRoot + QStringLiteral("  [STICK]")},
         {QStringLiteral("/no-medium"), QStringLiteral("/no-medium  [CD]")}});
    writePictures(1);
    start();
    openDialog();
    auto* drive1 = control<DriveList>("Drive1");
    ASSERT_EQ(drive1->count(), 3);

    drive1->setCurrentIndex(2); // the user picks the empty drive
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, QStringLiteral("ディスクをセットして下さい"));
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Critical);
    EXPECT_EQ(drive1->drive(), QStringLiteral("/no-medium  [CD]"));
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));

    drive1->setCurrentIndex(1);
    EXPECT_EQ(m().ImageDir, nativeFolder(stick.path()));
    EXPECT_EQ(file1()->entry(0), QStringLiteral("s.jpg"));

    // Cancel goes back to the drive and folder of the opening.
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_EQ(drive1->drive(), QStringLiteral("/  [vda]"));
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(box.shown.size(), 1u);

    // The copy-destination dialog says the same and keeps CopyDir.
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    openCopyDialog();
    openFolderIn(dir2(), QStringLiteral("dest"));
    tcontrol<DriveList>("Drive2")->setCurrentIndex(2);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text, QStringLiteral("ディスクをセットして下さい"));
    EXPECT_EQ(box.shown[1].title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(box.shown[1].icon, platform::MessageBox::Icon::Critical);
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    EXPECT_EQ(dir2()->path(), nativePath(dir.path() + QStringLiteral("dest")));
}

TEST_F(FolderDialogTest, DriveThatRefusesAccessSaysSoInsteadOfAskingForADisk) {
    // A volume that is mounted but closed to this user.
    TestFolder mounts;
    QFile::setPermissions(mounts.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    const QString locked = mounts.path() + QStringLiteral("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    platform::FakeDrives drives(
        {{QStringLiteral("/"), QStringLiteral("/  [vda]")},
         {locked, locked + QStringLiteral("  [SHARE]")},
         {QStringLiteral("/no-medium"), QStringLiteral("/no-medium  [CD]")}});
    writePictures(1);
    start();
    openDialog();
    auto* drive1 = control<DriveList>("Drive1");
    ASSERT_EQ(drive1->count(), 3);
    {
        Unprivileged nobody;
        if (!nobody.active())
            GTEST_SKIP() << "root cannot give up its rights here";
        drive1->setCurrentIndex(1);
    }
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, QStringLiteral("このドライブにアクセスする権限がありません"));
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(box.shown[0].icon, platform::MessageBox::Icon::Critical);
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path())); // the folder stays

    // A drive that is really gone still asks for its disk.
    drive1->setCurrentIndex(2);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text, QStringLiteral("ディスクをセットして下さい"));
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
}

TEST_F(FolderDialogTest, CancelAfterTheSavedDriveWentAwayKeepsTheDialogUsable) {
    auto stick = std::make_unique<TestFolder>();
    const QString stickRoot = stick->path().chopped(1);
    const QString stickText = stickRoot + QStringLiteral("  [STICK]");
    platform::FakeDrives plugged(
        {{rootFolder(dir.path()), rootFolder(dir.path()) + QStringLiteral("  [vda]")},
         {stickRoot, stickText}});
    writePictures(1);
    start();
    openDialog();
    auto* drive1 = control<DriveList>("Drive1");
    drive1->setCurrentIndex(1);
    QTest::mouseClick(ok(), Qt::LeftButton);
    ASSERT_EQ(m().ImageDir, nativeFolder(stick->path()));

    openDialog(); // saves the stick and its folder
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    // The stick is pulled while the dialog is open.
    platform::FakeDrives pulled(
        {{rootFolder(dir.path()), rootFolder(dir.path()) + QStringLiteral("  [vda]")}});
    stick.reset();
    ASSERT_FALSE(QFileInfo::exists(stickRoot)) << "the stick's folder could not be removed";
    QTest::mouseClick(cancel(), Qt::LeftButton);
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_EQ(dir1()->path(),
              nativePath(QFileInfo(stickRoot).path())); // the nearest folder still there
    EXPECT_EQ(file1()->path(), dir1()->path());
    // Going back to the stick is a drive change that finds no medium.
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, QStringLiteral("ドライブエラー"));

    // Still usable: the next opening browses and confirms as usual.
    openDialog();
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("1"));
}

TEST_F(FolderDialogTest, AFolderThatCannotBeListedIsReportedOncePerChange) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    dir.writePicture(QStringLiteral("sub/a.bmp"), 4, 4);
    start();
    openDialog();
    openFolder(QStringLiteral("sub"));
    QTest::mouseClick(ok(), Qt::LeftButton);
    ASSERT_EQ(view()->Total()->text(), QStringLiteral("1"));

    // The folder goes away; "再表示" finds nothing and says why, once.
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("sub")).removeRecursively());
    press("ResetBotton");
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.contains(nativePath(dir.path() + QStringLiteral("sub"))))
        << box.shown[0].text.toStdString();
    press("ResetBotton");
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(FolderDialogTest, CopyDesignAndNoCreationStep) {
    start();
    EXPECT_FALSE(org->hasSetTdir()); // nothing refers to it before the first opening
    openCopyDialog();
    EXPECT_EQ(tdlg()->windowTitle(), QStringLiteral("Copy先ディレクトリ指定"));
    EXPECT_EQ(tdlg()->palette().color(QPalette::Window), QColor(0x80, 0x00, 0x00));
    EXPECT_FALSE(tdlg()->windowIcon().isNull());
    EXPECT_NE(tcontrol<DriveList>("Drive2"), nullptr);
    EXPECT_EQ(tok()->text(), QStringLiteral("OK"));
    EXPECT_EQ(tcancel()->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(file2()->pattern(),
              QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg"));
    // A new folder list starts in the current folder, yet CopyDir stays empty.
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(m().CopyDir.isEmpty());
    // ImageDir is not the business of this dialog.
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
}

TEST_F(FolderDialogTest, CopyFirstOpeningThenOkLeavesCopyDirEmpty) {
    start();
    openCopyDialog();
    QTest::mouseClick(tok(), Qt::LeftButton);
    EXPECT_TRUE(m().CopyDir.isEmpty());
    EXPECT_FALSE(tdlg()->isVisible());
    EXPECT_TRUE(view()->isVisible());
}

TEST_F(FolderDialogTest, CopyFirstOpeningThenCancelLeavesCopyDirEmptyAndTheListInTheCurrentFolder) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    openCopyDialog();
    openFolderIn(dir2(), QStringLiteral("dest"));
    ASSERT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    QTest::mouseClick(tcancel(), Qt::LeftButton);
    EXPECT_TRUE(m().CopyDir.isEmpty());
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(file2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FolderDialogTest, CopyBrowsingSetsCopyDirAtOnceAndCancelRestoresIt) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    dir.writePicture(QStringLiteral("dest/there.bmp"), 4, 4);
    writePictures(2);
    start();
    openCopyDialog();
    openFolderIn(dir2(), QStringLiteral("dest"));
    const QString dest = dir.path() + QStringLiteral("dest/");
    EXPECT_EQ(m().CopyDir, nativeFolder(dest)); // before OK
    EXPECT_EQ(file2()->entry(0), QStringLiteral("there.bmp"));
    QTest::mouseClick(tok(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dest));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // OK reloads nothing

    openCopyDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dest)); // kept while hidden
    EXPECT_EQ(m().SavedCopyDir, nativeFolder(dest));
    ASSERT_TRUE(dir2()->setPath(dir.path() + QStringLiteral("other")));
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("other/")));
    QTest::mouseClick(tcancel(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dest));
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dest));
}

TEST_F(FolderDialogTest, CopyFrameCloseKeepsCopyDirAndTheNextOpeningStartsAnew) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    openCopyDialog();
    openFolderIn(dir2(), QStringLiteral("dest"));
    tdlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetTdir());
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));

    openCopyDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/"))); // creation leaves it
    // Cancel returns to the destination that was in force at this opening.
    QTest::mouseClick(tcancel(), Qt::LeftButton);
    EXPECT_EQ(m().CopyDir, nativeFolder(dir.path() + QStringLiteral("dest/")));
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path() + QStringLiteral("dest/")));
}

