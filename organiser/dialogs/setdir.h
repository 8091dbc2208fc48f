#pragma once
// The image-folder dialog: drive, folder and file lists and the mask. Its file list File1
// is the one source of the main window's file table.

#include <QWidget>

class QLineEdit;

namespace platform {
class DriveList;
class DirList;
class FileList;
} // namespace platform

namespace tarvo {

class Organiser;

class SetDir : public QWidget {
    Q_OBJECT
public:
    explicit SetDir(Organiser& org);
    platform::DriveList* Drive1() const;
    platform::DirList* Dir1() const;
    platform::FileList* File1() const;
    QLineEdit* SetMask() const;

    // ItemSetDIr / SetSDir: save drive and folder, show the dialog.
    void open();
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel
};

} // namespace tarvo
