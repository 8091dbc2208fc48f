#pragma once
// The copy-destination dialog: chooses CopyDir.

#include <QWidget>

namespace tarvo {

class Organiser;

class SetTdir : public QWidget {
    Q_OBJECT
public:
    explicit SetTdir(Organiser& org);
    // ItemSetTdir / TDcommand: save drive and folder, show the dialog.
    void open();
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel
};

} // namespace tarvo
