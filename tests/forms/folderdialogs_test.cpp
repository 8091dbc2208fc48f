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

// Qt reads GIF but cannot write it.
void writeGif(const TestFolder& dir, const QString& name) {
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    dir.write(name, tools::encodeGif(img));
}

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
    // The menu item of the main window, as the user opens the dialog.
    void openDialog() {
        trigger("ItemSetDIr");
        ASSERT_TRUE(dlg()->isVisible());
        dlg()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg()));
    }
    void openCopyDialog() {
        press("TDcommand");
        ASSERT_TRUE(tdlg()->isVisible());
    }
    // Opens a subfolder shown in a folder list, as the user does: select it, Enter.
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

TEST_F(FolderDialogTest, FolderChangeFollowsAtOnceAndOkReloads) {
    writePictures(3);
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    for (int k = 0; k < 12; ++k)
        writeGif(dir, QStringLiteral("other/q%1.gif").arg(k, 2, 10, QLatin1Char('0')));
    start();
    EXPECT_FALSE(dlg()->isVisible()); // created, hidden, by the start-up
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(dlg()->DefaultMask(), kDesign);
    view()->show();
    openDialog();
    EXPECT_EQ(m().SavedImageDir, nativeFolder(dir.path()));

    openFolder(QStringLiteral("other"));
    EXPECT_EQ(m().ImageDir, sub("other/"));                  // at once, before OK
    EXPECT_EQ(file1()->count(), 12);                         // the dialog's list shows it
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3")); // the main view not yet
    ok();
    EXPECT_FALSE(dlg()->isVisible());
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("12"));
    EXPECT_EQ(view()->Directory()->text(), sub("other/"));
    EXPECT_EQ(m().fileName(11), QStringLiteral("q11.gif"));
    EXPECT_EQ(view()->VScroll1()->maximum(), 10);

    openDialog(); // the next opening shows the folder the main window shows
    EXPECT_EQ(nativeFolder(dir1()->path()), sub("other/"));
    EXPECT_EQ(m().SavedImageDir, sub("other/"));
    ASSERT_TRUE(dir1()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().ImageDir, nativeFolder(rootFolder())); // one slash
}

TEST_F(FolderDialogTest, MaskPersistsUntilCancelAndARejectedOneFallsBackSilently) {
    dir.writePicture(QStringLiteral("a.bmp"), 4, 4);
    writeGif(dir, QStringLiteral("b.gif"));
    writeGif(dir, QStringLiteral("C.GIF"));
    start();
    openDialog();
    for (const QString& rejected : {QStringLiteral("sub/*.bmp"), QString()}) {
        typeMask(QStringLiteral("*.gif"));
        ASSERT_EQ(file1()->pattern(), QStringLiteral("*.gif"));
        typeMask(rejected);
        EXPECT_EQ(file1()->pattern(), kDesign);
        EXPECT_EQ(mask()->text(), rejected); // the field keeps the text
    }
    typeMask(QStringLiteral("*.gif"));
    ok();
    EXPECT_EQ(m().fileName(0), QStringLiteral("b.gif"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));

    openDialog();
    EXPECT_EQ(mask()->text(), QStringLiteral("*.gif"));
    cancel();
    EXPECT_EQ(file1()->pattern(), kDesign);
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(file1()->count(), 3);
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // Cancel reloads nothing
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FolderDialogTest, CancelRestoresTheSavedFolderOrWhenItIsGoneItsNearestParent) {
    writePictures(2);
    QDir(dir.path()).mkpath(QStringLiteral("a/b"));
    dir.writePicture(QStringLiteral("a/y.bmp"), 4, 4);
    dir.writePicture(QStringLiteral("a/z.bmp"), 4, 4);
    start();
    openDialog();
    openFolder(QStringLiteral("a"));
    openFolder(QStringLiteral("b"));
    ASSERT_EQ(m().ImageDir, sub("a/b/"));
    cancel();
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(dir1()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(nativeFolder(file1()->path()), nativeFolder(dir.path()));
    EXPECT_FALSE(dlg()->isVisible());

    openDialog();
    ASSERT_TRUE(dir1()->setPath(dir.path() + QStringLiteral("a/b")));
    ok();
    openDialog();
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("a/b")).removeRecursively());
    cancel();
    // The list stands on the nearest folder still there; ImageDir keeps the saved string,
    // which matches the names the main view still shows.
    EXPECT_EQ(dir1()->path(), nativePath(dir.path() + QStringLiteral("a")));
    EXPECT_EQ(file1()->count(), 2);
    EXPECT_EQ(m().ImageDir, sub("a/b/"));
    // OK reads the folder the list shows.
    openDialog();
    ok();
    EXPECT_EQ(m().ImageDir, sub("a/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2"));
}

