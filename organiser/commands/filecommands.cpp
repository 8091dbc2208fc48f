// Rename, delete and copy to the destination: the commands that change files in the image
// folder. Each works on the selected cell and moves the picture's memo along.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "browser/pictureview.h"
#include "commands.h"
#include "edittext.h"
#include "memoitems.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "renamerules.h"

#include <QDir>
#include <QLabel>
#include <QScrollBar>

namespace tarvo {

namespace {

const QColor kCopiedRed(0xF0, 0x00, 0x00);

int selectedIndex(Organiser& org) {
    return org.imgView()->VScroll1()->value() + org.m().CurCell;
}

// Deletes path when a lookup for normal files finds it; every failure is ignored.
void DeleteIfExists(Organiser& org, const QString& path) {
    if (org.files().isNormalFile(path))
        (void)org.files().remove(path);
}

// A destination name: CopyDir joined with the name, or, while no destination has been
// chosen, the name in the process's current folder.
QString destinationPath(const Module1& m, const QString& name) {
    if (m.CopyDir.isEmpty())
        return QDir::currentPath() + QLatin1Char('/') + name;
    return m.CopyDir + name;
}

// Copies one file to the destination; false, after telling the user, when that fails.
bool copyOne(Organiser& org, const QString& name) {
    const Module1& m = org.m();
    const QString from = m.ImageDir + name;
    const QString to = destinationPath(m, name);
    // The destination may be the image folder itself: copying a file onto itself would
    // empty it, and there is nothing to do.
    if (org.files().sameFile(from, to))
        return true;
    const platform::Result r = org.files().copyReplace(from, to);
    if (r.ok())
        return true;
    org.messages().show(org.imgView(),
                        QStringLiteral("%1 をコピーできませんでした。\rコピー先: %2\r理由: %3")
                            .arg(name, QDir::toNativeSeparators(to), r.cause),
                        QString(), platform::MessageBox::Icon::Warning);
    return false;
}

} // namespace

void CNcommand_Click(Organiser& org) {
    Module1& m = org.m();
    const QString oldName = m.fileName(selectedIndex(org));
    QString newName = org.imgView()->text1(m.CurCell);
    if (oldName.contains(QLatin1Char('.'))) {
        m.RenameExt = oldName.mid(oldName.indexOf(QLatin1Char('.')));
        RenameImageFile(org, oldName, newName);
    }
    m.NameEdited = 0;
}

void RenameImageFile(Organiser& org, const QString& oldName, QString& newName) {
    Module1& m = org.m();
    if (oldName == newName)
        return;
    const std::optional<RenameTargets> t = renameTargets(oldName, newName, m.RenameExt);
    if (!t)
        return; // a name that would leave the folder, hide the file or no file system takes
    newName = t->newName;
    if (t->newName == oldName)
        return; // only what the old extension replaced was typed differently
    platform::Files& files = org.files();
    const QString oldPicture = m.ImageDir + oldName;
    const QString newPicture = m.ImageDir + t->newName;
    const QString oldMemo = m.ImageDir + t->oldMemo;
    const QString newMemo = m.ImageDir + t->newMemo;
    // A memo under the new name that is not this picture's own belongs to another picture:
    // taking the name would leave this memo behind and show that one as this picture's.
    // Both targets are checked before either file moves.
    if (t->newMemo != t->oldMemo && files.isNormalFile(newMemo) &&
        !files.sameFile(oldMemo, newMemo))
        return;
    if (!files.renameNoReplace(oldPicture, newPicture).ok())
        return;
    // The memo follows the picture only while the memo window holds its text.
    if (!org.editText()->text().isEmpty() && files.isNormalFile(oldMemo) &&
        !files.renameNoReplace(oldMemo, newMemo).ok()) {
        // The memo could not follow: the picture goes back, so the two keep one name.
        if (files.renameNoReplace(newPicture, oldPicture).ok())
            return;
        m.setFileName(selectedIndex(org), t->newName);
        org.imgView()->cellFileRenamed(m.CurCell, oldPicture, newPicture);
        return;
    }
    m.setFileName(selectedIndex(org), t->newName);
    org.imgView()->cellFileRenamed(m.CurCell, oldPicture, newPicture);
    org.editText()->setCaption(t->newMemo);
}

void DelFcommand_Click(Organiser& org) {
    Module1& m = org.m();
    if (m.CurFileName.isEmpty())
        return;
    ImgView* view = org.imgView();
    const int cell = m.CurCell;
    // The picture the cell shows (its table entry) and that picture's memo; never the
    // name typed in the field, which may name another picture or none.
    const QString name = m.fileName(selectedIndex(org));
    if (!name.isEmpty())
        DeleteIfExists(org, m.ImageDir + name);
    view->cellFileDeleted(cell, m.ImageDir + name);
    if (!name.isEmpty())
        DeleteIfExists(org, m.ImageDir + memoNameFor(name));
    view->setText1(cell, QString());
    m.setFileName(selectedIndex(org), QString());
    view->Label2(cell)->setText(QString());
}

void CopyToDestination(Organiser& org) {
    Module1& m = org.m();
    if (m.CurFileName.isEmpty())
        return;
    // Like the delete, the copy takes the picture the cell shows, not a typed name that a
    // refused rename left in the field.
    const QString name = m.fileName(selectedIndex(org));
    if (name.isEmpty())
        return;
    if (!copyOne(org, name))
        return;
    const QString memo = memoNameFor(name);
    if (org.files().isNormalFile(m.ImageDir + memo))
        copyOne(org, memo);
    org.imgView()->setText1Colour(m.CurCell, kCopiedRed);
}

} // namespace tarvo
