#include "settdir.h"

#include "platform/controls/icons.h"

#include <QPalette>

namespace tarvo {

namespace {

FolderDialogDesign design() {
    FolderDialogDesign d;
    d.caption = QStringLiteral("Copy先ディレクトリ指定");
    d.driveName = QStringLiteral("Drive2");
    d.dirName = QStringLiteral("Dir2");
    d.fileName = QStringLiteral("File2");
    d.drive = QRectF(2745, 120, 2055, 300);
    d.dir = QRectF(2760, 600, 2055, 2610);
    d.file = QRectF(120, 90, 2535, 2430);
    d.ok = QRectF(1440, 2880, 1095, 375);
    d.cancel = QRectF(240, 2880, 1095, 375);
    d.filePattern = kDesignPattern; // never changed
    return d;
}

} // namespace

SetTdir::SetTdir(Organiser& org)
    : FolderDialog(org, design(),
                   {&Module1::CopyDir, &Module1::SavedCopyDir, &Module1::SavedCopyDrive}) {
    // Dark red, so the destination dialog is never taken for the image-folder dialog.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x00, 0x00));
    setPalette(pal);
    setAutoFillBackground(true);
    setWindowIcon(platform::copyDirIcon());
    connectLists();
}

void SetTdir::Command1_Click() {
    hideAndShowMain();
}

void SetTdir::Command2_Click() {
    restoreSaved();
    hideAndShowMain();
}

} // namespace tarvo