TEST_F(FolderDialogTest, FrameCloseDestroysAndTheNextReferenceRunsCreationAgain) {
    writePictures(3);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    start();
    openDialog();
    typeMask(QStringLiteral("*.gif"));
    openFolder(QStringLiteral("sub"));
    dlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetDir());
    // Neither OK nor Cancel ran: ImageDir stays, the main view is not reloaded.
    EXPECT_EQ(m().ImageDir, sub("sub/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3"));

    // "再表示" refers to the file list: a new dialog, back in the current folder.
    press("ResetBotton");
    EXPECT_TRUE(org->hasSetDir());
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(mask()->text(), kDesign);
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("3"));
}

TEST_F(FolderDialogTest, ADriveThatCannotBeOpenedIsToldAndBothDialogsKeepTheirFolder) {
    TestFolder mounts; // a volume that is mounted but closed to this user
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
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    start();
    const struct {
        bool copy;
        int drive;
        QString text;
    } rows[] = {{false, 2, kNoDisk},
                {true, 2, kNoDisk},
                {false, 1, QStringLiteral("このドライブにアクセスする権限がありません")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.drive);
        if (row.copy) {
            openCopyDialog();
            openFolder(QStringLiteral("dest"), dir2());
        } else {
            openDialog();
        }
        QWidget* dialog = row.copy ? static_cast<QWidget*>(tdlg()) : dlg();
        DirList* list = row.copy ? dir2() : dir1();
        const QString folder = list->path();
        const QString kept = row.copy ? m().CopyDir : m().ImageDir;
        const size_t told = box.shown.size();
        std::optional<Unprivileged> nobody;
        if (row.drive == 1 && !nobody.emplace().active())
            GTEST_SKIP() << "root cannot give up its rights here";
        control<DriveList>(dialog, row.copy ? "Drive2" : "Drive1")->setCurrentIndex(row.drive);
        nobody.reset();
        ASSERT_EQ(box.shown.size(), told + 1);
        EXPECT_EQ(box.shown.back().text, row.text);
        EXPECT_EQ(box.shown.back().title, QStringLiteral("ドライブエラー"));
        EXPECT_EQ(box.shown.back().icon, platform::MessageBox::Icon::Critical);
        EXPECT_EQ(list->path(), folder);
        EXPECT_EQ(row.copy ? m().CopyDir : m().ImageDir, kept);
        click(dialog, "Command2");
        if (!row.copy) { // Cancel goes back to the drive of the opening
            EXPECT_EQ(control<DriveList>(dlg(), "Drive1")->drive(), QStringLiteral("/  [vda]"));
        }
    }
}

