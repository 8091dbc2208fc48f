#include "module1.h"

#include "cellrules.h"
#include "dialogs/setdir.h"
#include "imgview.h"
#include "organiser.h"
#include "pictureview.h"
#include "platform/controls/folderlists.h"
#include "platform/pathrules.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

namespace tarvo {

const QString& Module1::fileName(int k) const {
    static const QString empty;
    if (k < 0 || k >= kFileTableSize)
        return empty;
    return FileNames[static_cast<size_t>(k)];
}

void Module1::setFileName(int k, const QString& name) {
    if (k < 0 || k >= kFileTableSize)
        return;
    FileNames[static_cast<size_t>(k)] = name;
}

void InitImageDir(Organiser& org) {
    // In the system's own form, "C:\PICS\" on Windows: the folder label shows it and Ctrl+N
    // puts paths made from it on the clipboard.
    org.m().ImageDir = platform::nativeFolder(QDir::currentPath());
}

void LoadFileList(Organiser& org) {
    Module1& m = org.m();
    ImgView* view = org.imgView();
    for (int i = 0; i < kCells; ++i) {
        view->Shape1(i)->setBorderWidth(1);
        QFont f = view->Text1(i)->font();
        f.setBold(false);
        view->Text1(i)->setFont(f);
    }
    std::fill(m.FileNames.begin(), m.FileNames.end(), QString());

    platform::FileList* list = org.setDir()->File1();
    int n = 0;
    while (n < kFileTableSize) {
        QString entry = list->entry(n);
        if (entry.isEmpty())
            break;
        m.FileNames[static_cast<size_t>(n)] = entry;
        ++n;
    }

    view->FillPage(0);

    // Either assignment runs the page change when it moves the value; with the page at 0
    // and a maximum of 0 or more nothing moves, and the selection survives the reload.
    view->VScroll1()->setMaximum(scrollMaximum(n));
    view->VScroll1()->setValue(0);
    view->Directory()->setText(platform::shownName(m.ImageDir));
    view->Total()->setText(QString::number(n));
    // A reload of another folder, or one after which the selected cell shows another
    // file, must not leave delete and copy aimed at a file the user no longer sees.
    view->endSelectionIfNotShown();
}

} // namespace tarvo
