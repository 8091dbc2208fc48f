// The clipboard copies of the Edit menu: the selected picture or its full path.
#include "browser/imgview.h"
#include "browser/organiser.h"
#include "browser/pictureview.h"
#include "commands.h"
#include "edittext.h"
#include "fullpicture.h"
#include "platform/clipboard.h"
#include "platform/pictures/pictureloader.h"
#include "platform/textcodec.h"

#include <QAction>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace tarvo {

namespace {

const QString kNotCopied = QStringLiteral("（画像をクリップボードにコピーできませんでした）");

// An icon goes through Picture1: a bitmap of the box's area with the icon entry that fits
// the box drawn whole, at the standard icon size, on the box's background.
QImage iconThroughPicture1(ImgView* view, const QImage& icon) {
    PictureView* box = view->Picture1();
    box->setPicture(icon);
    QImage out(box->size(), QImage::Format_RGB32);
    out.fill(box->palette().color(QPalette::Window));
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), icon);
    return out;
}

QByteArray bytesOf(ClickedPicture& picture) {
    if (!picture.held)
        return picture.bytes;
    std::optional<platform::FileSnapshot> snap =
        platform::readSnapshot(*picture.held, picture.identity, platform::kMaxPictureBytes);
    return snap ? snap->bytes : QByteArray();
}

} // namespace

bool ItemCopy_Click(Organiser& org, int k) {
    Module1& m = org.m();
    ImgView* view = org.imgView();
    m.CurFileName = view->text1(m.CurCell);
    // The file this name stands for: a reload that moves it out of the cell ends the
    // selection.
    view->setSelectedFile(m.CurFileName.isEmpty()
                              ? QString()
                              : m.ImageDir + m.fileName(view->VScroll1()->value() + m.CurCell));
    if (m.CurFileName.isEmpty())
        return true;
    platform::Clipboard& clip = org.clipboard();
    if (view->ItemClear()->isChecked())
        (void)clip.clear();
    if (k == 0) {
        // The cell holds a reduced picture; the clipboard gets the whole one, taken from the
        // file now: nothing done to the file after the click changes what it copied.
        PictureView* cell = view->Image1(m.CurCell);
        if (!cell->hasPicture())
            return false;
        const QString path = cell->sourcePath();
        std::optional<ClickedPicture> taken = takePicture(path);
        if (!taken)
            return false;
        if (m.CurFileName.right(3).toUpper() == QLatin1String("ICO")) {
            // Small, and drawn through a widget: done here.
            const std::optional<QImage> icon = platform::loadIconEntryFromBytes(bytesOf(*taken));
            return icon && clip.addImage(iconThroughPicture1(view, *icon)).ok();
        }
        // The file changed since its cell was drawn: the cell is drawn again from the picture
        // the click took, so cell and clipboard agree.
        const bool cellStale = view->thumbnails().shownIdentity(path) != taken->identity;
        const int cellIndex = m.CurCell;
        // A large photo takes a third of a second to decode: the clipboard is taken now and
        // the picture handed over when its worker has made it.
        auto told = std::make_shared<bool>(false);
        auto offer = std::make_shared<std::weak_ptr<platform::PendingImage>>();
        std::shared_ptr<platform::PendingImage> pending = org.fullPictures().start(
            std::move(*taken), [&org, told, offer, cellStale, cellIndex, path](bool made) {
                std::shared_ptr<platform::PendingImage> p = offer->lock();
                if (!made) {
                    // An offer nobody can read is taken back.
                    if (p)
                        org.clipboard().withdrawPendingImage(p);
                    if (!*told)
                        ReportNotCopied(org);
                } else if (cellStale && p) {
                    org.imgView()->showTakenPicture(cellIndex, path, p->wait().value_or(QImage()));
                }
                org.imgView()->resumePrefetch();
            });
        *offer = pending;
        const bool ok = clip.addPendingImage(pending).ok();
        // Only now that the clipboard holds the new offer: a reader of the one before is
        // still answered with its picture.
        org.fullPictures().giveUpOthers();
        // A failure known now is told by the caller; one found later by the worker, here.
        *told = !ok;
        return ok;
    }
    if (k == 1)
        // The path as shown: clipboard text cannot carry a name's raw Shift-JIS bytes.
        (void)clip.addText(platform::shownName(m.ImageDir + m.CurFileName));
    return true;
}

void ReportNotCopied(Organiser& org) {
    EditText* window = org.editText();
    window->setCaption(window->caption() + QStringLiteral(" ") + kNotCopied);
}

void CopyMemoText(Organiser& org) {
    // Added to what the clipboard holds, whatever the check mark of ItemClear says.
    // The text as the user sees it, no-break spaces and all; lines end as the clipboard's
    // own text does, each platform adding its CR.
    QString text = org.editText()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    (void)org.clipboard().addText(text);
}

} // namespace tarvo
