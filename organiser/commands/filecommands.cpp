// Rename, delete and copy to the destination: the commands that change files in the image
// folder. Each works on the selected cell and moves the picture's memo along.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "browser/pictureview.h"
#include "commands.h"
#include "edittext.h"
#include "memoitems.h"
#include "platform/controls/messagebox.h"
#include "platform/files.h"
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

// Deletes path when a lookup for normal files finds it; the caller decides what a failure
// means.
platform::Result DeleteIfExists(Organiser& org, const QString& path) {
    if (org.files().isNormalFile(path))
        return org.files().remove(path);
    return platform::Result::success();
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
    // While no destination has been chosen the copy lands in the start folder, which is
    // nobody's choice: a file there is not replaced by surprise.
    platform::Result r;
    if (m.CopyDir.isEmpty() && (org.files().isNormalFile(to) || org.files().length(to)))
        r = platform::Result::failure(
            platform::Error::Exists, to,
            QStringLiteral("コピー先が指定されていないため、同じ名前のファイルを置き換えません"));
    else
        r = org.files().copyReplace(from, to);
    if (r.ok())
        return true;
    org.messages().show(org.imgView(),
                        QStringLiteral("%1 をコピーできませんでした。\rコピー先: %2\r理由: %3")
                            .arg(name, QDir::toNativeSeparators(to), r.cause),
                        QString(), platform::MessageBox::Icon::Warning);
    return false;
}

} // namespace

QString CNcommand_Click(Organiser& org) {
    Module1& m = org.m();
    const QString oldName = m.fileName(selectedIndex(org));
    QString newName = org.imgView()->text1(m.CurCell);
    QString refusal;
    if (oldName.contains(QLatin1Char('.'))) {
        m.RenameExt = oldName.mid(oldName.indexOf(QLatin1Char('.')));
        const QString typed = newName;
        const platform::Result r = RenameImageFile(org, oldName, newName);
        if (!r.ok()) {
            refusal =
                QStringLiteral("%1 の名前を %2 に変更できません: %3").arg(oldName, typed, r.cause);
            // The field shows the name the file has, not a name it did not get.
            org.imgView()->setText1(m.CurCell, m.fileName(selectedIndex(org)));
            org.editText()->setCaption(refusal);
        }
    }
    m.NameEdited = 0;
    return refusal;
}

platform::Result RenameImageFile(Organiser& org, const QString& oldName, QString& newName) {
    Module1& m = org.m();
    if (oldName == newName)
        return platform::Result::success();
    const std::optional<RenameTargets> t = renameTargets(oldName, newName, m.RenameExt);
    if (!t) {
        // A name that would leave the folder, hide the file or no file system takes.
        const qsizetype dot = newName.indexOf(QLatin1Char('.'));
        return platform::Result::failure(
            platform::Error::InvalidName,
            (dot < 0 ? newName : newName.left(dot)).isEmpty()
                ? QStringLiteral("名前が空です")
                : QStringLiteral("ファイル名に使えない文字が含まれています"));
    }
    newName = t->newName;
    if (t->newName == oldName)
        return platform::Result::success(); // only what the old extension replaced differs
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
        return platform::Result::failure(
            platform::Error::Exists, newMemo,
            QStringLiteral("同じ名前のメモ %1 が既にあります").arg(t->newMemo));
    if (const platform::Result r = files.renameNoReplace(oldPicture, newPicture); !r.ok())
        return r;
    // The memo follows the picture only while the memo window holds its text.
    if (!org.editText()->text().isEmpty() && files.isNormalFile(oldMemo)) {
        if (const platform::Result r = files.renameNoReplace(oldMemo, newMemo); !r.ok()) {
            const platform::Result told = platform::Result::failure(
                r.error, oldMemo,
                QStringLiteral("メモ %1 を移せません: %2").arg(t->oldMemo, r.cause));
            // The memo could not follow: the picture goes back, so the two keep one name.
            if (files.renameNoReplace(newPicture, oldPicture).ok())
                return told;
            m.setFileName(selectedIndex(org), t->newName);
            org.imgView()->cellFileRenamed(m.CurCell, oldPicture, newPicture);
            return told;
        }
    }
    m.setFileName(selectedIndex(org), t->newName);
    org.imgView()->cellFileRenamed(m.CurCell, oldPicture, newPicture);
    org.editText()->setCaption(t->newMemo);
    return platform::Result::success();
}

void DelFcommand_Click(Organiser& org) {
    Module1& m = org.m();
    ImgView* view = org.imgView();
    // The keyboard focus leaves the button: a Space or Enter meant for whatever the user
    // selects next must not delete that picture too. The scroll bar takes it, where the
    // keys only turn the page.
    view->VScroll1()->setFocus(Qt::OtherFocusReason);
    if (m.CurFileName.isEmpty())
        return;
    const int cell = m.CurCell;
    // The picture the cell shows (its table entry) and that picture's memo; never the
    // name typed in the field, which may name another picture or none.
    const QString name = m.fileName(selectedIndex(org));
    QString refusal;
    if (!name.isEmpty()) {
        platform::Files& files = org.files();
        const QString picture = m.ImageDir + name;
        const platform::Result removed = DeleteIfExists(org, picture);
        view->cellFileDeleted(cell, picture);
        // The memo goes only with its picture: a picture that stays (read-only, held open by
        // another program) keeps its memo beside it.
        if (files.isNormalFile(picture) || files.length(picture)) {
            refusal = QStringLiteral("%1 を削除できません: %2")
                          .arg(name, removed.ok() ? platform::Result::errorText(platform::Error::Io)
                                                  : removed.cause);
        } else {
            const QString memo = memoNameFor(name);
            const platform::Result memoRemoved = DeleteIfExists(org, m.ImageDir + memo);
            if (!memoRemoved.ok())
                refusal =
                    QStringLiteral("メモ %1 を削除できません: %2").arg(memo, memoRemoved.cause);
            // A pending edit of the memo just deleted is not written back by the next
            // selection; its text stays in the memo window.
            if (m.MemoPath == m.ImageDir + memo)
                m.MemoDirty = 0;
        }
    } else {
        view->cellFileDeleted(cell, m.ImageDir + name);
    }
    view->setText1(cell, QString());
    m.setFileName(selectedIndex(org), QString());
    view->Label2(cell)->setText(QString());
    if (!refusal.isEmpty())
        org.editText()->setCaption(refusal);
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
