#pragma once
// What the two folder dialogs have in common: a drive list, a folder list and a file list,
// OK and Cancel, the folder the dialog chooses (a Module1 variable that follows the folder
// list at once) and the drive and folder saved at the opening, to which Cancel returns.
// A frame close destroys the dialog without running OK or Cancel.

#include "browser/module1.h"

#include <QRectF>
#include <QString>
#include <QWidget>

class QPushButton;

namespace platform {
class DriveList;
class DirList;
class FileList;
struct Result;
} // namespace platform

namespace tarvo {

class Organiser;

// The file lists' design pattern: the picture kinds the cells load.
inline const QString kDesignPattern =
    QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");

// The design of one folder dialog: control names and positions in twips.
struct FolderDialogDesign {
    QString caption;
    QString driveName, dirName, fileName;
    QRectF drive, dir, file, ok, cancel;
    QString filePattern; // the file list's design pattern
};

// The shared variables a dialog works on.
struct FolderDialogVars {
    QString Module1::*folder;      // ImageDir or CopyDir
    QString Module1::*savedFolder; // SavedImageDir or SavedCopyDir
    QString Module1::*savedDrive;  // SavedImageDrive or SavedCopyDrive
};

class FolderDialog : public QWidget {
    Q_OBJECT
public:
    platform::DriveList* driveList() const { return m_drive; }
    platform::DirList* dirList() const { return m_dir; }
    platform::FileList* fileList() const { return m_file; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Opening: save the drive and folder, show the dialog (modeless) and return.
    void open();
    // Warns, once for each folder, when the file list could not read its folder; also used
    // at start-up, so a start in such a folder says so as a change to it would.
    void reportUnreadable();

protected:
    FolderDialog(Organiser& org, const FolderDialogDesign& design, FolderDialogVars vars);

    // Connects the lists' change notifications; called once the creation step has run, so
    // that setting up the lists is no change.
    void connectLists();
    // Cancel, first steps: drive, folder list, file list and the folder variable go back to
    // what the opening saved.
    void restoreSaved();
    // Hides the dialog and shows the main window in front.
    void hideAndShowMain();

    virtual void Command1_Click() = 0;
    virtual void Command2_Click() = 0;

    Organiser& m_org;

private:
    void Drive_Change();
    void Dir_Change();
    void reportOpenFailed(const platform::Result& why);

    FolderDialogVars m_vars;
    platform::DriveList* m_drive = nullptr;
    platform::DirList* m_dir = nullptr;
    platform::FileList* m_file = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_changing = false;
    QString m_reported; // the unreadable folder already reported since the last change
};

// A folder path as the shared variables hold it: in the system's form, ending with its
// separator ("/" stays "/", "C:\" stays "C:\", C:/PICS becomes C:\PICS\).
QString withSlash(const QString& folder);

} // namespace tarvo
