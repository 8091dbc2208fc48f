// The two folder dialogs: the image-folder dialog (choosing the folder and the mask, OK and
// Cancel, the drive errors, the frame close) and the copy-destination dialog (CopyDir before
// and after it). Both are one dialog class: what they share is checked on one of them.
#include "organiser/dialogs/setdir.h"
#include "organiser/dialogs/settdir.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "support/organiserfixture.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QLineEdit>
#include <optional>

using namespace testing_support;
using namespace tarvo;
using platform::DirList;
using platform::DriveList;
using platform::FileList;
using platform::nativeFolder;
using platform::nativePath;

namespace {

const QString kDesign = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");
const QString kNoDisk = QStringLiteral("ディスクをセットして下さい");

class FolderDialogTest : public OrganiserTest {
protected:
    SetDir* dlg() { return org->setDir(); }
    SetTdir* tdlg() { return org->setTdir(); }
    template <typename T> T* control(QWidget* dialog, const char* name) {
        auto* w = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    DirList* dir1() { return control<DirList>(dlg(), "Dir1"); }
    FileList* file1() { return control<FileList>(dlg(), "File1"); }
    QLineEdit* mask() { return control<QLineEdit>(dlg(), "SetMask"); }
    DirList* dir2() { return control<DirList>(tdlg(), "Dir2"); }
    void click(QWidget* dialog, const char* button) {
        QTest::mouseClick(control<QPushButton>(dialog, button), Qt::LeftButton);
    }
    void ok() { click(dlg(), "Command1"); }
    void cancel() { click(dlg(), "Command2"); }
    void openDialog() {
        trigger("ItemSetDIr");
        ASSERT_TRUE(dlg()->isVisible());
        dlg()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg()));
    }
    // Select a subfolder in a folder list, Enter.
    void openFolder(const QString& sub, DirList* d = nullptr) {
        d = d ? d : dir1();
        for (int r = 0; r < d->count(); ++r) {
            if (d->item(r)->text().trimmed() == sub) {
                d->setCurrentRow(r);
                QTest::keyClick(d->viewport(), Qt::Key_Return);
                return;
            }
        }
        ADD_FAILURE() << "no folder " << sub.toStdString() << " in the list";
    }
    // Types a mask and leaves the field, which applies it.
    void typeMask(const QString& text) {
        mask()->setFocus();
        mask()->selectAll();
        QTest::keyClick(mask(), Qt::Key_Delete);
        QTest::keyClicks(mask(), text);
        dir1()->setFocus();
    }
    QString sub(const char* path) { return nativeFolder(dir.path() + QLatin1String(path)); }
};

} // namespace

