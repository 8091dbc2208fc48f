#pragma once
// The image-folder dialog: drive, folder and file lists and the mask. Its file list File1
// is the one source of the main window's file table.

#include "folderdialog.h"

class QLineEdit;

namespace tarvo {

class Organiser;

class SetDir : public FolderDialog {
    Q_OBJECT
public:
    // Creation: ImageDir from the current folder, DefaultMask and the mask text from the
    // file list's design pattern.
    explicit SetDir(Organiser& org);
    platform::DriveList* Drive1() const { return driveList(); }
    platform::DirList* Dir1() const { return dirList(); }
    platform::FileList* File1() const { return fileList(); }
    QLineEdit* SetMask() const { return m_setMask; }
    const QString& DefaultMask() const { return m_defaultMask; }

    // ItemSetDIr / SetSDir: save drive and folder, show the dialog.
    using FolderDialog::open;
    void Command1_Click() override; // OK
    void Command2_Click() override; // Cancel
    // Mask entry, when SetMask loses the focus.
    void SetMask_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMask(const QString& text);

    QLineEdit* m_setMask = nullptr;
    QString m_defaultMask;
    bool m_maskTyped = false; // typed and not yet applied
};

} // namespace tarvo
