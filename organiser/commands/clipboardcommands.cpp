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

// An icon goes through Picture1: a bitmap of the box's area with the icon drawn at its
// natural size on the box's background.
QImage iconThroughPicture1(ImgView* view, const QImage& icon) {
    PictureView* box = view->Picture1();
    box->setPicture(icon);
    QImage out(box->size(), QImage::Format_RGB32);
    out.fill(box->palette().color(QPalette::Window));
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), icon);
    return out;
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
        // The cell holds a reduced picture; the clipboard gets the whole one, read from the
        // file now.
        PictureView* cell = view->Image1(m.CurCell);
        if (!cell->hasPicture())
            return false;
        if (m.CurFileName.right(3).toUpper() == QLatin1String("ICO")) {
            // Small, and drawn through a widget: done here.
            const std::optional<QImage> icon = platform::loadFullPicture(cell->sourcePath());
            return icon && clip.addImage(iconThroughPicture1(view, *icon)).ok();
        }
        // A large photo takes a third of a second to decode: the clipboard is taken now and
        // the picture handed over when its worker has made it.
        auto told = std::make_shared<bool>(false);
        std::shared_ptr<platform::PendingImage> pending =
            org.fullPictures().start(cell->sourcePath(), [&org, told](bool made) {
                if (!made && !*told)
                    ReportNotCopied(org);
                org.imgView()->resumePrefetch();
            });
        const bool ok = clip.addPendingImage(std::move(pending)).ok();
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
    (void)org.clipboard().addText(org.editText()->Etxt()->toPlainText());
}

} // namespace tarvo