TEST_F(FolderDialogTest, FolderChangeFollowsAtOnceOkReloadsAndCancelFindsTheNearestFolder) {
    writePictures(3);
    QDir(dir.path()).mkpath(QStringLiteral("a/b"));
    dir.writePicture(QStringLiteral("a/y.bmp"), 4, 4);
    dir.writePicture(QStringLiteral("a/z.bmp"), 4, 4);
    for (int k = 0; k < 12; ++k)
        dir.writePicture(QStringLiteral("a/b/q%1.gif").arg(k, 2, 10, QLatin1Char('0')), 4, 4);
    start();
    view()->show();
    openDialog();
    openFolder(QStringLiteral("a"));
    openFolder(QStringLiteral("b"));
    EXPECT_EQ(m().ImageDir, sub("a/b/"));                    // at once, before OK
    EXPECT_EQ(file1()->count(), 12);                         // the dialog's list shows it
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3")); // the main view not yet
    ok();
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("12"));
    EXPECT_EQ(view()->Directory()->text(), sub("a/b/"));
    EXPECT_EQ(m().fileName(11), QStringLiteral("q11.gif"));
    openDialog(); // the next opening shows the folder the main window shows
    EXPECT_EQ(nativeFolder(dir1()->path()), sub("a/b/"));

    // Cancel when the saved folder is gone: the list stands on the nearest folder still there;
    // ImageDir keeps the saved string, which matches the names the main view still shows.
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("a/b")).removeRecursively());
    cancel();
    EXPECT_EQ(dir1()->path(), nativePath(dir.path() + QStringLiteral("a")));
    EXPECT_EQ(file1()->count(), 2);
    EXPECT_EQ(m().ImageDir, sub("a/b/"));
    openDialog(); // OK reads the folder the list shows
    ok();
    EXPECT_EQ(m().ImageDir, sub("a/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
}

TEST_F(FolderDialogTest, MaskPersistsUntilCancelAndFrameCloseMakesANewDialog) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4);
    dir.writePicture(QStringLiteral("b.gif"), 4, 4);
    dir.writePicture(QStringLiteral("C.GIF"), 4, 4);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    start();
    openDialog();
    for (const QString& rejected : {QStringLiteral("sub/*.bmp"), QString()}) {
        typeMask(QStringLiteral("*.gif"));
        ASSERT_EQ(file1()->pattern(), QStringLiteral("*.gif"));
        typeMask(rejected); // falls back to the design's mask without a word
        EXPECT_EQ(file1()->pattern(), kDesign);
        EXPECT_EQ(mask()->text(), rejected); // the field keeps the text
    }
    typeMask(QStringLiteral("*.gif"));
    ok();
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
    openDialog();
    EXPECT_EQ(mask()->text(), QStringLiteral("*.gif"));
    cancel();
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(file1()->count(), 3);
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // Cancel reloads nothing
    EXPECT_TRUE(box.shown.empty());

    // The frame close destroys the dialog; neither OK nor Cancel runs.
    openDialog();
    typeMask(QStringLiteral("*.gif"));
    openFolder(QStringLiteral("sub"));
    dlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetDir());
    EXPECT_EQ(m().ImageDir, sub("sub/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
    // "再表示" refers to the file list: a new dialog, back in the current folder.
    press("ResetBotton");
    EXPECT_TRUE(org->hasSetDir());
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3"));
}

TEST_F(FolderDialogTest, ADriveOpensAtItsTopFolderAndOneThatCannotBeOpenedIsTold) {
    TestFolder mounts; // a volume that is mounted but closed to this user
    QFile::setPermissions(mounts.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    const QString locked = mounts.path() + QStringLiteral("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    TestFolder stick;
    stick.writePicture(QStringLiteral("s.jpg"), 4, 4);
    const QString stickRoot = stick.path().chopped(1);
    platform::FakeDrives drives({{QStringLiteral("/"), QStringLiteral("/  [vda]")},
                                 {locked, locked + QStringLiteral("  [SHARE]")},
                                 {QStringLiteral("/no-medium"), QStringLiteral("/no-medium  [CD]")},
                                 {stickRoot, stickRoot + QStringLiteral("  [STICK]")}});
    start();
    openDialog();
    control<DriveList>(dlg(), "Drive1")->setCurrentIndex(3);
    EXPECT_EQ(file1()->entry(0), QStringLiteral("s.jpg"));
    ok();
    ASSERT_EQ(m().ImageDir, nativeFolder(stick.path()));
    for (const auto& [drive, text] :
         {std::pair{2, kNoDisk},
          std::pair{1, QStringLiteral("このドライブにアクセスする権限がありません")}}) {
        SCOPED_TRACE(drive);
        openDialog();
        const QString folder = dir1()->path();
        const size_t told = box.shown.size();
        std::optional<Unprivileged> nobody;
        if (drive == 1 && !nobody.emplace().active())
            GTEST_SKIP() << "root cannot give up its rights here";
        control<DriveList>(dlg(), "Drive1")->setCurrentIndex(drive);
        nobody.reset();
        ASSERT_EQ(box.shown.size(), told + 1);
        EXPECT_EQ(box.shown.back().text, text);
        EXPECT_EQ(box.shown.back().title, QStringLiteral("ドライブエラー"));
        EXPECT_EQ(box.shown.back().icon, platform::MessageBox::Icon::Critical);
        EXPECT_EQ(dir1()->path(), folder);
        EXPECT_EQ(m().ImageDir, nativeFolder(stick.path()));
        cancel(); // back to the drive of the opening
        EXPECT_EQ(control<DriveList>(dlg(), "Drive1")->drive(),
                  stickRoot + QStringLiteral("  [STICK]"));
    }
}

TEST_F(FolderDialogTest, AFolderThatCannotBeOpenedOrListedIsTold) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    QDir(dir.path()).mkdir(QStringLiteral("gone"));
    dir.writePicture(QStringLiteral("sub/a.bmp"), 4, 4);
    start();
    openDialog();
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("gone")).removeRecursively());
    openFolder(QStringLiteral("gone")); // still in the list
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.startsWith(QStringLiteral("フォルダを開けません")));
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(dir.path()));
    openFolder(QStringLiteral("sub"));
    ok();
    ASSERT_EQ(view()->Total()->text(), QStringLiteral("1"));
    // Once for each change: a second refresh of the same gone folder says nothing more.
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("sub")).removeRecursively());
    press("ResetBotton");
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_TRUE(box.shown[1].text.contains(nativePath(dir.path() + QStringLiteral("sub"))));
    press("ResetBotton");
    EXPECT_EQ(box.shown.size(), 2u);
}

TEST_F(FolderDialogTest, CopyDirFollowsBrowsingAtOnceAndCancelRestoresIt) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    dir.writePicture(QStringLiteral("dest/there.bmp"), 4, 4);
    writePictures(2);
    start();
    EXPECT_FALSE(org->hasSetTdir()); // nothing refers to it before the first opening
    press("TDcommand");
    ASSERT_TRUE(tdlg()->isVisible());
    // A new folder list starts in the current folder, yet CopyDir stays empty.
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(m().CopyDir.isEmpty());
    openFolder(QStringLiteral("dest"), dir2());
    EXPECT_EQ(m().CopyDir, sub("dest/")); // before OK
    EXPECT_EQ(control<FileList>(tdlg(), "File2")->entry(0), QStringLiteral("there.bmp"));
    click(tdlg(), "Command2");
    EXPECT_TRUE(m().CopyDir.isEmpty());

    press("TDcommand");
    openFolder(QStringLiteral("dest"), dir2());
    click(tdlg(), "Command1");
    EXPECT_EQ(m().CopyDir, sub("dest/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // OK reloads nothing
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));

    press("TDcommand");
    EXPECT_EQ(nativeFolder(dir2()->path()), sub("dest/")); // kept while hidden
    ASSERT_TRUE(dir2()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().CopyDir, nativeFolder(rootFolder())); // one slash
    click(tdlg(), "Command2");
    EXPECT_EQ(m().CopyDir, sub("dest/"));
}
