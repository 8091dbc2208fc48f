// Rename, delete and copy to the destination: the commands that change files in the image
// folder. Each works on the selected cell and moves the picture's memo along.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "browser/pictureview.h"
#include "commands.h"
#include "edittext.h"
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
                        QStringLiteral("%1 をコピーできませんでした。\r%2\r%3")
                            .arg(name, QDir::toNativeSeparators(to), r.reason),
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
        return; // a name that would leave the folder or that no file system takes
    newName = t->newName;
    if (!org.files().renameNoReplace(m.ImageDir + oldName, m.ImageDir + t->newName).ok())
        return;
    org.imgView()->thumbnails().renamed(m.ImageDir + oldName, m.ImageDir + t->newName);
    m.setFileName(selectedIndex(org), t->newName);
    // The memo follows the picture only while the memo window holds its text.
    if (!org.editText()->text().isEmpty() && org.files().isNormalFile(m.ImageDir + t->oldMemo)) {
        if (!org.files().renameNoReplace(m.ImageDir + t->oldMemo, m.ImageDir + t->newMemo).ok())
            return;
    }
    org.editText()->setCaption(t->newMemo);
}

void DelFcommand_Click(Organiser& org) {
    Module1& m = org.m();
    if (m.CurFileName.isEmpty())
        return;
    ImgView* view = org.imgView();
    const int cell = m.CurCell;
    DeleteIfExists(org, m.ImageDir + m.CurFileName);
    view->thumbnails().removed(m.ImageDir + m.CurFileName);
    view->Image1(cell)->clearPicture();
    if (!m.MemoFileName.isEmpty())
        DeleteIfExists(org, m.ImageDir + m.MemoFileName);
    view->setText1(cell, QString());
    m.setFileName(selectedIndex(org), QString());
    view->Label2(cell)->setText(QString());
}

void CopyToDestination(Organiser& org) {
    Module1& m = org.m();
    if (m.CurFileName.isEmpty())
        return;
    if (!copyOne(org, m.CurFileName))
        return;
    if (!m.MemoFileName.isEmpty() && org.files().isNormalFile(m.ImageDir + m.MemoFileName))
        copyOne(org, m.MemoFileName);
    org.imgView()->setText1Colour(m.CurCell, kCopiedRed);
}

} // namespace tarvo