TEST_F(FolderDialogTest, CancelAfterTheSavedDriveWentAwayKeepsTheDialogUsable) {
    auto stick = std::make_unique<TestFolder>();
    stick->writePicture(QStringLiteral("s.jpg"), 4, 4);
    const QString stickRoot = stick->path().chopped(1);
    const QString root = rootFolder(dir.path());
    platform::FakeDrives plugged({{root, root + QStringLiteral("  [vda]")},
                                  {stickRoot, stickRoot + QStringLiteral("  [STICK]")}});
    writePictures(1);
    start();
    openDialog();
    control<DriveList>(dlg(), "Drive1")->setCurrentIndex(1);
    EXPECT_EQ(file1()->entry(0), QStringLiteral("s.jpg"));
    ok();
    ASSERT_EQ(m().ImageDir, nativeFolder(stick->path()));

    openDialog(); // saves the stick and its folder
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    platform::FakeDrives pulled({{root, root + QStringLiteral("  [vda]")}});
    stick.reset(); // the stick is pulled while the dialog is open
    ASSERT_FALSE(QFileInfo::exists(stickRoot));
    cancel();
    EXPECT_EQ(dir1()->path(), nativePath(QFileInfo(stickRoot).path())); // nearest still there
    EXPECT_EQ(file1()->path(), dir1()->path());
    // Going back to the stick is a drive change that finds no medium.
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, kNoDisk);

    openDialog(); // still usable
    ASSERT_TRUE(dir1()->setPath(dir.path()));
    ok();
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("1"));
}

TEST_F(FolderDialogTest, AFolderThatCannotBeListedIsReportedOncePerChange) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    dir.writePicture(QStringLiteral("sub/a.bmp"), 4, 4);
    start();
    openDialog();
    openFolder(QStringLiteral("sub"));
    ok();
    ASSERT_EQ(view()->Total()->text(), QStringLiteral("1"));
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("sub")).removeRecursively());
    press("ResetBotton");
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.contains(nativePath(dir.path() + QStringLiteral("sub"))));
    press("ResetBotton");
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(FolderDialogTest, CopyDirFollowsBrowsingAtOnceCancelRestoresItAndAFrameCloseKeepsIt) {
    QDir(dir.path()).mkdir(QStringLiteral("dest"));
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    dir.writePicture(QStringLiteral("dest/there.bmp"), 4, 4);
    writePictures(2);
    start();
    EXPECT_FALSE(org->hasSetTdir()); // nothing refers to it before the first opening
    openCopyDialog();
    // A new folder list starts in the current folder, yet CopyDir stays empty.
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_TRUE(m().CopyDir.isEmpty());
    openFolder(QStringLiteral("dest"), dir2());
    EXPECT_EQ(m().CopyDir, sub("dest/")); // before OK
    EXPECT_EQ(control<FileList>(tdlg(), "File2")->entry(0), QStringLiteral("there.bmp"));
    click(tdlg(), "Command2");
    EXPECT_TRUE(m().CopyDir.isEmpty());
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));

    openCopyDialog();
    openFolder(QStringLiteral("dest"), dir2());
    click(tdlg(), "Command1");
    EXPECT_EQ(m().CopyDir, sub("dest/"));
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("2")); // OK reloads nothing
    EXPECT_EQ(m().ImageDir, nativeFolder(dir.path()));

    openCopyDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), sub("dest/")); // kept while hidden
    EXPECT_EQ(m().SavedCopyDir, sub("dest/"));
    ASSERT_TRUE(dir2()->setPath(QStringLiteral("/")));
    EXPECT_EQ(m().CopyDir, nativeFolder(rootFolder())); // one slash
    ASSERT_TRUE(dir2()->setPath(dir.path() + QStringLiteral("other")));
    EXPECT_EQ(m().CopyDir, sub("other/"));
    click(tdlg(), "Command2");
    EXPECT_EQ(m().CopyDir, sub("dest/"));
    EXPECT_EQ(nativeFolder(dir2()->path()), sub("dest/"));

    // The frame close keeps CopyDir; the next opening makes a new dialog in the current folder,
    // and its Cancel returns to the destination in force at that opening.
    openCopyDialog();
    ASSERT_TRUE(dir2()->setPath(dir.path() + QStringLiteral("other")));
    tdlg()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(org->hasSetTdir());
    EXPECT_EQ(m().CopyDir, sub("other/"));
    openCopyDialog();
    EXPECT_EQ(nativeFolder(dir2()->path()), nativeFolder(dir.path()));
    EXPECT_EQ(m().CopyDir, sub("other/"));
    click(tdlg(), "Command2");
    EXPECT_EQ(m().CopyDir, sub("other/"));
    EXPECT_EQ(nativeFolder(dir2()->path()), sub("other/"));
}
