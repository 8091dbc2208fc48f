#pragma once
// The copy-destination dialog: chooses CopyDir. The twin of the image-folder dialog, without
// a mask; its file list only shows what the destination already holds.

#include "folderdialog.h"

namespace tarvo {

class Organiser;

class SetTdir : public FolderDialog {
    Q_OBJECT
public:
    // No creation step of its own: CopyDir stays as it is until the first folder change.
    explicit SetTdir(Organiser& org);
    platform::DriveList* Drive2() const { return driveList(); }
    platform::DirList* Dir2() const { return dirList(); }
    platform::FileList* File2() const { return fileList(); }

    // ItemSetTdir / TDcommand: save drive and folder, show the dialog.
    using FolderDialog::open;
    void Command1_Click() override; // OK
    void Command2_Click() override; // Cancel
};

} // namespace tarvo
